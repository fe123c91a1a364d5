#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include "card/image_file.h"
#include "modal_helpers.h"
#include "readers/emulated_ps3_adaptor.h"
#include "readers/ps3_adaptor_connection.h"
#include "support/card_builder.h"
#include "transfer_fixture.h"
#include "uVexilor.h"

// The main window's card commands through the USB adaptor, emulated over the emulated card.
class Ps3AdaptorWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TransferFixture> fixture;
  std::unique_ptr<TForm1> window;
  EmulatedPs3AdaptorFaults faults;  // of every adaptor the window reaches and lists

  ReaderAccess Readers() {
    const ConnectionFactory cable = fixture->CardSetup().readers.connect;
    return {[this] {
              std::vector<ReaderEntry> readers = ParallelReaders();
              EmulatedPs3Adaptor bus(fixture->card);
              bus.faults = faults;
              for (const ReaderEntry& adaptor : Ps3AdaptorReaders(bus)) readers.push_back(adaptor);
              return readers;
            },
            [this, cable](const ReaderEntry& reader, int delay) -> std::unique_ptr<CardConnection> {
              if (reader.kind != ReaderKind::Ps3UsbAdaptor) return cable(reader, delay);
              auto adaptor = std::make_unique<EmulatedPs3Adaptor>(fixture->card);
              adaptor->faults = faults;
              return std::make_unique<Ps3AdaptorConnection>(std::move(adaptor));
            }};
  }

  void Start() {
    window = std::make_unique<TForm1>(fixture->dialogs, Readers());
    window->show();
    fixture->card.image() = test_support::RandomCard(7);
    window->ShowCard(test_support::RandomCard(8), {}, "/tmp/anterior.mc");
  }

  // Chooses the port list's last entry, notes what the lists offered, and presses button.
  void ChooseLastPort(const QString& dialog_name, QStringList* ports, bool* delay_enabled,
                      const char* button = "Button1") {
    WhenModal(dialog_name, [ports, delay_enabled, button](QWidget* dialog) {
      auto* port_list = dialog->findChild<QComboBox*>("ComboBox1");
      for (int i = 0; i < port_list->count(); ++i) *ports << port_list->itemText(i);
      port_list->setCurrentIndex(port_list->count() - 1);
      *delay_enabled = dialog->findChild<QComboBox*>("ComboBox2")->isEnabled();
      dialog->findChild<QPushButton*>(button)->click();
    });
  }

  void Trigger(const char* action) { window->findChild<QAction*>(action)->trigger(); }

 private slots:
  void init() {
    fixture = std::make_unique<TransferFixture>();
    faults = {};
  }

  void cleanup() {
    window->Document().Close();  // no save question on closing
    window.reset();
    fixture.reset();
    QCOMPARE(LiveTransferWindows(), 0);
  }

  void wholeCard_data() {
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("read") << "FrmParamLeitura"
                          << "LerMemoryCard1" << QStringList();
    QTest::newRow("write") << "FrmParamGravacao"
                           << "GravarMemoryCard1"
                           << QStringList{
                                  "Confirmação: Confirma gravação do Memory Card? Todos "
                                  "os dados serão sobrepostos!",
                                  "Mensagem: Memory Card gravado com sucesso!"};
    QTest::newRow("format") << "FrmParamFormatacao"
                            << "FormatarMemoryCard1"
                            << QStringList{"Confirmação: Confirma formatação do Memory Card?",
                                           "Mensagem: Memory Card formatado com sucesso!"};
  }

  void wholeCard() {
    QFETCH(QString, dialog);
    QFETCH(QString, action);
    QFETCH(QStringList, log);
    Start();
    const CardImage card_before = fixture->card.image();
    const CardImage image_before = window->Document().Image();
    if (!log.isEmpty()) fixture->dialogs.QueueYes();
    QStringList ports;
    bool delay_enabled = true;
    ChooseLastPort(dialog, &ports, &delay_enabled);
    Trigger(action.toLatin1().constData());

    QCOMPARE(ports, QStringList({"LPT1", "LPT2", "LPT3", "Adaptador USB PS3"}));
    QVERIFY(!delay_enabled);
    QCOMPARE(fixture->dialogs.Log(), log);
    if (action == "LerMemoryCard1") {
      QVERIFY(window->ReadCompleted);
      QVERIFY(window->Document().Image() == card_before);
      QCOMPARE(window->Document().Source(), QString("*MEMORY CARD*"));
    } else {
      CardImage blank{};
      FormatImage(blank);
      QVERIFY(fixture->card.image() == (action == "GravarMemoryCard1" ? image_before : blank));
      QVERIFY(window->Document().Image() == image_before);
    }
  }

  void adaptorListedOnlyWhenPluggedIn() {
    faults.plugged_in = false;
    Start();
    QStringList ports;
    bool delay_enabled = false;
    ChooseLastPort("FrmParamLeitura", &ports, &delay_enabled, "Button2");
    Trigger("LerMemoryCard1");
    QCOMPARE(ports, QStringList({"LPT1", "LPT2", "LPT3"}));
    QVERIFY(delay_enabled);
  }

  void unpluggedMidReadEndsWithItsMessage() {
    faults.unplugged_at_frame = 300;
    Start();
    QStringList ports;
    bool delay_enabled = true;
    ChooseLastPort("FrmParamLeitura", &ports, &delay_enabled);
    Trigger("LerMemoryCard1");
    QVERIFY(!window->ReadCompleted);
    QCOMPARE(fixture->dialogs.Messages(),
             QStringList{"Erro: O Adaptador USB PS3 foi desconectado."});
    // The card read so far was kept aside and dropped: the window shows what it showed.
    QCOMPARE(window->Document().Source(), QString("/tmp/anterior.mc"));
    QVERIFY(window->Document().Image() == test_support::RandomCard(8));
  }
};

QTEST_MAIN(Ps3AdaptorWindowTest)
#include "ps3_adaptor_window_test.moc"
