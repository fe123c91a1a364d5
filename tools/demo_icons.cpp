#include "demo_icons.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace {

// Picture characters in palette order; '.' is each icon's own background (entry 0).
constexpr std::string_view kPaletteChars = ".kwroygGbcnpsSvl";

constexpr uint16_t kSharedColours[] = {
    CardColour(0, 0, 0),     // k black
    CardColour(31, 31, 31),  // w white
    CardColour(31, 4, 4),    // r red
    CardColour(31, 18, 2),   // o orange
    CardColour(31, 29, 4),   // y yellow
    CardColour(8, 26, 8),    // g green
    CardColour(3, 14, 4),    // G dark green
    CardColour(4, 10, 28),   // b blue
    CardColour(10, 28, 31),  // c cyan
    CardColour(18, 10, 4),   // n brown
    CardColour(31, 18, 24),  // p pink
    CardColour(22, 22, 22),  // s grey
    CardColour(10, 10, 10),  // S dark grey
    CardColour(18, 8, 26),   // v violet
    CardColour(18, 26, 31),  // l light blue
};
static_assert(std::size(kSharedColours) + 1 == kPaletteChars.size());

constexpr uint16_t kSky = CardColour(16, 24, 31);
constexpr uint16_t kNight = CardColour(2, 3, 9);
constexpr uint16_t kWater = CardColour(3, 12, 24);

}  // namespace

uint8_t PaletteIndex(char pixel) {
  auto index = kPaletteChars.find(pixel);
  if (index == std::string_view::npos) {
    throw std::invalid_argument(std::string("caractere de ícone desconhecido: ") + pixel);
  }
  return static_cast<uint8_t>(index);
}

std::array<uint16_t, 16> IconPalette(const DemoIcon& icon) {
  std::array<uint16_t, 16> palette{};
  palette[0] = icon.background;
  for (std::size_t i = 0; i < std::size(kSharedColours); ++i) palette[i + 1] = kSharedColours[i];
  return palette;
}

const DemoIcon& HouseIcon() {
  static const DemoIcon icon{kSky,
                             {{
                                 "................",
                                 ".......rr.......",
                                 "......rrrr..ss..",
                                 ".....rrrrrr.ss..",
                                 "....rrrrrrrrss..",
                                 "...rrrrrrrrrr...",
                                 "..rrrrrrrrrrrr..",
                                 "...wwwwwwwwww...",
                                 "...wccwwwwccw...",
                                 "...wccwwwwccw...",
                                 "...wwwwnnwwww...",
                                 "...wwwwnnwwww...",
                                 "...wwwwnnwwww...",
                                 "gggggggnnggggggg",
                                 "gggggggggggggggg",
                                 "GGGGGGGGGGGGGGGG",
                             }}};
  return icon;
}

const DemoIcon& TreeIcon() {
  static const DemoIcon icon{kSky,
                             {{
                                 "................",
                                 "......GGGG......",
                                 "....GGggggGG....",
                                 "...GggggggggG...",
                                 "..GggrggggggggG.",
                                 "..GgggggggrgggG.",
                                 "..GggggggggggggG",
                                 "...GgrgggggggG..",
                                 "....GGggggggG...",
                                 "......GnnG......",
                                 ".......nn.......",
                                 ".......nn.......",
                                 ".......nn.......",
                                 "......nnnn......",
                                 "gggggggggggggggg",
                                 "GGGGGGGGGGGGGGGG",
                             }}};
  return icon;
}

