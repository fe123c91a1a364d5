#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "card/card_image.h"

// Synthetic card images for tests, fuzz seeds and benchmarks.
namespace test_support {

struct SaveSpec {
  std::vector<int> blocks{};     // chain order; they need not be adjacent or ascending
  std::vector<uint8_t> title{};  // raw title bytes, at most 64
  int icon_frames = 1;           // icon type 0x10 + this
  uint8_t region = 'A';
  std::string product_code = "SLUS-01234";
  std::string game_id = "SAVEGAME";
  bool removed = false;
  uint8_t seed = 1;  // makes the block contents and icon of each save different
};

// A freshly formatted card.
CardImage BlankCard();

// Writes the save's directory frames (with correct XOR bytes) and block contents.
void PlaceSave(CardImage& image, const SaveSpec& save);

std::vector<uint8_t> SingleByteTitle(const std::string& text);
// The same text in full-width Shift-JIS codes (digits, letters and space only).
std::vector<uint8_t> ShiftJisTitle(const std::string& text);

// Raw directory edits for building broken cards; fix_xor keeps the frame consistent.
void SetState(CardImage& image, int block, uint32_t state, bool fix_xor = true);
void SetLink(CardImage& image, int block, uint16_t link, bool fix_xor = true);
void SetSize(CardImage& image, int block, uint32_t size, bool fix_xor = true);

// Fifteen one-block saves titled "SAVE 1" to "SAVE 15", each with three icon frames: every line
// a title, every icon shown.
CardImage FullCardOfOneBlockSaves();

// A reproducible card from seed: saves of 1..15 blocks on scattered chains, some removed, both
// kinds of titles, 1..3 icon frames. With damage it also carries broken chains, loops, links
// that name no block, bad XOR bytes and unknown states.
CardImage RandomCard(uint32_t seed, bool damage = false);

// The first blocks of every save, in use or removed, of a card.
std::vector<int> FirstBlocks(const CardImage& image);

bool AllDirectoryXorsValid(const CardImage& image);

}  // namespace test_support
