// Removal, restoration, purge, region change, chain check and export on arbitrary cards.
// Input: a count k, k pairs (operation, block), then the bytes tiled over the card.
#include <algorithm>
#include <filesystem>

#include "card/file_io.h"
#include "card/maintenance.h"
#include "card/single_save.h"
#include "fuzz_support.h"

namespace {

enum Operation { Check, Remove, Restore, Purge, Region, Export, OperationCount };

bool IsKnownChainState(uint32_t state) {
  return (state >= BlockState::InUseFirst && state <= BlockState::InUseLast) ||
         (state >= BlockState::RemovedFirst && state <= BlockState::RemovedLast);
}

// Removal and restoration touch only the state and XOR bytes, always leave a known code and a
// valid XOR byte, and are undone by their opposite.
void CheckChainChange(const CardImage& before, CardImage& image, int block, bool remove) {
  bool changed = false;
  for (int b = FirstSaveBlock; b <= LastSaveBlock; ++b) {
    auto old_frame = DirectoryFrameOf(before, b);
    auto new_frame = DirectoryFrameOf(image, b);
    if (std::ranges::equal(old_frame, new_frame)) continue;
    changed = true;
    fuzz::Require(fuzz::FramesDifferOnlyIn(old_frame, new_frame, 0, 4), "only state and XOR");
    fuzz::Require(IsKnownChainState(GetBlockState(image, b)), "a known state is written");
    fuzz::Require(IsDirectoryXorValid(image, b), "XOR valid after a change");
  }
  fuzz::Require(std::equal(before.begin() + BlockSize, before.end(), image.begin() + BlockSize),
                "contents untouched");
  if (!changed) return;
  remove ? RestoreSave(image, block) : RemoveSave(image, block);
  // A stale XOR byte of the chain comes back corrected; everything else as it was.
  for (int b = FirstSaveBlock; b <= LastSaveBlock; ++b) {
    auto old_frame = DirectoryFrameOf(before, b);
    auto new_frame = DirectoryFrameOf(image, b);
    bool restored = IsDirectoryXorValid(before, b)
                        ? std::ranges::equal(old_frame, new_frame)
                        : fuzz::FramesDifferOnlyIn(old_frame, new_frame, 0, 0);
    fuzz::Require(restored, "the opposite operation undoes the change");
  }
}

void CheckPurge(const CardImage& before, const CardImage& image) {
  for (int b = FirstSaveBlock; b <= LastSaveBlock; ++b) {
    uint32_t state = GetBlockState(before, b);
    bool removed = state >= BlockState::RemovedFirst && state <= BlockState::RemovedLast;
    bool freed = std::ranges::equal(DirectoryFrameOf(image, b), FreeDirectoryFrame) &&
                 std::ranges::all_of(BlockOf(image, b), [](uint8_t x) { return x == 0; });
    bool kept = std::ranges::equal(DirectoryFrameOf(image, b), DirectoryFrameOf(before, b)) &&
                std::ranges::equal(BlockOf(image, b), BlockOf(before, b));
    fuzz::Require(removed ? freed : kept, "purge frees removed blocks only");
  }
}

void CheckExport(const CardImage& image, int block, const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  ExportSingleSave(image, block, path);
  if (!RegularFileExists(path)) return;
  std::uintmax_t size = FileSizeOf(path);
  fuzz::Require(size >= SingleSaveHeaderSize + BlockSize && size <= MaxSingleSaveFileSize &&
                    (size - SingleSaveHeaderSize) % BlockSize == 0,
                "an export holds 1..15 whole blocks");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool silenced = fuzz::SilenceMessages();
  static const std::string export_path = fuzz::ScratchPath("maintenance.mcs");
  (void)silenced;
  if (size == 0) return 0;
  std::size_t operations = std::min<std::size_t>(data[0] % 8, (size - 1) / 2);
  std::span<const uint8_t> script(data + 1, 2 * operations);
  CardImage image = fuzz::TiledImage(std::span(data, size).subspan(1 + 2 * operations));

  for (std::size_t i = 0; i < operations; ++i) {
    auto operation = static_cast<Operation>(script[2 * i] % OperationCount);
    int block = script[2 * i + 1] % 18 - 1;  // -1 .. 16
    const CardImage before = image;
    switch (operation) {
      case Check:
        CheckSaveChain(image, block);
        fuzz::Require(image == before, "the check changes nothing");
        break;
      case Remove:
      case Restore:
        operation == Remove ? RemoveSave(image, block) : RestoreSave(image, block);
        CheckChainChange(before, image, block, operation == Remove);
        break;
      case Purge:
        PurgeRemovedSaves(image);
        CheckPurge(before, image);
        break;
      case Region: {
        auto region = static_cast<RegionCode>("AEI"[script[2 * i] / OperationCount % 3]);
        SetSaveRegion(image, block, region);
        for (int b = FirstSaveBlock; b <= LastSaveBlock; ++b) {
          fuzz::Require(fuzz::FramesDifferOnlyIn(DirectoryFrameOf(before, b),
                                                 DirectoryFrameOf(image, b), 11, 12),
                        "region change writes byte 11 only");
        }
        fuzz::Require(
            std::equal(before.begin() + BlockSize, before.end(), image.begin() + BlockSize),
            "contents untouched");
        break;
      }
      default:
        CheckExport(image, block, export_path);
        break;
    }
  }
  return 0;
}
