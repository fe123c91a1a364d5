#pragma once

#include <cstdint>
#include <span>

#include "card/card_image.h"

// The card's frame read and write commands, each one complete transaction over the link.
// False means the frame number was outside 0..1023 (nothing sent) or a reply did not match.

bool ReadFrame(uint16_t port_base, int delay, int frame, std::span<uint8_t, FrameSize> buffer);
bool WriteFrame(uint16_t port_base, int delay, int frame,
                std::span<const uint8_t, FrameSize> data);
