#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "card/card_image.h"
#include "demo_icons.h"

// One save of the sample card, described the way a game would have written it.
struct DemoSave {
  std::string title;  // plain ASCII; stored as full-width Shift-JIS when full_width
  bool full_width = false;
  uint8_t region = 0;        // a RegionCode byte, or 0 for none
  std::string product_code;  // 10 characters
  std::string game_id;       // 8 characters
  std::vector<int> blocks;   // the chain, first block first; need not be ascending
  const DemoIcon* icon = nullptr;
};

// The title bytes as a game stores a full-width title: one two-byte Shift-JIS code per
// character, found through the card's own full-width table. Throws for a character it lacks.
std::vector<uint8_t> EncodeFullWidthTitle(const std::string& ascii);

// Writes the save's directory frames (with their XOR bytes) and its blocks into the image.
// The save data after the icon frames is a pattern seeded by seed, so that moving a save moves
// recognisable bytes.
void PlaceSave(CardImage& image, const DemoSave& save, uint32_t seed);
