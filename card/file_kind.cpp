#include "file_kind.h"

#include "card_image.h"
#include "file_io.h"
#include "single_save.h"

CardFileKind RecogniseCardFile(const std::string& path) {
  if (!RegularFileExists(path)) return CardFileKind::CardImage;
  // A single save opens with its first directory frame: state "in use, first block" in byte 0,
  // then one to fifteen whole blocks.
  const std::uintmax_t size = FileSizeOf(path);
  if (size <= SingleSaveHeaderSize || size > MaxSingleSaveFileSize) return CardFileKind::CardImage;
  if ((size - SingleSaveHeaderSize) % BlockSize != 0) return CardFileKind::CardImage;
  const std::vector<uint8_t> first = ReadFilePrefix(path, 1);
  if (first.empty() || first[0] != BlockState::InUseFirst) return CardFileKind::CardImage;
  return CardFileKind::SingleSave;
}
