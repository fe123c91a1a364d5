#pragma once

#include <array>
#include <cstdint>
#include <vector>

// Little pictures for the sample card's saves, drawn as text: one character per pixel, each
// character naming an entry of the shared palette (see demo_icons.cpp).

inline constexpr int IconSide = 16;
using IconPicture = std::array<const char*, IconSide>;

struct DemoIcon {
  uint16_t background;              // 15-bit colour of palette entry 0
  std::vector<IconPicture> frames;  // 1 to 3 animation frames
};

// 15-bit card colour from 5-bit components.
constexpr uint16_t CardColour(unsigned red, unsigned green, unsigned blue) {
  return static_cast<uint16_t>(red | green << 5 | blue << 10);
}

// The 16 colour-table entries of an icon: its background, then the shared colours.
std::array<uint16_t, 16> IconPalette(const DemoIcon& icon);

// The palette index of one picture character; throws on a character outside the palette.
uint8_t PaletteIndex(char pixel);

const DemoIcon& HouseIcon();   // 1 frame
const DemoIcon& TreeIcon();    // 1 frame
const DemoIcon& FlagIcon();    // 2 frames: waving
const DemoIcon& HeartIcon();   // 2 frames: beating
const DemoIcon& FishIcon();    // 2 frames: tail
const DemoIcon& RocketIcon();  // 3 frames: flame
const DemoIcon& BirdIcon();    // 3 frames: wings
const DemoIcon& SunIcon();     // 3 frames: rays
