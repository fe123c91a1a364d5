// Any bytes pasted or dropped as saves: what decodes must go onto a card, and a bundle whose every
// save was accepted must encode back to the same bytes.
#include <algorithm>

#include "card/formats/save_bundle.h"
#include "card/messages.h"
#include "card/save_placement.h"
#include "fuzz_support.h"
#include "support/card_builder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool silenced = fuzz::SilenceMessages();
  (void)silenced;
  const std::span<const uint8_t> bytes(data, size);
  std::optional<std::vector<SaveContents>> saves = DecodeSaveBundle(bytes, "fuzz");
  if (!saves) return 0;
  for (const SaveContents& save : *saves) {
    fuzz::Require(save.block_count >= 1 && save.block_count <= SaveBlockCount,
                  "a bundled save fits a card");
    fuzz::Require(save.blocks.size() == static_cast<std::size_t>(save.block_count) * BlockSize,
                  "every block is there");
  }
  // Only whole bundles round-trip: a refused save is left out of the decoded list.
  const uint32_t count = bytes[8] | bytes[9] << 8 | bytes[10] << 16 | bytes[11] << 24;
  if (saves->size() == count) {
    const std::vector<uint8_t> again = EncodeSaveBundle(*saves);
    fuzz::Require(std::ranges::equal(again, bytes), "a bundle encodes back to its bytes");
  }
  CardImage card = test_support::BlankCard();
  SaveComments comments{};
  const std::vector<int> firsts =
      ImportSaves(card, comments, *saves, [](const std::string&) { return true; });
  fuzz::Require(firsts.size() == saves->size(), "every save has an outcome");
  for (int first : firsts) {
    fuzz::Require(first == 0 || GetBlockState(card, first) == BlockState::InUseFirst,
                  "a placed save starts with its first block");
  }
  return 0;
}
