// A whole card read at delay 3 through the read progress window, offscreen, over the emulated
// card. Reports the longest gap between two turns of the event loop while the run goes (goal:
// under 50 ms, so the window stays responsive), the run itself, and the total from showing the
// window to its closing, one-second start timer included (goal: under 2 s).
// And a whole card read through the emulated MemCARDuino on a pseudo-terminal, twice: as the
// command line runs it (the run alone, with an observer that does nothing) and through the read
// progress window with its one-second start delay. Goal: the window within the command line's
// time plus the start delay plus 20 % (the counter within_goal is 1 then).
#include <benchmark/benchmark.h>

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <memory>

#include "readers/emulated/emulated_reader.h"
#include "readers/lpt_connection.h"
#include "readers/reader_registry.h"
#include "transfer/progress_window.h"
#include "transfer/user_dialogs.h"
#include "transport/emulated_card.h"
#include "transport/emulated_card_port_access.h"

namespace {

constexpr int BenchDelay = 3;
constexpr double StartDelayMs = 1000;
constexpr double Allowance = 1.2;

// Any box at all means the read failed; the benchmark reports it instead of waiting for a user.
class CountingDialogs : public UserDialogs {
 public:
  int messages = 0;
  void ShowMessage(QWidget*, const QString&, const QString&) override { ++messages; }
  bool AskYesNo(QWidget*, const QString&, const QString&, bool) override { return false; }
  Answer AskYesNoCancel(QWidget*, const QString&, const QString&) override {
    return Answer::Cancel;
  }
  std::optional<QString> ChooseFile(QWidget*, FileDialogRequest&) override { return {}; }
  std::optional<int> ChooseItem(QWidget*, const QString&, const QString&,
                                const QStringList&) override {
    return {};
  }
  std::optional<QString> AskText(QWidget*, const QString&, const QString&,
                                 const QString&) override {
    return {};
  }
};

// Times the turns of the event loop between the run's Prepare and Release.
class TurnClock {
 public:
  explicit TurnClock(const QElapsedTimer& clock) : clock_(clock) {
    connection_ = QObject::connect(QAbstractEventDispatcher::instance(),
                                   &QAbstractEventDispatcher::awake, [this] { Mark(); });
  }
  ~TurnClock() { QObject::disconnect(connection_); }
  void Start() {
    running_ = true;
    last_ = clock_.nsecsElapsed();
  }
  void Stop() {
    Mark();
    running_ = false;
  }
  qint64 longest_ns = 0;
  int turns = 0;

 private:
  void Mark() {
    if (!running_) return;
    const qint64 now = clock_.nsecsElapsed();
    longest_ns = std::max(longest_ns, now - last_);
    last_ = now;
    ++turns;
  }
  const QElapsedTimer& clock_;
  QMetaObject::Connection connection_;
  bool running_ = false;
  qint64 last_ = 0;
};

class TimedPort : public PortAccess {
 public:
  TimedPort(EmulatedCard& card, TurnClock& turns) : inner_(card), turns_(turns) {}
  std::optional<PortFailure> Prepare(uint16_t port_base) override {
    turns_.Start();
    return inner_.Prepare(port_base);
  }
  void Release() override {
    if (inner_.holding()) turns_.Stop();
    inner_.Release();
  }

 private:
  EmulatedCardPortAccess inner_;
  TurnClock& turns_;
};

void BM_ReadThroughProgressWindow(benchmark::State& state) {
  EmulatedCard card;
  for (std::size_t i = 0; i < card.image().size(); ++i) card.image()[i] = static_cast<uint8_t>(i);
  qint64 longest_ns = 0;
  double run_ms = 0;
  double total_ms = 0;
  int turns = 0;
  for (auto _ : state) {
    CardImage image{};
    bool completed = false;
    CountingDialogs dialogs;
    QElapsedTimer clock;
    TurnClock turn_clock(clock);
    qint64 run_start = 0;
    qint64 run_end = 0;
    const ConnectionFactory timed_cable = ParallelConnections([&] {
      run_start = clock.nsecsElapsed();
      return std::make_unique<TimedPort>(card, turn_clock);
    });
    auto* window =
        new TFrmProgressoLeitura({image, completed, dialogs, {ParallelReaders, timed_cable}});
    window->Reader = ParallelReader("LPT1");
    window->Delay = BenchDelay;
    clock.start();
    window->exec();
    run_end = clock.nsecsElapsed();
    if (!completed || dialogs.messages != 0 || image != card.image()) {
      state.SkipWithError("the read did not complete");
      return;
    }
    state.SetIterationTime(static_cast<double>(run_end) / 1e9);
    longest_ns = std::max(longest_ns, turn_clock.longest_ns);
    run_ms += static_cast<double>(run_end - run_start) / 1e6;
    total_ms += static_cast<double>(run_end) / 1e6;
    turns = turn_clock.turns;
  }
  const auto iterations = static_cast<double>(state.iterations());
  state.counters["longest_gap_ms"] = static_cast<double>(longest_ns) / 1e6;
  state.counters["run_ms"] = run_ms / iterations;
  state.counters["total_ms"] = total_ms / iterations;
  state.counters["loop_turns"] = turns;
}
BENCHMARK(BM_ReadThroughProgressWindow)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

class QuietObserver : public RunObserver {
 public:
  bool CancelRequested() override { return false; }
  void FrameDone(int) override {}
  void ShowMessage(const std::string&, const std::string&) override { failed = true; }
  bool failed = false;
};

double MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

void BM_WindowReadAgainstCommandLine(benchmark::State& state) {
  auto card = std::make_unique<EmulatedCard>();
  for (std::size_t i = 0; i < card->image().size(); ++i) {
    card->image()[i] = static_cast<uint8_t>(i * 7);
  }
  EmulatedReader reader(ReaderFirmware::Memcarduino, *card);
  reader.Start();
  const ReaderEntry entry{"MemCARDuino (emulado)", ReaderKind::Memcarduino, reader.device()};
  auto image = std::make_unique<CardImage>();
  double command_line_ms = 0;
  double window_ms = 0;
  for (auto _ : state) {
    QuietObserver observer;
    auto start = std::chrono::steady_clock::now();
    const auto connection = MakeReaderConnection(entry, 0);
    const RunResult result = RunCardTransfer(TransferKind::Read, *image, *connection, observer);
    command_line_ms += MsSince(start);
    if (result.end != RunEnd::Completed || observer.failed) {
      state.SkipWithError("the command line's read did not complete");
      return;
    }

    bool completed = false;
    CountingDialogs dialogs;
    image->fill(0);
    auto* window = new TFrmProgressoLeitura(
        {*image,
         completed,
         dialogs,
         {[&entry] { return std::vector<ReaderEntry>{entry}; }, MakeReaderConnection}});
    window->Reader = entry;
    start = std::chrono::steady_clock::now();
    window->exec();  // frees itself on closing
    const double ms = MsSince(start);
    window_ms += ms;
    state.SetIterationTime(ms / 1000);
    if (!completed || dialogs.messages != 0 || *image != card->image()) {
      state.SkipWithError("the window's read did not complete");
      return;
    }
  }
  const auto iterations = static_cast<double>(state.iterations());
  command_line_ms /= iterations;
  window_ms /= iterations;
  const double goal_ms = (command_line_ms + StartDelayMs) * Allowance;
  state.counters["command_line_ms"] = command_line_ms;
  state.counters["window_ms"] = window_ms;
  state.counters["goal_ms"] = goal_ms;
  state.counters["within_goal"] = window_ms <= goal_ms ? 1 : 0;
}
BENCHMARK(BM_WindowReadAgainstCommandLine)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
