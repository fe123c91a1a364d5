#include "save_chain.h"

#include <bitset>

#include "little_endian.h"

int LinkedBlock(uint16_t link) {
  int block = static_cast<int>(link) + 1;
  return IsSaveBlock(block) ? block : 0;
}

std::optional<std::vector<int>> FollowSaveChain(const CardImage& image, int first) {
  std::vector<int> chain;
  std::bitset<LastSaveBlock + 1> passed;
  int block = first;
  while (true) {
    if (passed[static_cast<std::size_t>(block)]) return std::nullopt;
    passed.set(static_cast<std::size_t>(block));
    chain.push_back(block);
    uint16_t link = ReadLe16(DirectoryFrameOf(image, block), DirectoryFrame::LinkOffset);
    if (link == NoLink) return chain;
    block = LinkedBlock(link);
    if (block == 0) return std::nullopt;
  }
}
