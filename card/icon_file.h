#pragma once

#include <array>
#include <cstdint>

#include "card_image.h"

// One icon frame of a save as a complete 16 x 16, 16-colour Windows icon file.

inline constexpr std::size_t IconFileSize = 318;
using IconFileImage = std::array<uint8_t, IconFileSize>;

// Icon directory, one directory entry and the bitmap info header: the same for every icon.
extern const std::array<uint8_t, 62> IconFileTemplate;

struct IconRgb {
  uint8_t red;
  uint8_t green;
  uint8_t blue;
};
// A 15-bit card colour (red in bits 0..4) widened to 8 bits per component.
IconRgb IconColour(uint16_t colour);

// Fills buffer with frame (1..3) of the icon of block; leaves it untouched and shows the
// invalid-block message when block is outside 1..15.
void BuildIconFile(const CardImage& image, int block, int frame, IconFileImage& buffer);
