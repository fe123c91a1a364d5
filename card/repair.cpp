#include <algorithm>

#include "check.h"
#include "little_endian.h"
#include "save_chain.h"

// The mending of findings, each a function of its finding alone: the chain kept is always the
// sound start of the walk, which no other mend of the same pass changes.
namespace {

// Passes needed at most: mends, then the blocks cut chains left behind, then nothing.
constexpr int kMaxPasses = 4;

// The save becomes exactly the blocks kept, in that order; none kept frees its first frame.
void PutChain(CardImage& image, int first, std::span<const int> kept) {
  if (kept.empty()) {
    std::ranges::copy(FreeDirectoryFrame, DirectoryFrameOf(image, first).begin());
    return;
  }
  const uint8_t first_code = DirectoryFrameOf(image, first)[DirectoryFrame::StateOffset];
  for (std::size_t i = 0; i < kept.size(); ++i) {
    auto frame = DirectoryFrameOf(image, kept[i]);
    if (i > 0) {
      const bool last = i + 1 == kept.size();
      SetDirectoryState(frame, static_cast<uint8_t>(first_code + (last ? 2 : 1)));
    }
    WriteLe16(frame, DirectoryFrame::LinkOffset,
              i + 1 < kept.size() ? static_cast<uint16_t>(kept[i + 1] - 1) : NoLink);
  }
  WriteLe32(DirectoryFrameOf(image, first), DirectoryFrame::SizeOffset,
            static_cast<uint32_t>(kept.size() * BlockSize));
  for (int block : kept) UpdateDirectoryXor(image, block);
}

bool Mend(CardImage& image, const Finding& finding) {
  switch (finding.kind) {
    case FindingKind::HeaderCheckByte:
      image[DirectoryFrame::XorOffset] = static_cast<uint8_t>(finding.expected);
      return true;
    case FindingKind::DirectoryCheckByte:
      UpdateDirectoryXor(image, finding.block);
      return true;
    case FindingKind::SizeField:
    case FindingKind::SizeMismatch:
    case FindingKind::ChainLost:
    case FindingKind::ChainStray:
    case FindingKind::ChainClaimed:
    case FindingKind::ChainBadLink:
    case FindingKind::ChainLoop: {
      const ChainWalk walk = WalkSaveChain(image, finding.save);
      PutChain(image, finding.save,
               std::span(walk.blocks).first(static_cast<std::size_t>(finding.kept)));
      return true;
    }
    case FindingKind::UnknownState:
    case FindingKind::OrphanBlock:
      std::ranges::copy(FreeDirectoryFrame, DirectoryFrameOf(image, finding.block).begin());
      return true;
    default:
      return false;
  }
}

}  // namespace

std::vector<Finding> RepairCard(CardImage& image, std::size_t card_bytes) {
  std::vector<Finding> mended;
  for (int pass = 0; pass < kMaxPasses; ++pass) {
    const std::size_t before = mended.size();
    for (const Finding& finding : CheckCard(image, card_bytes)) {
      if (Mend(image, finding)) mended.push_back(finding);
    }
    if (mended.size() == before) break;
  }
  return mended;
}
