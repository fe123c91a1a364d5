// Single-save files of every format, any size and content, imported into generated cards and
// exported again; what is expected comes from each format's own rules.
#include <algorithm>
#include <array>
#include <optional>

#include "card/check.h"
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

// Each format's own rules, from the formats' descriptions: where the blocks start and how many
// there are, or nothing when the file is refused. The formats' lengths differ modulo 8192
// (headers of 0, 54, 128 and 132 bytes), so the length alone says which one a file may be.
struct Layout {
  std::size_t data = 0;
  int blocks = -1;
};

uint32_t Le32(std::span<const uint8_t> file, std::size_t at) {
  return file[at] | file[at + 1] << 8 | file[at + 2] << 16 |
         static_cast<uint32_t>(file[at + 3]) << 24;
}

bool HasTitleMagic(std::span<const uint8_t> file, std::size_t at) {
  return file.size() >= at + 2 &&
         ((file[at] == 'S' && file[at + 1] == 'C') || (file[at] == 's' && file[at + 1] == 'c'));
}

Layout ExpectedLayout(std::span<const uint8_t> file) {
  constexpr std::size_t kBlock = 8192;
  const std::size_t size = file.size();
  auto blocks_after = [&](std::size_t header) {
    return size >= header + kBlock && (size - header) % kBlock == 0
               ? static_cast<int>((size - header) / kBlock)
               : 0;
  };
  const bool psv_magic =
      size >= 4 && file[0] == 0 && file[1] == 'V' && file[2] == 'S' && file[3] == 'P';
  if (psv_magic && size >= 0x84 && (size - 0x84) % kBlock == 0) {
    const int n = blocks_after(0x84);
    const bool sound = n >= 1 && n <= 15 && Le32(file, 0x38) == 0x14 && Le32(file, 0x3C) == 1 &&
                       Le32(file, 0x40) == size - 0x84 && Le32(file, 0x44) == 0x84 &&
                       HasTitleMagic(file, 0x84);
    return {0x84, sound ? n : -1};
  }
  if (const int n = blocks_after(0); n >= 1 && n <= 15 && HasTitleMagic(file, 0)) return {0, n};
  if (const int n = blocks_after(54); n >= 1 && n <= 15 && HasTitleMagic(file, 54)) return {54, n};
  // Anything else is a .mcs, of any number of blocks.
  const bool mcs = size >= 128 && (size - 128) % kBlock == 0 && HasTitleMagic(file, 128);
  return {128, mcs ? static_cast<int>((size - 128) / kBlock) : -1};
}

void CheckPlacedSave(const CardImage& before, const CardImage& after, std::span<const uint8_t> file,
                     const Layout& layout, const std::string& export_path) {
  std::vector<int> placed;
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    bool changed =
        !std::ranges::equal(DirectoryFrameOf(before, block), DirectoryFrameOf(after, block)) ||
        !std::ranges::equal(BlockOf(before, block), BlockOf(after, block));
    if (changed) placed.push_back(block);
    fuzz::Require(!changed || IsAvailableState(GetBlockState(before, block)),
                  "only available blocks are written");
  }
  fuzz::Require(std::ssize(placed) == layout.blocks, "as many blocks as the save has");
  for (int block : placed) {
    fuzz::Require(IsDirectoryXorValid(after, block), "written frames have a valid XOR");
    fuzz::Require(IsLinkToSaveBlock(GetNextLink(after, block)), "written links name a block");
  }
  const int first = placed.front();
  fuzz::Require(GetBlockState(after, first) == BlockState::InUseFirst, "first block in use");
  fuzz::Require(GetSaveSize(after, first) == static_cast<uint32_t>(layout.blocks) * 8192,
                "the size is the blocks placed");
  // On a card whose chains were already broken, a broken chain may lead into the blocks the save
  // took; the save is then shared and rightly not exported. On a sound card it always is.
  if (HasDamage(CheckCard(before))) return;
  ExportSingleSave(after, first, export_path);
  std::vector<uint8_t> exported = test_support::ReadBytes(export_path);
  fuzz::Require(exported.size() == 128 + static_cast<std::size_t>(layout.blocks) * 8192 &&
                    std::equal(exported.begin() + 128, exported.end(),
                               file.begin() + static_cast<std::ptrdiff_t>(layout.data)),
                "the save comes back out block for block");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool silenced = fuzz::SilenceMessages();
  // A raw save takes its directory name from its file name.
  static const std::string path = fuzz::ScratchPath("save-BASLUS-00000FUZZ");
  static const std::string export_path = fuzz::ScratchPath("export.mcs");
  (void)silenced;
  std::span<const uint8_t> file(data, size);
  fuzz::WriteScratch(path, file);

  const Layout layout = ExpectedLayout(file);
  fuzz::Require(CheckSingleSaveFile(path) == layout.blocks, "block count");

  uint8_t seed = size > 0 ? file[size / 2] : 0;
  const CardImage& before = CardForSeed(seed);
  CardImage image = before;
  bool placed = ImportSingleSave(image, path);
  fuzz::Require(placed == (layout.blocks > 0 && layout.blocks <= CountFreeBlocks(before)),
                "import result");
  if (!placed) {
    fuzz::Require(image == before, "a refused import changes nothing");
    return 0;
  }
  CheckPlacedSave(before, image, file, layout, export_path);
  return 0;
}
