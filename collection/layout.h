#pragma once

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Where per-game cards go, as each device or emulator expects to find them. A game whose saves
// need more than one card gets the next channel (or slot).

enum class CardLayout {
  MemcardPro,   // DEST/<code>/<code>-<N>.mcd
  Sd2psx,       // DEST/PS1/<code>/<code>-<N>.mcd (DEST being the device's MemoryCards folder)
  DuckStation,  // DEST/<code>_<N>.mcd
  Folder,       // DEST/<code>.mc, then DEST/<code>-<N>.mc
};

struct CardLayoutInfo {
  CardLayout layout;
  std::string_view name;     // as the command line names it
  std::string_view pattern;  // where channel N of a game goes, in words
  int channels;              // how many cards one game may have
};

std::span<const CardLayoutInfo> CardLayouts();
const CardLayoutInfo& InfoOf(CardLayout layout);
std::optional<CardLayout> CardLayoutNamed(std::string_view name);

// The card file of channel (1..channels) for game under destination.
std::filesystem::path PerGameCardPath(CardLayout layout, const std::filesystem::path& destination,
                                      const std::string& game, int channel);
