// What the main window does with a freshly opened card: load the file, read every block's
// title and details, and build the 45 icons (three frames of each of the 15 blocks).
#include <benchmark/benchmark.h>

#include "card/check.h"
#include "card/formats/card_file.h"
#include "card/icon_file.h"
#include "card/image_file.h"
#include "support/card_builder.h"
#include "support/temp_folder.h"

namespace {

void DescribeCard(const CardImage& image) {
  IconFileImage icon;
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    benchmark::DoNotOptimize(GetSaveTitle(image, block));
    benchmark::DoNotOptimize(GetBlockState(image, block));
    benchmark::DoNotOptimize(GetSaveSize(image, block));
    benchmark::DoNotOptimize(GetNextLink(image, block));
    benchmark::DoNotOptimize(GetRegion(image, block));
    benchmark::DoNotOptimize(GetProductCode(image, block));
    benchmark::DoNotOptimize(GetGameId(image, block));
    benchmark::DoNotOptimize(GetIconType(image, block));
    benchmark::DoNotOptimize(IsDirectoryXorValid(image, block));
    for (int frame = 1; frame <= 3; ++frame) {
      BuildIconFile(image, block, frame, icon);
      benchmark::DoNotOptimize(icon);
    }
  }
  benchmark::DoNotOptimize(CountFreeBlocks(image));
}

void LoadAndDescribeCard(benchmark::State& state) {
  test_support::TempFolder folder;
  const std::string path = folder.File("card.mc");
  SaveImageFile(test_support::RandomCard(42), path);
  CardImage image;
  for (auto _ : state) {
    if (!LoadImageFile(image, path)) state.SkipWithError("card did not load");
    DescribeCard(image);
  }
}
BENCHMARK(LoadAndDescribeCard)->Unit(benchmark::kMicrosecond);

// The same without the file, to tell the file system's share apart.
void DescribeLoadedCard(benchmark::State& state) {
  const CardImage image = test_support::RandomCard(42);
  for (auto _ : state) DescribeCard(image);
}
BENCHMARK(DescribeLoadedCard)->Unit(benchmark::kMicrosecond);

// Recognising and loading a card file of each format, the signature check of a .VMP included;
// goal below 1 ms each.
void RecogniseAndLoadCardFile(benchmark::State& state) {
  const CardFormatInfo& info = CardFormats()[static_cast<std::size_t>(state.range(0))];
  test_support::TempFolder folder;
  const std::string path = folder.File("card." + std::string(info.extensions.front()));
  SaveCardFile(test_support::RandomCard(42), NewCardContainer(info.format), path);
  CardImage image;
  CardContainer container;
  for (auto _ : state) {
    if (!LoadCardFile(image, container, path)) state.SkipWithError("card did not load");
    benchmark::DoNotOptimize(image);
  }
  state.SetLabel(std::string(info.name));
}
BENCHMARK(RecogniseAndLoadCardFile)
    ->DenseRange(0, static_cast<int64_t>(CardFormats().size()) - 1)
    ->Unit(benchmark::kMicrosecond);

}  // namespace

// The check of a card with saves everywhere and a damaged one; its repair from the damaged
// state each time. Target: well under 1 ms each.
void CheckCardOfSaves(benchmark::State& state) {
  const CardImage image = test_support::RandomCard(42, state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(CheckCard(image));
}
BENCHMARK(CheckCardOfSaves)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void RepairDamagedCard(benchmark::State& state) {
  const CardImage damaged = test_support::RandomCard(3, true);
  CardImage image;
  for (auto _ : state) {
    image = damaged;
    benchmark::DoNotOptimize(RepairCard(image));
  }
}
BENCHMARK(RepairDamagedCard)->Unit(benchmark::kMicrosecond);

// What verificar and reparar do for one file, short of printing and writing it back.
void LoadAndCheckCardFile(benchmark::State& state) {
  test_support::TempFolder folder;
  const std::string path = folder.File("card.mc");
  CardImage damaged = test_support::RandomCard(3, true);
  damaged[127] = 0x42;  // the header's check byte of some real cards
  SaveImageFile(damaged, path);
  CardImage image;
  CardContainer container;
  for (auto _ : state) {
    if (!LoadCardFile(image, container, path, CardFileUse::OnlyRead, HeaderRule::McOnly))
      state.SkipWithError("no card");
    if (state.range(0) == 0) {
      benchmark::DoNotOptimize(CheckCard(image, container.card_bytes));
    } else {
      benchmark::DoNotOptimize(RepairCard(image, container.card_bytes));
    }
  }
}
BENCHMARK(LoadAndCheckCardFile)->ArgName("repair")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