const DemoIcon& FlagIcon() {
  static const DemoIcon icon{CardColour(6, 10, 20),
                             {{
                                  "................",
                                  ".s..............",
                                  ".skkwwkkwwkk....",
                                  ".skkwwkkwwkk....",
                                  ".swwkkwwkkww....",
                                  ".swwkkwwkkww....",
                                  ".skkwwkkwwkk....",
                                  ".skkwwkkwwkk....",
                                  ".swwkkwwkkww....",
                                  ".swwkkwwkkww....",
                                  ".s..............",
                                  ".s..............",
                                  ".s..............",
                                  ".s..............",
                                  ".s..............",
                                  "sss.............",
                              },
                              {
                                  "................",
                                  ".s..............",
                                  ".skkww....kk....",
                                  ".skkwwkkwwkk....",
                                  ".swwkkkkwwww....",
                                  ".swwkkwwkkww....",
                                  ".skkwwwwkkkk....",
                                  ".skkwwkkwwkk....",
                                  ".swwkkkkwwww....",
                                  ".swwkkwwkkww....",
                                  ".s....wwkk......",
                                  ".s..............",
                                  ".s..............",
                                  ".s..............",
                                  ".s..............",
                                  "sss.............",
                              }}};
  return icon;
}

const DemoIcon& HeartIcon() {
  static const DemoIcon icon{CardColour(10, 4, 14),
                             {{
                                  "................",
                                  "................",
                                  "...rrr....rrr...",
                                  "..rrrrr..rrrrr..",
                                  ".rrwwrrrrrrrrrr.",
                                  ".rrwrrrrrrrrrrr.",
                                  ".rrrrrrrrrrrrrr.",
                                  ".rrrrrrrrrrrrrr.",
                                  "..rrrrrrrrrrrr..",
                                  "...rrrrrrrrrr...",
                                  "....rrrrrrrr....",
                                  ".....rrrrrr.....",
                                  "......rrrr......",
                                  ".......rr.......",
                                  "................",
                                  "................",
                              },
                              {
                                  "................",
                                  "................",
                                  "................",
                                  "................",
                                  "....rr....rr....",
                                  "...rrrr..rrrr...",
                                  "...rwrrrrrrrr...",
                                  "...rrrrrrrrrr...",
                                  "....rrrrrrrr....",
                                  ".....rrrrrr.....",
                                  "......rrrr......",
                                  ".......rr.......",
                                  "................",
                                  "................",
                                  "................",
                                  "................",
                              }}};
  return icon;
}

const DemoIcon& FishIcon() {
  static const DemoIcon icon{kWater,
                             {{
                                  "................",
                                  "............c...",
                                  "..........c.....",
                                  "................",
                                  "................",
                                  ".....oooooo.....",
                                  "...oooooooooo..o",
                                  "..oowkoooooooooo",
                                  "..oooooooooooooo",
                                  "...oooooooooo..o",
                                  ".....oooooo.....",
                                  "................",
                                  "gg............gg",
                                  "Ggg..........ggG",
                                  "GGGgg......ggGGG",
                                  "GGGGGGGGGGGGGGGG",
                              },
                              {
                                  "..........c.....",
                                  "................",
                                  "............c...",
                                  "................",
                                  "...............o",
                                  ".....oooooo...oo",
                                  "...oooooooooo.oo",
                                  "..oowkoooooooooo",
                                  "..ooooooooooooo.",
                                  "...oooooooooo...",
                                  ".....oooooo.....",
                                  "................",
                                  "gg............gg",
                                  "Ggg..........ggG",
                                  "GGGgg......ggGGG",
                                  "GGGGGGGGGGGGGGGG",
                              }}};
  return icon;
}

const DemoIcon& RocketIcon() {
  static const DemoIcon icon{kNight,
                             {{
                                  ".w.....rr.......",
                                  "......rwwr....w.",
                                  "......wwww......",
                                  "......wccw......",
                                  "......wccw......",
                                  "......wwww...w..",
                                  ".w....wwww......",
                                  ".....rwwwwr.....",
                                  "....rrwwwwrr....",
                                  "....rr.ss.rr....",
                                  "......yooy......",
                                  ".......yy.......",
                                  ".......yy.......",
                                  "................",
                                  "...w............",
                                  "..........w.....",
                              },
                              {
                                  ".......rr.......",
                                  "......rwwr....w.",
                                  "......wwww......",
                                  "......wccw......",
                                  "......wccw......",
                                  "......wwww......",
                                  ".w....wwww......",
                                  ".....rwwwwr.....",
                                  "....rrwwwwrr....",
                                  "....rr.ss.rr....",
                                  "......oyyo......",
                                  "......yooy......",
                                  ".......oo.......",
                                  ".......yy.......",
                                  "...w............",
                                  "................",
                              },
                              {
                                  ".w.....rr.......",
                                  "......rwwr......",
                                  "......wwww......",
                                  "......wccw......",
                                  "......wccw......",
                                  "......wwww...w..",
                                  "......wwww......",
                                  ".....rwwwwr.....",
                                  "....rrwwwwrr....",
                                  "....rr.ss.rr....",
                                  "......yyyy......",
                                  ".......oo.......",
                                  "......y..y......",
                                  "................",
                                  "................",
                                  "..........w.....",
                              }}};
  return icon;
}

