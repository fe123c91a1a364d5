// Single-save files of any size and content, imported into generated cards and exported again.
#include <algorithm>
#include <array>
#include <optional>

#include "card/single_save.h"
#include "fuzz_support.h"
#include "support/card_builder.h"
#include "support/temp_folder.h"

namespace {

// Generating a card costs more than the import; each of the 256 is made once.
const CardImage& CardForSeed(uint8_t seed) {
  static std::array<std::optional<CardImage>, 256> cards;
  auto& card = cards[seed];
  if (!card) card = test_support::RandomCard(seed, seed % 3 == 0);
  return *card;
}

bool IsLinkToSaveBlock(uint16_t link) {
  return link == NoLink || link < SaveBlockCount;
}

void CheckPlacedSave(const CardImage& before, const CardImage& after, std::span<const uint8_t> file,
                     int n, const std::string& export_path) {
  std::vector<int> placed;
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    bool changed =
        !std::ranges::equal(DirectoryFrameOf(before, block), DirectoryFrameOf(after, block)) ||
        !std::ranges::equal(BlockOf(before, block), BlockOf(after, block));
    if (changed) placed.push_back(block);
    fuzz::Require(!changed || IsAvailableState(GetBlockState(before, block)),
                  "only available blocks are written");
  }
  fuzz::Require(std::ssize(placed) <= n, "no more blocks than the save has");
  for (int block : placed) {
    fuzz::Require(IsDirectoryXorValid(after, block), "written frames have a valid XOR");
    fuzz::Require(IsLinkToSaveBlock(GetNextLink(after, block)), "written links name a block");
  }
  int first = FindFirstFreeBlock(before);
  fuzz::Require(GetBlockState(after, first) == BlockState::InUseFirst, "first block in use");
  ExportSingleSave(after, first, export_path);
  std::vector<uint8_t> exported = test_support::ReadBytes(export_path);
  fuzz::Require(exported.size() == file.size() &&
                    std::equal(exported.begin() + SingleSaveHeaderSize, exported.end(),
                               file.begin() + SingleSaveHeaderSize),
                "the save comes back out block for block");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool silenced = fuzz::SilenceMessages();
  static const std::string path = fuzz::ScratchPath("save.mcs");
  static const std::string export_path = fuzz::ScratchPath("export.mcs");
  (void)silenced;
  std::span<const uint8_t> file(data, size);
  fuzz::WriteScratch(path, file);

  int n = CheckSingleSaveFile(path);
  bool well_formed = size >= SingleSaveHeaderSize + BlockSize &&
                     (size - SingleSaveHeaderSize) % BlockSize == 0 &&
                     ((file[128] == 0x53 && file[129] == 0x43) ||  // "SC"
                      (file[128] == 0x73 && file[129] == 0x63));   // "sc"
  fuzz::Require(
      n == (well_formed ? static_cast<int>((size - SingleSaveHeaderSize) / BlockSize) : -1),
      "block count");

  uint8_t seed = size > 0 ? file[size / 2] : 0;
  const CardImage& before = CardForSeed(seed);
  CardImage image = before;
  bool placed = ImportSingleSave(image, path);
  fuzz::Require(placed == (well_formed && n <= CountFreeBlocks(before)), "import result");
  if (!placed) {
    fuzz::Require(image == before, "a refused import changes nothing");
    return 0;
  }
  CheckPlacedSave(before, image, file, n, export_path);
  return 0;
}
