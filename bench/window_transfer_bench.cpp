// A whole card read through the emulated MemCARDuino on a pseudo-terminal, twice: as the command
// line runs it (the run alone, with an observer that does nothing) and through the read progress
// window, offscreen, with its one-second start delay. Goal: the window within the command line's
// time plus the start delay plus 20 % (the counter within_goal is 1 then).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <memory>

#include "readers/emulated/emulated_reader.h"
#include "readers/reader_registry.h"
#include "transfer/progress_window.h"
#include "transfer/user_dialogs.h"

namespace {

constexpr double StartDelayMs = 1000;
constexpr double Allowance = 1.2;

class QuietObserver : public RunObserver {
 public:
  bool CancelRequested() override { return false; }
  void FrameDone(int) override {}
  void ShowMessage(const std::string&, const std::string&) override { failed = true; }
  bool failed = false;
};

// Any box at all means the read failed.
class CountingDialogs : public UserDialogs {
 public:
  int messages = 0;
  void ShowMessage(QWidget*, const QString&, const QString&) override { ++messages; }
  bool AskYesNo(QWidget*, const QString&, const QString&, bool) override { return false; }
  Answer AskYesNoCancel(QWidget*, const QString&, const QString&) override {
    return Answer::Cancel;
  }
  std::optional<QString> ChooseFile(QWidget*, FileDialogRequest&) override { return {}; }
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

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
