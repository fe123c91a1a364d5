#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "card/image_file.h"
#include "modal_helpers.h"
#include "readers/emulated/emulated_reader.h"
#include "readers/reader_registry.h"
#include "support/card_builder.h"
#include "transfer_fixture.h"
#include "transport/emulated_card_port_access.h"

Q_DECLARE_METATYPE(TransferKind)

namespace {

constexpr int LastFrame = static_cast<int>(FrameCount) - 1;
constexpr std::chrono::milliseconds TestStartDelay(50);

QString ProgressName(TransferKind kind) {
  switch (kind) {
    case TransferKind::Read:
      return "FrmProgressoLeitura";
    case TransferKind::Write:
      return "FrmProgressoGravacao";
    case TransferKind::Format:
      break;
  }
  return "FrmProgressoFormatacao";
}

TransferProgressWindow* ShownProgressWindow() {
  return qobject_cast<TransferProgressWindow*>(QApplication::activeModalWidget());
}

QString PercentText() {
  TransferProgressWindow* window = ShownProgressWindow();
  return window ? window->findChild<QLabel*>("Label1")->text() : QStringLiteral("(no window)");
}

int BarPosition() {
  TransferProgressWindow* window = ShownProgressWindow();
  return window ? window->findChild<QProgressBar*>("ProgressBar1")->value() : -1;
}

// The ways a user can stop a run; each is queued, as a real click or key press would be, and
// so taken in only between frames.
enum class StopBy { CancelButton, CloseRequest, EscapeKey, EnterOnCancel };

void QueueStop(StopBy how) {
  TransferProgressWindow* window = ShownProgressWindow();
  QVERIFY(window != nullptr);
  switch (how) {
    case StopBy::CancelButton:
      QMetaObject::invokeMethod(window->findChild<QPushButton*>("Button1"), "click",
                                Qt::QueuedConnection);
      break;
    case StopBy::CloseRequest:
      QMetaObject::invokeMethod(window, "close", Qt::QueuedConnection);
      break;
    case StopBy::EscapeKey:
      QCoreApplication::postEvent(window,
                                  new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
      break;
    case StopBy::EnterOnCancel:  // the only button has the focus
      QCoreApplication::postEvent(window->findChild<QPushButton*>("Button1"),
                                  new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
      break;
  }
}

CardImage BlankCard() {
  CardImage blank{};
  FormatImage(blank);
  return blank;
}

}  // namespace

Q_DECLARE_METATYPE(StopBy)

class ProgressWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { TransferProgressWindow::SetStartDelay(TestStartDelay); }
  void cleanup() { QCOMPARE(LiveTransferWindows(), 0); }

  void layout_data() {
    QTest::addColumn<TransferKind>("kind");
    QTest::addColumn<QString>("caption");
    QTest::newRow("read") << TransferKind::Read << "Progresso da leitura...";
    QTest::newRow("write") << TransferKind::Write << "Progresso da gravação...";
    QTest::newRow("format") << TransferKind::Format << "Progresso da formatação...";
  }

  // The program waits one second before a run; only these windows are made with that delay.
  void layout() {
    QFETCH(TransferKind, kind);
    QFETCH(QString, caption);
    TransferProgressWindow::SetStartDelay(std::chrono::milliseconds(1000));
    const auto restore = qScopeGuard([] { TransferProgressWindow::SetStartDelay(TestStartDelay); });
    TransferFixture fixture;
    std::unique_ptr<TransferProgressWindow> window(
        CreateProgressWindow(kind, fixture.Setup(), nullptr));
    QCOMPARE(window->objectName(), ProgressName(kind));
    QCOMPARE(window->windowTitle(), caption);
    QCOMPARE(window->size(), QSize(378, 77));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
    auto* bar = window->findChild<QProgressBar*>("ProgressBar1");
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(window->findChild<QLabel*>("Label1")->text(), QString());
    QCOMPARE(window->findChild<QPushButton*>("Button1")->text(), QString("&Cancelar"));
    auto* timer = window->findChild<QTimer*>("Timer1");
    QCOMPARE(timer->interval(), 1000);
    QVERIFY(timer->isActive());
  }

  void progressPercent_data() {
    QTest::addColumn<int>("frame");
    QTest::addColumn<int>("percent");
    QTest::newRow("first") << 0 << 0;
    QTest::newRow("still 0") << 10 << 0;
    QTest::newRow("first step") << 11 << 1;
    QTest::newRow("half") << 512 << 50;
    QTest::newRow("one before last") << 1022 << 99;
    QTest::newRow("last") << 1023 << 100;
  }

  void progressPercent() {
    QFETCH(int, frame);
    QFETCH(int, percent);
    QCOMPARE(ProgressPercent(frame), percent);
  }

  void completeRun_data() {
    QTest::addColumn<TransferKind>("kind");
    QTest::newRow("read") << TransferKind::Read;
    QTest::newRow("write") << TransferKind::Write;
    QTest::newRow("format") << TransferKind::Format;
  }

  void completeRun() {
    QFETCH(TransferKind, kind);
    TransferFixture fixture;
    fixture.card.image() = test_support::RandomCard(1);
    fixture.image = test_support::RandomCard(2);
    const CardImage card_before = fixture.card.image();
    const CardImage image_before = fixture.image;

    QStringList percents;  // the label as each frame starts: shows the frame before it
    for (int frame : {0, 1, 11, 12, 513, LastFrame}) {
      fixture.AtFrame(frame, [&percents] { percents << PercentText(); });
    }
    int bar_at_release = -1;
    QString label_at_release;
    fixture.log.on_release = [&] {
      bar_at_release = BarPosition();
      label_at_release = PercentText();
    };
    qint64 ms_to_start = -1;
    QElapsedTimer clock;
    fixture.AtFrame(0, [&] { ms_to_start = clock.elapsed(); });
    clock.start();
    RunProgressWindow(kind, fixture.CardSetup());

    QVERIFY(fixture.completed);
    QVERIFY(fixture.dialogs.Requests().empty());
    QCOMPARE(fixture.log.calls, QStringList({"Prepare 0x378", "Release"}));
    QCOMPARE(fixture.finished.size(), FrameCount);
    QCOMPARE(fixture.finished.back(), LastFrame);
    QVERIFY2(ms_to_start >= TestStartDelay.count() - 5, qPrintable(QString::number(ms_to_start)));
    QCOMPARE(percents, QStringList({"", "0%", "0%", "1%", "50%", "99%"}));
    QCOMPARE(bar_at_release, 100);
    QCOMPARE(label_at_release, QString("100%"));

    const CardImage expected_card = kind == TransferKind::Read    ? card_before
                                    : kind == TransferKind::Write ? image_before
                                                                  : BlankCard();
    const CardImage expected_image = kind == TransferKind::Read ? card_before : image_before;
    QVERIFY(fixture.card.image() == expected_card);
    QVERIFY(fixture.image == expected_image);
  }

  void stopDuringRun_data() {
    QTest::addColumn<TransferKind>("kind");
    QTest::addColumn<StopBy>("how");
    QTest::addColumn<int>("at_frame");
    QTest::newRow("read, Cancelar at frame 100")
        << TransferKind::Read << StopBy::CancelButton << 100;
    QTest::newRow("write, close request at frame 100")
        << TransferKind::Write << StopBy::CloseRequest << 100;
    QTest::newRow("format, Esc at frame 100") << TransferKind::Format << StopBy::EscapeKey << 100;
    QTest::newRow("read, Enter on Cancelar at frame 100")
        << TransferKind::Read << StopBy::EnterOnCancel << 100;
    // Taken in only after the last frame: the run has completed by then.
    QTest::newRow("read, Cancelar at frame 1023")
        << TransferKind::Read << StopBy::CancelButton << LastFrame;
  }

  void stopDuringRun() {
    QFETCH(TransferKind, kind);
    QFETCH(StopBy, how);
    QFETCH(int, at_frame);
    TransferFixture fixture;
    fixture.card.image() = test_support::RandomCard(3);
    fixture.image = test_support::RandomCard(4);
    const CardImage card_before = fixture.card.image();
    const CardImage image_before = fixture.image;
    fixture.AtFrame(at_frame, [how] { QueueStop(how); });
    bool window_up_at_release = false;
    fixture.log.on_release = [&] { window_up_at_release = ShownProgressWindow() != nullptr; };
    RunProgressWindow(kind, fixture.CardSetup());

    const int moved = at_frame + 1;
    QCOMPARE(static_cast<int>(fixture.addressed.size()), moved);
    QCOMPARE(fixture.addressed.back(), at_frame);
    QCOMPARE(fixture.completed, at_frame == LastFrame);
    QCOMPARE(fixture.log.calls, QStringList({"Prepare 0x378", "Release"}));
    QVERIFY(window_up_at_release);
    QVERIFY(fixture.dialogs.Requests().empty());

    const CardImage& source = kind == TransferKind::Read    ? card_before
                              : kind == TransferKind::Write ? image_before
                                                            : BlankCard();
    const CardImage& target = kind == TransferKind::Read ? fixture.image : fixture.card.image();
    const CardImage& target_before = kind == TransferKind::Read ? image_before : card_before;
    QCOMPARE(Frames(target, 0, moved), Frames(source, 0, moved));
    QCOMPARE(Frames(target, moved), Frames(target_before, moved));
  }

  void stopBeforeStart_data() {
    QTest::addColumn<StopBy>("how");
    QTest::newRow("Cancelar") << StopBy::CancelButton;
    QTest::newRow("close request") << StopBy::CloseRequest;
    QTest::newRow("Esc") << StopBy::EscapeKey;
  }

  // The run still prepares the port, then stops before frame 0.
  void stopBeforeStart() {
    QFETCH(StopBy, how);
    TransferFixture fixture;
    fixture.completed = true;
    const CardImage card_before = fixture.card.image();
    WhenModal(ProgressName(TransferKind::Write), [how](QWidget*) { QueueStop(how); });
    RunProgressWindow(TransferKind::Write, fixture.CardSetup());

    QVERIFY(!fixture.completed);
    QCOMPARE(fixture.log.calls, QStringList({"Prepare 0x378", "Release"}));
    QVERIFY(fixture.addressed.empty());
    QVERIFY(fixture.card.image() == card_before);
  }

  void frameFailure_data() {
    QTest::addColumn<TransferKind>("kind");
    QTest::addColumn<int>("pulled_at");  // -1: no card at all
    QTest::addColumn<QString>("message");
    QTest::newRow("read, card pulled at frame 5")
        << TransferKind::Read << 5 << "Erro: Erro ao ler Memory Card!";
    QTest::newRow("read, no card") << TransferKind::Read << -1 << "Erro: Erro ao ler Memory Card!";
    QTest::newRow("format, no card")
        << TransferKind::Format << -1 << "Erro: Erro ao formatar Memory Card!";
  }

  // One failed frame ends the run: one box, no retry, the port released.
  void frameFailure() {
    QFETCH(TransferKind, kind);
    QFETCH(int, pulled_at);
    QFETCH(QString, message);
    TransferFixture fixture;
    fixture.completed = true;
    fixture.card.image() = test_support::RandomCard(5);
    fixture.image = test_support::RandomCard(6);
    const CardImage card_before = fixture.card.image();
    const CardImage image_before = fixture.image;
    if (pulled_at < 0) {
      fixture.card.SetInserted(false);
    } else {
      fixture.card.faults().pulled_out_at_frame = pulled_at;
    }
    QString shown_over;
    fixture.dialogs.on_request = [&](const DialogRequest& request) {
      shown_over = request.parent->objectName();
    };
    RunProgressWindow(kind, fixture.CardSetup());

    QCOMPARE(fixture.dialogs.Messages(), QStringList{message});
    QCOMPARE(shown_over, ProgressName(kind));
    QVERIFY(!fixture.completed);
    QCOMPARE(fixture.log.calls, QStringList({"Prepare 0x378", "Release"}));
    const int good = std::max(pulled_at, 0);
    QCOMPARE(static_cast<int>(fixture.finished.size()), good);
    if (kind == TransferKind::Read) {
      QCOMPARE(Frames(fixture.image, 0, good), Frames(card_before, 0, good));
      QCOMPARE(Frames(fixture.image, good), Frames(image_before, good));
    } else {
      QVERIFY(fixture.image == image_before);
    }
  }

  // A port that cannot be prepared: its message, the port released, no frame, flag untouched.
  void portFailure() {
    TransferFixture fixture;
    fixture.completed = true;
    const PortFailure failure{"Não foi possível abrir /dev/parport0: permissão negada", "Vexilor"};
    RunProgressWindow(TransferKind::Read, fixture.Setup([&fixture, failure] {
      auto port = std::make_unique<EmulatedCardPortAccess>(fixture.card);
      port->fail_prepare_with = failure;
      return port;
    }));
    QCOMPARE(fixture.dialogs.Messages(),
             QStringList{"Vexilor: Não foi possível abrir /dev/parport0: permissão negada"});
    QCOMPARE(fixture.log.calls, QStringList({"Prepare 0x378", "Release"}));
    QVERIFY(fixture.addressed.empty());
    QVERIFY(fixture.completed);
  }

  // Cancelar while a serial reader that never answers is being connected (the connection would
  // try for three seconds): the window closes as cancelled, with no message about the reader.
  void cancelWhileASerialReaderIsConnected() {
    TransferFixture fixture;
    auto card = std::make_unique<EmulatedCard>();
    EmulatedReader silent(ReaderFirmware::Memcarduino, *card);  // never started
    TransferSetup setup = fixture.Setup();
    setup.readers.connect = [&silent](const ReaderEntry&, int) {
      return MakeReaderConnection({"x", ReaderKind::Memcarduino, silent.device()}, 0);
    };
    WhenModal(ProgressName(TransferKind::Read), [](QWidget*) {
      // Comes in once the run is inside the connection's first waits.
      QTimer::singleShot(TestStartDelay + std::chrono::milliseconds(300),
                         [] { QueueStop(StopBy::CancelButton); });
    });
    RunProgressWindow(TransferKind::Read, setup);
    QCOMPARE(fixture.dialogs.Messages(), QStringList());
    QVERIFY(!fixture.completed);
  }

  // The run goes inside the window's timer event; the window must outlive it however it is
  // asked to close.
  void closeRequestsDuringRunWait() {
    TransferFixture fixture;
    QPointer<TransferProgressWindow> window =
        CreateProgressWindow(TransferKind::Read, fixture.CardSetup(), nullptr);
    window->Reader = ParallelReader("LPT1");
    window->Delay = 1;
    bool alive_after_requests = false;
    fixture.AtFrame(50, [&] {
      window->close();
      QTest::keyClick(window, Qt::Key_Escape);
      alive_after_requests = !window.isNull() && window->isVisible();
    });
    window->exec();
    QVERIFY(alive_after_requests);
    QVERIFY(window.isNull());
    QCOMPARE(fixture.addressed.back(), 50);
    QVERIFY(!fixture.completed);
  }
};

QTEST_MAIN(ProgressWindowTest)
#include "progress_window_test.moc"
