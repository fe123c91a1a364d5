#include <QAbstractItemView>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include "modal_helpers.h"
#include "readers/emulated/emulated_reader.h"
#include "readers/reader_registry.h"
#include "transfer/progress_window.h"
#include "transfer_fixture.h"

Q_DECLARE_METATYPE(TransferKind)

namespace {

const QString WriteQuestion =
    QStringLiteral("Confirma gravação do Memory Card? Todos os dados serão sobrepostos!");
const QString FormatQuestion = QStringLiteral("Confirma formatação do Memory Card?");

QString ParametersName(TransferKind kind) {
  switch (kind) {
    case TransferKind::Read:
      return "FrmParamLeitura";
    case TransferKind::Write:
      return "FrmParamGravacao";
    case TransferKind::Format:
      break;
  }
  return "FrmParamFormatacao";
}

QString ProgressName(TransferKind kind) {
  QString name = ParametersName(kind);
  return name.replace("FrmParam", "FrmProgresso");
}

QComboBox* List(QWidget* dialog, const char* name) {
  return dialog->findChild<QComboBox*>(name);
}

QPushButton* Button(QWidget* dialog, const char* name) {
  return dialog->findChild<QPushButton*>(name);
}

QStringList Items(QComboBox* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->itemText(i);
  return items;
}

}  // namespace

class ParametersDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { TransferProgressWindow::SetStartDelay(std::chrono::milliseconds(50)); }
  void cleanup() { QCOMPARE(LiveTransferWindows(), 0); }

  // No main window was made in this process: the dialogs still get the form font's nearest face.
  void usesTheFormFontOnItsOwn() {
    TransferFixture fixture;
    std::unique_ptr<TransferParametersDialog> dialog(
        CreateParametersDialog(TransferKind::Read, fixture.Setup()));
    QCOMPARE(dialog->font().family(), QString("MS Sans Serif"));
    QCOMPARE(QFontInfo(dialog->font()).family(), QString("Liberation Sans"));
  }

  // Tab from the port list to "&Cancelar", then Enter: the focused button is pressed, not OK.
  void enterPressesTheFocusedCancel() {
    TransferFixture fixture;
    fixture.completed = true;
    QString focused;
    WhenModal(ParametersName(TransferKind::Read), [&focused](QWidget* dialog) {
      List(dialog, "ComboBox1")->setFocus();
      for (int tab = 0; tab < 3; ++tab) QTest::keyClick(dialog->focusWidget(), Qt::Key_Tab);
      focused = dialog->focusWidget()->objectName();
      QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
      if (dialog->isVisible()) Button(dialog, "Button2")->click();
    });
    CreateParametersDialog(TransferKind::Read, fixture.Setup())->exec();
    QCOMPARE(focused, QString("Button2"));
    QCOMPARE(fixture.log.made, 0);
    QVERIFY(fixture.completed);
  }

  void layoutAndDefaults_data() {
    QTest::addColumn<TransferKind>("kind");
    QTest::addColumn<QString>("caption");
    QTest::newRow("read") << TransferKind::Read << "Leitura do Memory Card";
    QTest::newRow("write") << TransferKind::Write << "Gravação do Memory Card";
    QTest::newRow("format") << TransferKind::Format << "Formatação do Memory Card";
  }

  // Every opening starts again from "LPT1" and "3"; the last choice is not remembered.
  void layoutAndDefaults() {
    QFETCH(TransferKind, kind);
    QFETCH(QString, caption);
    TransferFixture fixture;
    for (int opening = 0; opening < 2; ++opening) {
      std::unique_ptr<TransferParametersDialog> dialog(
          CreateParametersDialog(kind, fixture.Setup()));
      QCOMPARE(dialog->objectName(), ParametersName(kind));
      QCOMPARE(dialog->windowTitle(), caption);
      QCOMPARE(dialog->size(), QSize(179, 95));
      QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
      QVERIFY(!(dialog->windowFlags() & Qt::WindowCloseButtonHint));
      QVERIFY(!(dialog->windowFlags() & Qt::WindowSystemMenuHint));
      QCOMPARE(dialog->findChild<QGroupBox*>("GroupBox1")->title(), QString("Opções:"));

      QComboBox* port = List(dialog.get(), "ComboBox1");
      QComboBox* delay = List(dialog.get(), "ComboBox2");
      QCOMPARE(Items(port), QStringList({"LPT1", "LPT2", "LPT3"}));
      QCOMPARE(Items(delay), QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
      QVERIFY(!port->isEditable());
      QVERIFY(!delay->isEditable());
      QCOMPARE(port->currentText(), QString("LPT1"));
      QCOMPARE(delay->currentText(), QString("3"));

      QCOMPARE(Button(dialog.get(), "Button1")->text(), QString("&OK"));
      QVERIFY(Button(dialog.get(), "Button1")->isDefault());
      QCOMPARE(Button(dialog.get(), "Button2")->text(), QString("&Cancelar"));

      port->setCurrentIndex(2);
      delay->setCurrentIndex(9);
    }
  }

  void cancellingStartsNothing_data() {
    QTest::addColumn<TransferKind>("kind");
    QTest::addColumn<bool>("use_escape");
    QTest::newRow("read, Esc") << TransferKind::Read << true;
    QTest::newRow("write, Cancelar") << TransferKind::Write << false;
    QTest::newRow("format, Esc") << TransferKind::Format << true;
  }

  void cancellingStartsNothing() {
    QFETCH(TransferKind, kind);
    QFETCH(bool, use_escape);
    TransferFixture fixture;
    fixture.completed = true;  // whatever the command left there stays
    WhenModal(ParametersName(kind), [use_escape](QWidget* dialog) {
      if (use_escape) {
        QTest::keyClick(dialog, Qt::Key_Escape);
      } else {
        Button(dialog, "Button2")->click();
      }
    });
    CreateParametersDialog(kind, fixture.Setup())->exec();
    QVERIFY(fixture.dialogs.Requests().empty());
    QCOMPARE(fixture.log.made, 0);
    QVERIFY(fixture.completed);
  }

  void answeringNoStartsNothing_data() {
    QTest::addColumn<TransferKind>("kind");
    QTest::addColumn<QString>("question");
    QTest::newRow("write") << TransferKind::Write << WriteQuestion;
    QTest::newRow("format") << TransferKind::Format << FormatQuestion;
  }

  void answeringNoStartsNothing() {
    QFETCH(TransferKind, kind);
    QFETCH(QString, question);
    TransferFixture fixture;
    fixture.dialogs.QueueNo();
    WhenModal(ParametersName(kind), [](QWidget* dialog) { Button(dialog, "Button1")->click(); });
    CreateParametersDialog(kind, fixture.Setup())->exec();

    QCOMPARE(fixture.dialogs.Log(), QStringList{"Confirmação: " + question});
    QVERIFY(fixture.dialogs.Requests().front().no_is_default);
    QVERIFY(fixture.dialogs.Problems().isEmpty());
    QCOMPARE(fixture.log.made, 0);
    QVERIFY(!fixture.completed);
  }

  void okHandsPortAndDelayOn_data() {
    QTest::addColumn<TransferKind>("kind");
    QTest::addColumn<int>("port_index");
    QTest::addColumn<int>("delay_index");
    QTest::addColumn<QString>("port_name");
    QTest::addColumn<int>("delay");
    QTest::addColumn<QString>("prepared");
    QTest::newRow("read LPT3 10") << TransferKind::Read << 2 << 9 << "LPT3" << 10
                                  << "Prepare 0x3BC";
    QTest::newRow("write LPT2 1") << TransferKind::Write << 1 << 0 << "LPT2" << 1
                                  << "Prepare 0x278";
    QTest::newRow("format defaults")
        << TransferKind::Format << 0 << 2 << "LPT1" << 3 << "Prepare 0x378";
  }

  // Enter accepts; the progress window then gets the choice. Closing it before its timer fires
  // counts as Cancel: the run still prepares the port and stops before frame 0.
  void okHandsPortAndDelayOn() {
    QFETCH(TransferKind, kind);
    QFETCH(int, port_index);
    QFETCH(int, delay_index);
    QFETCH(QString, port_name);
    QFETCH(int, delay);
    QFETCH(QString, prepared);
    TransferFixture fixture;
    fixture.completed = true;
    if (kind != TransferKind::Read) fixture.dialogs.QueueYes();

    WhenModal(ParametersName(kind), [=](QWidget* dialog) {
      List(dialog, "ComboBox1")->setCurrentIndex(port_index);
      List(dialog, "ComboBox2")->setCurrentIndex(delay_index);
      QTest::keyClick(dialog, Qt::Key_Return);
    });
    QString handed_port;
    int handed_delay = 0;
    WhenModal(ProgressName(kind), [&](QWidget* window) {
      auto* progress = qobject_cast<TransferProgressWindow*>(window);
      handed_port = QString::fromStdString(progress->Reader.label);
      handed_delay = progress->Delay;
      progress->close();
    });
    CreateParametersDialog(kind, fixture.Setup())->exec();

    QCOMPARE(handed_port, port_name);
    QCOMPARE(handed_delay, delay);
    QCOMPARE(fixture.log.calls, QStringList({prepared, "Release"}));
    QVERIFY(!fixture.completed);
    QVERIFY(fixture.dialogs.Problems().isEmpty());
  }

  // The dialog waits behind its progress window and must outlive it.
  void staysOpenWhileTransferRuns() {
    TransferFixture fixture;
    QPointer<TransferParametersDialog> dialog =
        CreateParametersDialog(TransferKind::Read, fixture.Setup());
    bool stayed_open = false;
    WhenModal(ParametersName(TransferKind::Read),
              [](QWidget* shown) { Button(shown, "Button1")->click(); });
    WhenModal(ProgressName(TransferKind::Read), [&](QWidget* progress) {
      dialog->close();
      QTest::keyClick(dialog, Qt::Key_Escape);
      QCoreApplication::processEvents();
      stayed_open = !dialog.isNull() && dialog->isVisible();
      progress->close();
    });
    dialog->exec();
    QVERIFY(stayed_open);
    QVERIFY(dialog.isNull());
  }

  // The serial readers found as the dialog opens follow the parallel ports; Delay paces only
  // the cable, so it is off while a reader is chosen.
  void serialReadersFollowTheParallelPorts() {
    TransferFixture fixture;
    TransferSetup setup = fixture.Setup();
    setup.readers.list = [] {
      std::vector<ReaderEntry> readers = ParallelReaders();
      readers.push_back({"MemCARDuino (ttyUSB0)", ReaderKind::Memcarduino, "/dev/ttyUSB0"});
      readers.push_back({"DexDrive (COM3)", ReaderKind::DexDrive, "COM3"});
      return readers;
    };
    std::unique_ptr<TransferParametersDialog> dialog(
        CreateParametersDialog(TransferKind::Write, setup));
    QComboBox* ports = List(dialog.get(), "ComboBox1");
    QComboBox* delays = List(dialog.get(), "ComboBox2");
    QCOMPARE(Items(ports),
             QStringList({"LPT1", "LPT2", "LPT3", "MemCARDuino (ttyUSB0)", "DexDrive (COM3)"}));
    QCOMPARE(ports->currentText(), QString("LPT1"));
    QCOMPARE(delays->currentText(), QString("3"));
    QVERIFY(delays->isEnabled());
    ports->setCurrentIndex(4);
    QVERIFY(!delays->isEnabled());
    ports->setCurrentIndex(2);
    QVERIFY(delays->isEnabled());

    // The closed box keeps its width of 73 pixels; the opened list shows whole names, each also
    // as its tooltip.
    dialog->show();
    ports->showPopup();
    const QString longest = QStringLiteral("MemCARDuino (ttyUSB0)");
    const QRect line = ports->view()->visualRect(ports->model()->index(3, 0));
    QVERIFY2(line.width() > ports->view()->fontMetrics().horizontalAdvance(longest),
             qPrintable(QString::number(line.width())));
    QCOMPARE(ports->itemData(3, Qt::ToolTipRole).toString(), longest);
    ports->hidePopup();
    QCOMPARE(ports->width(), 73);
    ports->setCurrentIndex(3);
    QCOMPARE(ports->toolTip(), longest);
  }

  void readThroughAChosenReader_data() {
    QTest::addColumn<bool>("card_inserted");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("card") << true << QStringList();
    QTest::newRow("no card") << false
                             << QStringList{"Erro: Nenhum Memory Card no leitor PS1CardLink!"};
  }

  // The read window, its outcome flag and its messages work through a reader as through the
  // cable.
  void readThroughAChosenReader() {
    QFETCH(bool, card_inserted);
    QFETCH(QStringList, messages);
    TransferFixture fixture;
    for (std::size_t i = 0; i < fixture.card.image().size(); ++i) {
      fixture.card.image()[i] = static_cast<uint8_t>(i * 13 + (i >> 7));
    }
    fixture.card.SetInserted(card_inserted);
    EmulatedReader reader(ReaderFirmware::Ps1CardLink, fixture.card);
    reader.Start();
    TransferSetup setup{fixture.image, fixture.completed, fixture.dialogs, SystemReaders()};
    setup.readers.list = [&reader] {
      std::vector<ReaderEntry> readers = ParallelReaders();
      readers.push_back({"PS1CardLink (emulado)", ReaderKind::Ps1CardLink, reader.device()});
      return readers;
    };
    WhenModal(ParametersName(TransferKind::Read), [](QWidget* dialog) {
      List(dialog, "ComboBox1")->setCurrentIndex(3);
      QTest::keyClick(dialog, Qt::Key_Return);
    });
    CreateParametersDialog(TransferKind::Read, setup)->exec();
    QCOMPARE(fixture.completed, card_inserted);
    QCOMPARE(fixture.image == fixture.card.image(), card_inserted);
    QCOMPARE(fixture.dialogs.Messages(), messages);
  }
};

QTEST_MAIN(ParametersDialogTest)
#include "parameters_dialog_test.moc"
