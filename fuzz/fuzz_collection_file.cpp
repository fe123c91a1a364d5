// Any file a catalogue walk meets: what it finds must be whole saves, whatever the bytes.
#include <algorithm>

#include "collection/found_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const std::string path = fuzz::ScratchPath("file-BESLES-00001FUZZ");
  std::span<const uint8_t> file(data, size);
  const FoundFile found = ExamineBytes(file, size, path);
  if (found.kind != FoundKind::Card && found.kind != FoundKind::SingleSave) {
    fuzz::Require(found.saves.empty(), "only cards and single saves hold saves");
  }
  int previous = 0;
  for (const FoundSave& save : found.saves) {
    if (found.kind == FoundKind::Card) {
      fuzz::Require(save.block > previous && save.block <= 15, "blocks ascend within the card");
      previous = save.block;
    } else {
      fuzz::Require(save.block == 0 && found.saves.size() == 1, "one save per single-save file");
    }
    if (save.broken) continue;
    const int n = save.contents.block_count;
    fuzz::Require(n >= 1 && n <= 15, "a save has 1 to 15 blocks");
    fuzz::Require(save.contents.blocks.size() == static_cast<std::size_t>(n) * 8192,
                  "every block is read whole");
    fuzz::Require(save.digest == DigestOf(save.contents), "the digest is of what was read");
    fuzz::Require(std::ranges::equal(save.title, std::span(save.contents.blocks).first(128)),
                  "the title frame is the first block's");
  }
  return 0;
}
