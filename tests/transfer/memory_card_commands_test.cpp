#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "card/image_file.h"
#include "modal_helpers.h"
#include "support/card_builder.h"
#include "transfer_fixture.h"
#include "transport/fake_win32_services.h"
#include "transport/windows_port_access.h"
#include "uVexilor.h"
#include "view/block_texts.h"

namespace {

// Two saves and free blocks: something the view can show line by line.
CardImage SomeCard(uint8_t seed) {
  CardImage card = test_support::BlankCard();
  test_support::PlaceSave(
      card, {.blocks = {1}, .title = test_support::SingleByteTitle("UM"), .seed = seed});
  test_support::PlaceSave(card, {.blocks = {2, 3},
                                 .title = test_support::SingleByteTitle("DOIS"),
                                 .seed = static_cast<uint8_t>(seed + 1)});
  return card;
}

CardImage BlankCard() {
  CardImage blank{};
  FormatImage(blank);
  return blank;
}

// What the parameters dialog is answered with.
enum class Answer { OkAtDelay1, Escape };

void AnswerParameters(const QString& dialog_name, Answer answer) {
  WhenModal(dialog_name, [answer](QWidget* dialog) {
    if (answer == Answer::Escape) {
      QTest::keyClick(dialog, Qt::Key_Escape);
      return;
    }
    dialog->findChild<QComboBox*>("ComboBox2")->setCurrentIndex(0);
    dialog->findChild<QPushButton*>("Button1")->click();
  });
}

}  // namespace

Q_DECLARE_METATYPE(Answer)

class MemoryCardCommandsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TransferFixture> fixture;  // fresh for every test
  std::unique_ptr<TForm1> window;
  CardImage card_before{};

  // A main window whose transfers reach the emulated card, or the port that port makes.
  void StartOverCard(bool image_shown, PortAccessFactory port = {}) {
    window = std::make_unique<TForm1>(
        fixture->dialogs, port ? fixture->Setup(port).readers : fixture->CardSetup().readers);
    window->show();
    fixture->card.image() = SomeCard(10);
    card_before = fixture->card.image();
    if (!image_shown) return;
    window->ShowCard(SomeCard(20), {}, "/tmp/anterior.mc");
  }

  void Trigger(const char* action) { window->findChild<QAction*>(action)->trigger(); }

  bool ImageShown() const {
    auto* list = window->findChild<QListWidget*>("ListBox1");
    return list->isEnabled() && list->count() == SaveBlockCount &&
           !window->Document().Source().isEmpty();
  }
  bool WindowEmpty() const {
    auto* list = window->findChild<QListWidget*>("ListBox1");
    return !list->isEnabled() && list->count() == 0 && window->Document().Source().isEmpty();
  }

 private slots:
  void initTestCase() { TransferProgressWindow::SetStartDelay(std::chrono::milliseconds(50)); }
  void init() { fixture = std::make_unique<TransferFixture>(); }

  void cleanup() {
    if (window) window->Document().Close();  // no save question on closing
    window.reset();
    fixture.reset();
    QCOMPARE(LiveTransferWindows(), 0);
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
  }

  void completeRead() {
    StartOverCard(/*image_shown=*/true);
    AnswerParameters("FrmParamLeitura", Answer::OkAtDelay1);
    Trigger("LerMemoryCard1");

    QVERIFY(window->ReadCompleted);
    QVERIFY(window->Document().Image() == card_before);
    QCOMPARE(window->Document().Source(), QString("*MEMORY CARD*"));
    QVERIFY(ImageShown());
    QCOMPARE(window->findChild<QLabel*>("Label8")->text(), SourceLineText("*MEMORY CARD*"));
    QCOMPARE(window->findChild<QListWidget*>("ListBox1")->item(0)->text(),
             BlockLineText(card_before, 1));
    QVERIFY(fixture->dialogs.Requests().empty());
    QCOMPARE(fixture->log.calls, QStringList({"Prepare 0x378", "Release"}));
  }

  void incompleteReadKeepsTheWindow_data() {
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<int>("pulled_at");
    QTest::addColumn<int>("cancel_at");
    QTest::addColumn<QStringList>("messages");
    const int never = -1;
    QTest::newRow("parameters dialog cancelled")
        << Answer::Escape << never << never << QStringList();
    QTest::newRow("card pulled at frame 5")
        << Answer::OkAtDelay1 << 5 << never << QStringList{"Erro: Erro ao ler Memory Card!"};
    QTest::newRow("Cancelar at frame 100") << Answer::OkAtDelay1 << never << 100 << QStringList();
  }

  // The card is read aside: whatever frames came in, the window stays exactly as it was.
  void incompleteReadKeepsTheWindow() {
    QFETCH(Answer, answer);
    QFETCH(int, pulled_at);
    QFETCH(int, cancel_at);
    QFETCH(QStringList, messages);
    StartOverCard(/*image_shown=*/true);
    const CardImage image_before = window->Document().Image();
    window->findChild<QListWidget*>("ListBox1")->setCurrentRow(4);
    fixture->card.faults().pulled_out_at_frame = pulled_at;
    fixture->AtFrame(cancel_at, [] {
      QMetaObject::invokeMethod(
          QApplication::activeModalWidget()->findChild<QPushButton*>("Button1"), "click",
          Qt::QueuedConnection);
    });
    AnswerParameters("FrmParamLeitura", answer);
    Trigger("LerMemoryCard1");

    QVERIFY(!window->ReadCompleted);
    QCOMPARE(fixture->dialogs.Messages(), messages);
    QVERIFY(ImageShown());
    QVERIFY(window->Document().Image() == image_before);
    QCOMPARE(window->Document().Source(), QString("/tmp/anterior.mc"));
    QCOMPARE(window->findChild<QListWidget*>("ListBox1")->currentRow(), 4);
  }

  void writeAndFormat_data() {
    QTest::addColumn<bool>("format");
    QTest::addColumn<bool>("image_shown");
    QTest::newRow("write") << false << true;
    QTest::newRow("format, image shown") << true << true;
    QTest::newRow("format, no image") << true << false;
  }

  // The card takes the image (or a blank card); the window and its image stay as they were.
  void writeAndFormat() {
    QFETCH(bool, format);
    QFETCH(bool, image_shown);
    StartOverCard(image_shown);
    const CardImage image_before = window->Document().Image();
    const QString source_before = window->Document().Source();
    fixture->dialogs.QueueYes();
    AnswerParameters(format ? "FrmParamFormatacao" : "FrmParamGravacao", Answer::OkAtDelay1);
    Trigger(format ? "FormatarMemoryCard1" : "GravarMemoryCard1");

    QVERIFY(fixture->card.image() == (format ? BlankCard() : image_before));
    QVERIFY(window->Document().Image() == image_before);
    QCOMPARE(window->Document().Source(), source_before);
    QVERIFY(image_shown ? ImageShown() : WindowEmpty());
    QVERIFY(format ? window->FormatCompleted : window->WriteCompleted);
    const QString question = format ? "Confirmação: Confirma formatação do Memory Card?"
                                    : "Confirmação: Confirma gravação do Memory Card? Todos os "
                                      "dados serão sobrepostos!";
    const QString note = format ? "Mensagem: Memory Card formatado com sucesso!"
                                : "Mensagem: Memory Card gravado com sucesso!";
    QCOMPARE(fixture->dialogs.Log(), QStringList({question, note}));
  }

  void writeNotConfirmed() {
    StartOverCard(/*image_shown=*/true);
    window->WriteCompleted = true;  // left from an earlier write
    fixture->dialogs.QueueNo();
    AnswerParameters("FrmParamGravacao", Answer::OkAtDelay1);
    Trigger("GravarMemoryCard1");

    QVERIFY(!window->WriteCompleted);
    QCOMPARE(fixture->log.made, 0);
    QVERIFY(fixture->card.image() == card_before);
    QCOMPARE(fixture->dialogs.Messages(), QStringList());
    QVERIFY(ImageShown());
  }

  void failedWriteShowsOnlyTheError() {
    StartOverCard(/*image_shown=*/true);
    fixture->card.faults().pulled_out_at_frame = 5;
    fixture->dialogs.QueueYes();
    AnswerParameters("FrmParamGravacao", Answer::OkAtDelay1);
    Trigger("GravarMemoryCard1");

    QVERIFY(!window->WriteCompleted);
    QCOMPARE(fixture->dialogs.Messages(), QStringList{"Erro: Erro ao gravar Memory Card!"});
    QVERIFY(ImageShown());
  }

  void driverPath_data() {
    QTest::addColumn<bool>("driver_file_present");
    QTest::addColumn<QString>("failing_call");
    QTest::addColumn<QStringList>("messages");
    QTest::newRow("driver file missing")
        << false << QString()
        << QStringList{"Vexilor: Arquivo SMPORT.SYS não encontrado no sistema!"};
    QTest::newRow("service manager refused")
        << true << "OpenSCManagerA"
        << QStringList{"Vexilor: Erro ao inicializar driver SMPORT.SYS"};
    QTest::newRow("device cannot be opened")
        << true << "CreateFileA" << QStringList{"Vexilor: Erro ao inicializar driver SMPORT.SYS"};
    QTest::newRow("card read through the driver") << true << QString() << QStringList();
  }

  // The kernel driver's path, over a fake service manager whose device reaches the emulated card.
  void driverPath() {
    QFETCH(bool, driver_file_present);
    QFETCH(QString, failing_call);
    QFETCH(QStringList, messages);
    FakeWin32Services services;
    services.port = &fixture->card;
    if (!failing_call.isEmpty()) services.failures[failing_call.toStdString()] = 5;
    std::string checked_path;
    StartOverCard(/*image_shown=*/true, [&] {
      return std::make_unique<WindowsPortAccess>(services, fixture->card,
                                                 [&](const std::string& path) {
                                                   checked_path = path;
                                                   return driver_file_present;
                                                 });
    });
    AnswerParameters("FrmParamLeitura", Answer::OkAtDelay1);
    Trigger("LerMemoryCard1");

    QCOMPARE(fixture->dialogs.Messages(), messages);
    QCOMPARE(checked_path, std::string("C:\\WINDOWS\\system32\\Smport.sys"));
    QCOMPARE(window->ReadCompleted, messages.isEmpty());
    if (!driver_file_present) QVERIFY(services.calls.empty());
    QCOMPARE(services.OpenHandleCount(), std::size_t{0});
    QVERIFY(services.service == FakeWin32Services::ServiceState::Absent);
    // A port that cannot be opened leaves the card shown as it was.
    QVERIFY(window->Document().Image() == (messages.isEmpty() ? card_before : SomeCard(20)));
    QCOMPARE(window->Document().Source(),
             QString(messages.isEmpty() ? "*MEMORY CARD*" : "/tmp/anterior.mc"));
  }
};

QTEST_MAIN(MemoryCardCommandsTest)
#include "memory_card_commands_test.moc"
