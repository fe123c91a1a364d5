#include "file_kind.h"

#include "card_image.h"
#include "file_io.h"
#include "formats/card_recogniser.h"
#include "single_save.h"

namespace {

// One directory frame whose state is "in use, first block", then one to fifteen whole blocks.
bool HasSingleSaveShape(const std::vector<uint8_t>& file) {
  if (file.size() <= SingleSaveHeaderSize || file.size() > MaxSingleSaveFileSize) return false;
  if ((file.size() - SingleSaveHeaderSize) % BlockSize != 0) return false;
  return file[DirectoryFrame::StateOffset] == BlockState::InUseFirst;
}

}  // namespace

CardFileKind KindOfFile(const std::string& path) {
  if (!RegularFileExists(path)) return CardFileKind::CardImage;
  const std::vector<uint8_t> file = ReadFilePrefix(path, LargestCardFile + 1);
  // Single saves of the formats with a magic of their own are never taken for cards.
  if (RecogniseSingleSave(file, file.size()) != SingleSaveFormat::Mcs) {
    return CardFileKind::SingleSave;
  }
  if (RecogniseCardFile(file).verdict != CardFileVerdict::Unknown) return CardFileKind::CardImage;
  return HasSingleSaveShape(file) ? CardFileKind::SingleSave : CardFileKind::CardImage;
}
