#include "mcs.h"

#include <algorithm>
#include <climits>

#include "card/file_checks.h"
#include "card/single_save.h"

std::optional<SaveContents> DecodeMcs(std::span<const uint8_t> file, std::uintmax_t size,
                                      const std::string& path) {
  // The size is tested before the identification, and a file too short to carry one fails the
  // identification test.
  if (size < SingleSaveHeaderSize || (size - SingleSaveHeaderSize) % BlockSize != 0) {
    ShowFileRefusal("O arquivo ", path, " apresentou um tamanho inválido!");
    return std::nullopt;
  }
  if (!HasTitleMagicAt(file, SingleSaveHeaderSize)) {
    ShowFileRefusal("O arquivo ", path, " apresentou um ID inválido!");
    return std::nullopt;
  }
  SaveContents save;
  std::copy_n(file.begin(), FrameSize, save.frame.begin());
  // Only an absurdly large file could overflow; it is refused for want of free blocks anyway.
  save.block_count = static_cast<int>(
      std::min<std::uintmax_t>((size - SingleSaveHeaderSize) / BlockSize, INT_MAX));
  if (save.block_count <= SaveBlockCount) {
    save.blocks = BlocksOf(file, SingleSaveHeaderSize, save.block_count, path);
  }
  return save;
}

bool IsMcsLength(std::uintmax_t size) {
  return size > SingleSaveHeaderSize && size <= MaxSingleSaveFileSize &&
         (size - SingleSaveHeaderSize) % BlockSize == 0;
}

bool HasMcsShape(std::span<const uint8_t> file, std::uintmax_t size) {
  return IsMcsLength(size) && !file.empty() &&
         file[DirectoryFrame::StateOffset] == BlockState::InUseFirst;
}

std::vector<uint8_t> EncodeMcs(const SaveContents& save) {
  std::vector<uint8_t> file(save.frame.begin(), save.frame.end());
  file.insert(file.end(), save.blocks.begin(), save.blocks.end());
  return file;
}
