#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "card_image.h"

// The one walk along a save's chain and the one check of it. Every operation that follows a
// chain (removal, restoration, export, copying a save, the card check and its repair) goes
// through here, so they all agree on what a broken save is.

// The block a link designates, or 0 when it designates none (NoLink included).
int LinkedBlock(uint16_t link);

enum class ChainEnd {
  Closed,            // a block with NoLink
  LinkNamesNoBlock,  // a link outside 0..14
  ComesBack,         // a link to a block already passed
};

struct ChainWalk {
  std::vector<int> blocks;  // from the first block, in chain order, each once
  ChainEnd end = ChainEnd::Closed;
  uint16_t last_link = NoLink;  // the link of the last block passed
};

// The content of blocks (each 1..15), one after another: a save's bytes in chain order.
std::vector<uint8_t> BytesOfBlocks(const CardImage& image, std::span<const int> blocks);

// Follows links from first (1..15) until NoLink, a link that names no block or a block already
// passed: at most 15 steps, never a message.
ChainWalk WalkSaveChain(const CardImage& image, int first);

enum class ChainFault {
  None,
  Lost,              // a block of the save lies beyond the end of the file it came from
  Stray,             // a following block is not a middle or last block of the save's kind
  Claimed,           // a following block belongs to another save's chain
  LinkNamesNoBlock,  // see ChainEnd
  ComesBack,
  SizeMismatch,  // the chain is whole but its length is not what the size field says
};

using BlockSet = std::bitset<LastSaveBlock + 1>;

struct ChainCheck {
  ChainWalk walk;
  ChainFault fault = ChainFault::None;
  // How many of walk.blocks belong to the save: those before the fault.
  std::size_t readable = 0;
  int fault_block = 0;       // the lost, stray or claimed block, or the one a loop comes back to
  uint32_t size_blocks = 0;  // the size field in whole blocks

  bool sound() const { return fault == ChainFault::None; }
};

// The check of the chain that starts at first. claimed holds blocks other saves' chains own;
// card_bytes is how much of the card the file held (a cut DexDrive file holds less).
ChainCheck CheckChain(const CardImage& image, int first, const BlockSet& claimed = {},
                      std::size_t card_bytes = CardSize);

// True when block's content lies wholly within the first card_bytes bytes.
bool BlockIsPresent(int block, std::size_t card_bytes);
