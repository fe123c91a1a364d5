#include "save_chain.h"

#include "little_endian.h"

namespace {

// A middle or last block of the kind (in use or removed) whose first block has first_state.
bool FollowsFirst(uint32_t state, uint32_t first_state) {
  return state == first_state + 1 || state == first_state + 2;
}

}  // namespace

int LinkedBlock(uint16_t link) {
  int block = static_cast<int>(link) + 1;
  return IsSaveBlock(block) ? block : 0;
}

bool BlockIsPresent(int block, std::size_t card_bytes) {
  return BlockOffset(block) + BlockSize <= card_bytes;
}

std::vector<uint8_t> BytesOfBlocks(const CardImage& image, std::span<const int> blocks) {
  std::vector<uint8_t> bytes;
  bytes.reserve(blocks.size() * BlockSize);
  for (int block : blocks) {
    const auto content = BlockOf(image, block);
    bytes.insert(bytes.end(), content.begin(), content.end());
  }
  return bytes;
}

ChainWalk WalkSaveChain(const CardImage& image, int first) {
  ChainWalk walk;
  BlockSet passed;
  int block = first;
  while (true) {
    passed.set(static_cast<std::size_t>(block));
    walk.blocks.push_back(block);
    walk.last_link = ReadLe16(DirectoryFrameOf(image, block), DirectoryFrame::LinkOffset);
    if (walk.last_link == NoLink) return walk;
    block = LinkedBlock(walk.last_link);
    if (block == 0) {
      walk.end = ChainEnd::LinkNamesNoBlock;
      return walk;
    }
    if (passed[static_cast<std::size_t>(block)]) {
      walk.end = ChainEnd::ComesBack;
      return walk;
    }
  }
}

ChainCheck CheckChain(const CardImage& image, int first, const BlockSet& claimed,
                      std::size_t card_bytes) {
  ChainCheck check;
  check.walk = WalkSaveChain(image, first);
  check.size_blocks =
      ReadLe32(DirectoryFrameOf(image, first), DirectoryFrame::SizeOffset) >> BlockSizeShift;
  const uint32_t first_state = StateOf(image, first);
  for (std::size_t i = 0; i < check.walk.blocks.size(); ++i) {
    const int block = check.walk.blocks[i];
    check.fault_block = block;
    if (i > 0 && !FollowsFirst(StateOf(image, block), first_state)) {
      check.fault = ChainFault::Stray;
    } else if (i > 0 && claimed[static_cast<std::size_t>(block)]) {
      check.fault = ChainFault::Claimed;
    } else if (!BlockIsPresent(block, card_bytes)) {
      check.fault = ChainFault::Lost;
    } else {
      continue;
    }
    check.readable = i;
    return check;
  }
  check.readable = check.walk.blocks.size();
  check.fault_block = 0;
  if (check.walk.end == ChainEnd::LinkNamesNoBlock) {
    check.fault = ChainFault::LinkNamesNoBlock;
  } else if (check.walk.end == ChainEnd::ComesBack) {
    check.fault = ChainFault::ComesBack;
    check.fault_block = LinkedBlock(check.walk.last_link);
  } else if (check.readable != check.size_blocks) {
    check.fault = ChainFault::SizeMismatch;
  }
  return check;
}
