#pragma once

#include <span>
#include <string>

#include "card/card_image.h"

// The game a save belongs to, as per-game card folders name it: the 10-character product code
// of its directory name, region dropped.

// Cards of saves whose product code is no code at all.
inline constexpr const char* NoGameCode = "sem-codigo";

// The product code with a PocketStation 'P' in the fifth place turned into '-' (SLUSP00982 is
// the PocketStation form of SLUS-00982). NoGameCode when the code is empty, or holds control
// bytes or characters no file name may hold.
std::string GameCodeOf(std::span<const uint8_t, FrameSize> first_frame);
