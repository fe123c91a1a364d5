// A card read through each serial reader, emulated on a pseudo-terminal, through the real Qt
// SerialPort code. Unpaced, a whole card through the run: the host's own processor time per
// frame (goal under 1 ms, so the line and not the program sets the pace). Paced at the reader's
// line rate, 64 frames: the time per frame and its ratio to the line-rate floor, the bytes of
// command and reply at 10 bits each.
#include <benchmark/benchmark.h>
#include <time.h>

#include <QCoreApplication>
#include <chrono>

#include "readers/emulated/emulated_reader.h"
#include "readers/reader_registry.h"
#include "transfer/card_run.h"

namespace {

constexpr int PacedFrames = 64;
constexpr double BitsPerByte = 10;  // 8N1: start, 8 data, stop

struct BenchReader {
  ReaderFirmware firmware;
  ReaderKind kind;
  int baud;
  int read_bytes;  // command and reply of one frame read
};

// MCR: A2 MSB LSB, then 128 data, checksum, status. READ: "IAI" 02 LSB MSB, then "IAI" 41,
// 128 data, checksum.
constexpr BenchReader Readers[] = {
    {ReaderFirmware::Memcarduino, ReaderKind::Memcarduino, 115200, 3 + 130},
    {ReaderFirmware::Ps1CardLink, ReaderKind::Ps1CardLink, 115200, 3 + 130},
    {ReaderFirmware::DexDrive, ReaderKind::DexDrive, 38400, 6 + 133}};

class QuietObserver final : public RunObserver {
 public:
  bool CancelRequested() override { return false; }
  void FrameDone(int) override {}
  void ShowMessage(const std::string&, const std::string&) override { failed = true; }
  bool failed = false;
};

double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void BM_WholeCardRead(benchmark::State& state) {
  const BenchReader& bench = Readers[state.range(0)];
  auto card = std::make_unique<EmulatedCard>();
  EmulatedReader reader(bench.firmware, *card);
  reader.Start();
  auto image = std::make_unique<CardImage>();
  double cpu = 0;
  double wall = 0;
  for (auto _ : state) {
    QuietObserver observer;
    const auto connection = MakeReaderConnection({"bench", bench.kind, reader.device()}, 3);
    const double start = ThreadCpuSeconds();
    const auto wall_start = std::chrono::steady_clock::now();
    const RunResult result = RunCardTransfer(TransferKind::Read, *image, *connection, observer);
    cpu += ThreadCpuSeconds() - start;
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
    if (result.end != RunEnd::Completed || observer.failed) {
      state.SkipWithError("the read did not complete");
      return;
    }
  }
  const double frames = static_cast<double>(state.iterations()) * static_cast<double>(FrameCount);
  state.counters["host_cpu_us/frame"] = cpu / frames * 1e6;
  state.counters["wall_us/frame"] = wall / frames * 1e6;
}

void BM_PacedRead(benchmark::State& state) {
  const BenchReader& bench = Readers[state.range(0)];
  auto card = std::make_unique<EmulatedCard>();
  EmulatedReader reader(bench.firmware, *card);
  reader.faults().baud = bench.baud;
  reader.Start();
  const auto connection = MakeReaderConnection({"bench", bench.kind, reader.device()}, 3);
  if (connection->Prepare()) {
    state.SkipWithError("the reader did not answer");
    return;
  }
  Frame frame{};
  double seconds = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < PacedFrames; ++i) {
      if (!connection->ReadFrame(i, frame).good()) state.SkipWithError("a frame failed");
    }
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  connection->Release();
  const double per_frame = seconds / static_cast<double>(state.iterations() * PacedFrames);
  const double floor = bench.read_bytes * BitsPerByte / bench.baud;
  state.counters["ms/frame"] = per_frame * 1e3;
  state.counters["floor_ms/frame"] = floor * 1e3;
  state.counters["ratio_to_floor"] = per_frame / floor;
  state.counters["card_s"] = per_frame * static_cast<double>(FrameCount);
}

// 0: MemCARDuino, 1: PS1CardLink, 2: DexDrive.
BENCHMARK(BM_WholeCardRead)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PacedRead)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
