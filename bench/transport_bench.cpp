// A whole card read and written over the emulated card, at several link delays. Reports, per
// frame, the port writes, the status reads and the acknowledge polls among them, beside the
// counts the link's steps predict, and the wall time of the whole card.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "transport/card_link.h"
#include "transport/emulated_card.h"
#include "transport/frame_commands.h"

namespace {

constexpr int Frames = static_cast<int>(FrameCount);

struct FrameCost {
  uint64_t fixed_writes;
  uint64_t writes_per_delay;
  uint64_t data_reads;  // 8 per byte exchanged
};
constexpr FrameCost ReadCost{3367, 2395, 1120};
constexpr FrameCost WriteCost{3319, 2351, 1104};

void Report(benchmark::State& state, const EmulatedCard& card, const FrameCost& cost, int delay,
            uint64_t cards) {
  const auto& counters = card.counters();
  const double frames = static_cast<double>(cards) * Frames;
  const uint64_t expected_writes = cost.fixed_writes + cost.writes_per_delay * delay;
  state.counters["writes/frame"] = static_cast<double>(counters.port_writes) / frames;
  state.counters["expected_writes"] = static_cast<double>(expected_writes);
  state.counters["reads/frame"] = static_cast<double>(counters.status_reads) / frames;
  state.counters["polls/frame"] = static_cast<double>(counters.ack_polls) / frames;
  state.counters["expected_reads"] = static_cast<double>(cost.data_reads);
  state.counters["accesses/card"] =
      static_cast<double>(counters.port_writes + counters.status_reads) /
      static_cast<double>(cards);
  const bool exact = counters.port_writes == expected_writes * Frames * cards &&
                     counters.status_reads - counters.ack_polls == cost.data_reads * Frames * cards;
  if (!exact) state.SkipWithError("port accesses differ from the link's step counts");
}

void ReadWholeCard(benchmark::State& state) {
  const int delay = static_cast<int>(state.range(0));
  EmulatedCard card;
  ScopedPortBackend plugged(card);
  PortLatch = 0xFF;
  for (std::size_t i = 0; i < CardSize; ++i) card.image()[i] = static_cast<uint8_t>(i * 31);
  Frame buffer{};
  uint64_t cards = 0;
  for (auto _ : state) {
    for (int frame = 0; frame < Frames; ++frame) {
      if (!ReadFrame(Lpt1Base, delay, frame, buffer)) state.SkipWithError("frame failed");
    }
    benchmark::DoNotOptimize(buffer);
    ++cards;
  }
  Report(state, card, ReadCost, delay, cards);
}

void WriteWholeCard(benchmark::State& state) {
  const int delay = static_cast<int>(state.range(0));
  EmulatedCard card;
  ScopedPortBackend plugged(card);
  PortLatch = 0xFF;
  Frame data{};
  uint64_t cards = 0;
  for (auto _ : state) {
    for (int frame = 0; frame < Frames; ++frame) {
      data.fill(static_cast<uint8_t>(frame));
      if (!WriteFrame(Lpt1Base, delay, frame, data)) state.SkipWithError("frame failed");
    }
    ++cards;
  }
  Report(state, card, WriteCost, delay, cards);
}

BENCHMARK(ReadWholeCard)->Arg(1)->Arg(3)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(WriteWholeCard)->Arg(1)->Arg(3)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