const DemoIcon& BirdIcon() {
  static const DemoIcon icon{kSky,
                             {{
                                  "................",
                                  "................",
                                  ".....bb.........",
                                  "......bbb.......",
                                  "......bbbb......",
                                  ".......bbbb.....",
                                  "..........bbb...",
                                  "bb.....bbbbbkby.",
                                  ".bbbbbbbbbbbbb..",
                                  "...bbbbbbbbbb...",
                                  ".....bbbbbb.....",
                                  "................",
                                  "................",
                                  "................",
                                  "..www......ww...",
                                  ".wwwww....wwww..",
                              },
                              {
                                  "................",
                                  "................",
                                  "................",
                                  "................",
                                  "................",
                                  "...bbbbbb.......",
                                  "..........bbb...",
                                  "bb.....bbbbbkby.",
                                  ".bbbbbbbbbbbbb..",
                                  "...bbbbbbbbbb...",
                                  ".....bbbbbb.....",
                                  "................",
                                  "................",
                                  "................",
                                  "..www......ww...",
                                  ".wwwww....wwww..",
                              },
                              {
                                  "................",
                                  "................",
                                  "................",
                                  "................",
                                  "................",
                                  "................",
                                  "..........bbb...",
                                  "bb.....bbbbbkby.",
                                  ".bbbbbbbbbbbbb..",
                                  "...bbbbbbbbbb...",
                                  ".....bbbbbb.....",
                                  "......bbbb......",
                                  "......bbb.......",
                                  ".....bb.........",
                                  "..www......ww...",
                                  ".wwwww....wwww..",
                              }}};
  return icon;
}

const DemoIcon& SunIcon() {
  static const DemoIcon icon{kSky,
                             {{
                                  ".......yy.......",
                                  ".......yy.......",
                                  "................",
                                  "................",
                                  "................",
                                  ".....oyyyyo.....",
                                  "....oyyyyyyo....",
                                  "yy..yyyyyyyy..yy",
                                  "yy..yyyyyyyy..yy",
                                  "....oyyyyyyo....",
                                  ".....oyyyyo.....",
                                  "................",
                                  "................",
                                  "................",
                                  ".......yy.......",
                                  ".......yy.......",
                              },
                              {
                                  "................",
                                  ".y............y.",
                                  "..y..........y..",
                                  "...o........o...",
                                  "................",
                                  ".....oyyyyo.....",
                                  "....oyyyyyyo....",
                                  "....yyyyyyyy....",
                                  "....yyyyyyyy....",
                                  "....oyyyyyyo....",
                                  ".....oyyyyo.....",
                                  "................",
                                  "...o........o...",
                                  "..y..........y..",
                                  ".y............y.",
                                  "................",
                              },
                              {
                                  "................",
                                  "................",
                                  ".......yy.......",
                                  ".......oo.......",
                                  "................",
                                  ".....oyyyyo.....",
                                  "....oyyyyyyo....",
                                  ".yo.yyyyyyyy.oy.",
                                  ".yo.yyyyyyyy.oy.",
                                  "....oyyyyyyo....",
                                  ".....oyyyyo.....",
                                  "................",
                                  ".......oo.......",
                                  ".......yy.......",
                                  "................",
                                  "................",
                              }}};
  return icon;
}
