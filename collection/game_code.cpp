#include "game_code.h"

#include <algorithm>
#include <string_view>

namespace {

// Where a PocketStation file's code has 'P' instead of the '-' of the game's.
constexpr std::size_t kPocketStationMark = 4;

// The code becomes a folder and a file name on every system the cards are carried to.
bool IsCodeCharacter(char c) {
  return c > 0x20 && c < 0x7F && std::string_view("\\/:*?\"<>|").find(c) == std::string_view::npos;
}

}  // namespace

std::string GameCodeOf(std::span<const uint8_t, FrameSize> first_frame) {
  auto field =
      first_frame.subspan(DirectoryFrame::ProductCodeOffset, DirectoryFrame::ProductCodeLength);
  std::string code(field.begin(), field.end());
  // Shorter codes are padded with NULs (some tools pad with spaces).
  code.erase(code.find_last_not_of(std::string_view("\0 ", 2)) + 1);
  if (code.empty() || !std::ranges::all_of(code, IsCodeCharacter) ||
      code.find_first_not_of('.') == std::string::npos) {
    return NoGameCode;
  }
  if (code.size() > kPocketStationMark && code[kPocketStationMark] == 'P') {
    code[kPocketStationMark] = '-';
  }
  return code;
}
