// Any bytes taken for a single save of any format: what decodes must place, export and decode
// again to the same save.
#include <algorithm>

#include "card/single_save.h"
#include "fuzz_support.h"
#include "support/card_builder.h"

namespace {

// A raw save is named after its file.
const std::string kPath = "BASLUS-00000FUZZSAVE";

void CheckRoundTrip(const SaveContents& save, SingleSaveFormat format) {
  const std::vector<uint8_t> file = EncodeSingleSave(save, format);
  fuzz::Require(RecogniseSingleSave(file, file.size()) == format, "an export is recognised");
  std::optional<SaveContents> again = DecodeSingleSave(file, file.size(), kPath);
  fuzz::Require(again && again->blocks == save.blocks, "an export decodes to the same blocks");
  // A raw save's name is its file's, not the save's.
  fuzz::Require(
      format == SingleSaveFormat::RawSave ||
          std::ranges::equal(DirectoryNameBytes(again->frame), DirectoryNameBytes(save.frame)),
      "an export keeps the name");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool silenced = fuzz::SilenceMessages();
  (void)silenced;
  std::span<const uint8_t> file(data, std::min(size, MaxSingleSaveBytes));
  const SingleSaveFormat format = RecogniseSingleSave(file, size);
  std::optional<SaveContents> save = DecodeSingleSave(file, size, kPath);
  if (!save) return 0;
  fuzz::Require(save->block_count >= 1, "a save has blocks");
  if (save->block_count > SaveBlockCount) {
    fuzz::Require(format == SingleSaveFormat::Mcs && save->blocks.empty(),
                  "only a .mcs may be too long, and is then not read");
    return 0;
  }
  fuzz::Require(save->blocks.size() == static_cast<std::size_t>(save->block_count) * BlockSize,
                "every block is there");
  fuzz::Require(HasTitleMagicAt(save->blocks, 0), "a save starts with its title frame");

  CardImage card = test_support::BlankCard();
  fuzz::Require(ImportSave(card, *save), "a blank card takes any save");
  std::optional<SaveContents> placed = SaveOnCard(card, FirstSaveBlock);
  fuzz::Require(placed && placed->blocks == save->blocks, "the card holds the save's blocks");
  for (auto out : {SingleSaveFormat::Mcs, SingleSaveFormat::RawSave, SingleSaveFormat::ActionReplay,
                   SingleSaveFormat::Psv}) {
    CheckRoundTrip(*placed, out);
  }
  return 0;
}
