// Icons as pictures: exporting a save's icon in each format, and replacing it with a picture.
// Goals: under 5 ms per save for each export format; under 50 ms for a new icon taken from a
// three-frame 256 x 256 GIF (read, fitted, quantised and written into the card).
#include <benchmark/benchmark.h>

#include <QImage>

#include "card/file_io.h"
#include "card/save_icon.h"
#include "pictures/gif_encoder.h"
#include "pictures/icon_import.h"
#include "pictures/icon_pictures.h"
#include "support/card_builder.h"
#include "support/temp_folder.h"

namespace {

// The file's bytes alone.
void EncodeIcon(benchmark::State& state) {
  const auto format = static_cast<IconFormat>(state.range(0));
  const CardImage image = test_support::RandomCard(7);
  const std::vector<int> saves = test_support::FirstBlocks(image);
  std::size_t next = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(IconFileBytes(image, saves[next++ % saves.size()], format, 1));
  }
}
BENCHMARK(EncodeIcon)
    ->Arg(int(IconFormat::Ico))
    ->Arg(int(IconFormat::Png))
    ->Arg(int(IconFormat::Gif))
    ->Unit(benchmark::kMillisecond);

// As the commands do it: the bytes, then the file written whole and flushed to the disk.
void ExportIcon(benchmark::State& state) {
  const auto format = static_cast<IconFormat>(state.range(0));
  const CardImage image = test_support::RandomCard(7);
  const std::vector<int> saves = test_support::FirstBlocks(image);
  test_support::TempFolder folder;
  const std::string path = folder.File("icone");
  std::size_t next = 0;
  for (auto _ : state) {
    const int block = saves[next++ % saves.size()];
    WriteFileAtomically(path, IconFileBytes(image, block, format, 1));
  }
}
BENCHMARK(ExportIcon)
    ->Arg(int(IconFormat::Ico))
    ->Arg(int(IconFormat::Png))
    ->Arg(int(IconFormat::Gif))
    ->Unit(benchmark::kMillisecond);

// Three 256 x 256 frames of a full-colour pattern, as a GIF of 256 colours.
std::string ThreeFrameGif(const test_support::TempFolder& folder) {
  IndexedAnimation animation;
  animation.side = 256;
  animation.delay_ms = 100;
  for (int i = 0; i < 256; ++i) animation.palette.push_back(qRgb(i, 255 - i, (i * 37) % 256));
  for (int f = 0; f < 3; ++f) {
    std::vector<uint8_t> pixels(256 * 256);
    for (int p = 0; p < 256 * 256; ++p) pixels[p] = uint8_t((p % 256 + p / 256 * 3 + f * 40) % 256);
    animation.frames.push_back(std::move(pixels));
  }
  const QByteArray bytes = EncodeGif(animation);
  const std::string path = folder.File("figura.gif");
  WriteFileAtomically(path, std::vector<uint8_t>(bytes.begin(), bytes.end()));
  return path;
}

void ReplaceIconFromGif(benchmark::State& state) {
  test_support::TempFolder folder;
  const QString path = QString::fromStdString(ThreeFrameGif(folder));
  CardImage image = test_support::BlankCard();
  test_support::PlaceSave(image, {.blocks = {1}, .icon_frames = 3});
  for (auto _ : state) {
    const IconImport picture = IconFromPicture(path);
    if (!picture.icon || !WriteSaveIcon(image, 1, *picture.icon)) {
      state.SkipWithError("the picture was refused");
    }
  }
}
BENCHMARK(ReplaceIconFromGif)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
