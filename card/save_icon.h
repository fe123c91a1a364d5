#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "card_image.h"

// A save's colour icon as palette indices, for pictures: read from its title frame, or a new one
// written into it.

inline constexpr int SaveIconSide = 16;
inline constexpr int SaveIconColours = 16;
inline constexpr int MaxSaveIconFrames = 3;
// The colour word the console draws as a hole in the icon.
inline constexpr uint16_t TransparentColour = 0x0000;
// Black with the semi-transparency bit: solid black, never a hole.
inline constexpr uint16_t SolidBlack = 0x8000;

using SaveIconFrame = std::array<uint8_t, SaveIconSide * SaveIconSide>;  // row by row

struct SaveIcon {
  std::array<uint16_t, SaveIconColours> palette{};
  std::vector<SaveIconFrame> frames;
};

// The frames the icon flag (0x11..0x13) names; a save with another flag gets icon frame 1 alone.
// block must be a save block (1..15).
SaveIcon ReadSaveIcon(const CardImage& image, int block);

// How many icon frames the save that starts at block keeps room for: 0 when its flag names none.
int ReservedIconFrames(const CardImage& image, int block);

// Writes the palette, the frames and the flag that counts them into the title frame of the save
// that starts at block, and nothing else; callers have checked that a save starts there. Refuses,
// with a message, more frames than the save keeps room for: the game's own data follows them.
bool WriteSaveIcon(CardImage& image, int block, const SaveIcon& icon);
