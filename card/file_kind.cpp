#include "file_kind.h"

#include "card_image.h"
#include "file_io.h"
#include "formats/card_recogniser.h"
#include "formats/mcs.h"
#include "single_save.h"

CardFileKind KindOfFile(const std::string& path) {
  if (!RegularFileExists(path)) return CardFileKind::CardImage;
  const std::vector<uint8_t> file = ReadFilePrefix(path, LargestCardFile + 1);
  // Single saves of the formats with a magic of their own are never taken for cards.
  if (RecogniseSingleSave(file, file.size()) != SingleSaveFormat::Mcs) {
    return CardFileKind::SingleSave;
  }
  if (RecogniseCardFile(file).verdict != CardFileVerdict::Unknown) return CardFileKind::CardImage;
  return HasMcsShape(file, file.size()) ? CardFileKind::SingleSave : CardFileKind::CardImage;
}
