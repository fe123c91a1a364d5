#include "layout.h"

#include <array>

#include "card/file_io.h"

namespace {

// The devices switch among 8 channels per game; the emulator has two card slots, and a card in
// a third would never be seen.
constexpr int kDeviceChannels = 8;
constexpr int kEmulatorSlots = 2;

constexpr std::array kLayouts = {
    CardLayoutInfo{CardLayout::Folder, "pasta", "PASTA/<código>.mc, PASTA/<código>-<N>.mc",
                   kDeviceChannels},
    CardLayoutInfo{CardLayout::MemcardPro, "memcardpro", "PASTA/<código>/<código>-<N>.mcd",
                   kDeviceChannels},
    CardLayoutInfo{CardLayout::Sd2psx, "sd2psx",
                   "PASTA/PS1/<código>/<código>-<N>.mcd (PASTA: a MemoryCards do cartão SD)",
                   kDeviceChannels},
    CardLayoutInfo{CardLayout::DuckStation, "duckstation", "PASTA/<código>_<N>.mcd",
                   kEmulatorSlots},
};

}  // namespace

std::span<const CardLayoutInfo> CardLayouts() {
  return kLayouts;
}

const CardLayoutInfo& InfoOf(CardLayout layout) {
  for (const auto& info : kLayouts) {
    if (info.layout == layout) return info;
  }
  return kLayouts.front();
}

std::optional<CardLayout> CardLayoutNamed(std::string_view name) {
  for (const auto& info : kLayouts) {
    if (info.name == name) return info.layout;
  }
  return std::nullopt;
}

std::filesystem::path PerGameCardPath(CardLayout layout, const std::filesystem::path& destination,
                                      const std::string& game, int channel) {
  const std::string numbered = game + "-" + std::to_string(channel) + ".mcd";
  switch (layout) {
    case CardLayout::MemcardPro:
      return destination / PathFromText(game) / PathFromText(numbered);
    case CardLayout::Sd2psx:
      return destination / "PS1" / PathFromText(game) / PathFromText(numbered);
    case CardLayout::DuckStation:
      return destination / PathFromText(game + "_" + std::to_string(channel) + ".mcd");
    case CardLayout::Folder:
      break;
  }
  return destination /
         PathFromText(channel == 1 ? game + ".mc" : game + "-" + std::to_string(channel) + ".mc");
}
