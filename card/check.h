#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "card_image.h"

// What is wrong with a card, as values, and the mending that needs no guess. The command line's
// report, the window's list and the repair all read the same findings.

enum class FindingKind {
  HeaderMagic,         // frame 0 does not start with "MC": not a card
  HeaderFiller,        // frame 0 has non-zero bytes between "MC" and its check byte
  HeaderCheckByte,     // frame 0's check byte is not the XOR of its bytes
  DirectoryCheckByte,  // a directory frame's check byte is not the XOR of its bytes
  UnknownState,        // a state no chain reaches that is no known code
  SpecialState,        // "MC" filler or reserved: known to the block list, not a save (notice)
  SizeField,           // a first block's size is 0, not whole blocks or beyond the card
  SizeMismatch,        // a whole chain whose length is not what the size says
  ChainLost,           // a block of the save lies beyond the end of a cut file
  ChainStray,          // the chain runs into a block that is not one of its kind
  ChainClaimed,        // the chain runs into a block of another save's chain
  ChainBadLink,        // a link outside 0..14 and not NoLink
  ChainLoop,           // the chain comes back to a block it passed
  OrphanBlock,         // a middle or last block that no first block reaches
  TitleMagic,          // the title frame does not start with "SC"
  IconFlag,            // icon type outside 0x11..0x13
  TitleUndecodable,    // the title is not valid Shift-JIS
  BrokenFrameInUse,    // an entry of the broken-frame list in use (notice)
};

struct Finding {
  FindingKind kind;
  bool damage = true;     // false: a notice, which the card may well carry by design
  int frame = -1;         // frame of block 0 it is in, or -1
  int block = 0;          // save block it is about (1..15), or 0
  int save = 0;           // first block of the save it concerns, or 0
  uint32_t found = 0;     // the value found: a check byte, a state, a size, a link, a block
  uint32_t expected = 0;  // what it should be, where that is known
  int kept = 0;           // chain faults: how many blocks of the chain are sound

  bool operator==(const Finding&) const = default;
};

// Every finding of the card. card_bytes: how much of the card its file held.
std::vector<Finding> CheckCard(const CardImage& image, std::size_t card_bytes = CardSize);

bool HasDamage(std::span<const Finding> findings);

// The damage found in the chain or size of the save whose first block is save.
std::optional<Finding> ChainDamageOf(std::span<const Finding> findings, int save);

// One line in Portuguese (UTF-8), naming the block or frame.
std::string DescribeFinding(const Finding& finding);
// What the repair did about the finding.
std::string DescribeMend(const Finding& finding);
// A short stable name of the kind, for JSON.
std::string FindingCode(FindingKind kind);

// Mends what is certain: check bytes of frames 0..15, chains cut at their first fault with the
// size set from the blocks kept, sizes from whole chains, states no chain reaches made free.
// Never touches frames 16..63 or save data. Returns what it mended, in order; a second run
// returns nothing.
std::vector<Finding> RepairCard(CardImage& image, std::size_t card_bytes = CardSize);

// The header-frame finding of a card whose only fault in frames 0..15 is its header's check
// byte: "MC", zeros, a wrong check byte and sound directory frames.
std::optional<Finding> RepairableHeaderFault(const CardImage& image);
