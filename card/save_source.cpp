#include "save_source.h"

#include <vector>

#include "file_io.h"
#include "formats/card_file.h"
#include "formats/card_recogniser.h"
#include "formats/single_save_file.h"

bool HoldsCardImage(const std::string& path) {
  if (!RegularFileExists(path)) return false;
  const std::vector<uint8_t> prefix = ReadFilePrefix(path, LargestCardFile + 1);
  // A single save of another format is never a card; a .mcs is told apart by the card formats'
  // sizes and magic values, and a damaged card container is left to the card loader to explain.
  if (RecogniseSingleSave(prefix, prefix.size()) != SingleSaveFormat::Mcs) return false;
  const CardFileVerdict verdict = RecogniseCardFile(prefix).verdict;
  return verdict == CardFileVerdict::Card || verdict == CardFileVerdict::DamagedHeader;
}

bool LoadSourceCard(CardImage& card, const std::string& path) {
  CardContainer container;
  return LoadSourceCard(card, container, path);
}

bool LoadSourceCard(CardImage& card, CardContainer& container, const std::string& path) {
  return LoadCardFile(card, container, path, CardFileUse::OnlyRead);
}
