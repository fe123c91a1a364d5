#pragma once

#include <cstdint>
#include <span>

#include "card/card_image.h"

// The card's frame read and write commands, each one complete transaction over the link.
// False means the frame number was outside 0..1023 (nothing sent) or a reply did not match.

bool ReadFrame(uint16_t port_base, int delay, int frame, std::span<uint8_t, FrameSize> buffer);
bool WriteFrame(uint16_t port_base, int delay, int frame, std::span<const uint8_t, FrameSize> data);

// Bytes of the card's command protocol, shared with the emulated card.
namespace CardProtocol {
inline constexpr uint8_t MemoryCardAccess = 0x81;  // first byte of every command
inline constexpr uint8_t ReadCommand = 0x52;       // 'R'
inline constexpr uint8_t WriteCommand = 0x57;      // 'W'
inline constexpr uint8_t CardId1 = 0x5A;
inline constexpr uint8_t CardId2 = 0x5D;
inline constexpr uint8_t CommandAck1 = 0x5C;
inline constexpr uint8_t CommandAck2 = 0x5D;
inline constexpr uint8_t EndGood = 0x47;         // 'G'
inline constexpr uint8_t EndBadChecksum = 0x4E;  // 'N'
inline constexpr uint8_t EndBadSector = 0xFF;
inline constexpr uint8_t Filler = 0x00;  // sent when only the reply matters
inline constexpr int LastFrame = static_cast<int>(FrameCount) - 1;
}  // namespace CardProtocol

inline constexpr uint8_t AddressMsb(int frame) {
  return static_cast<uint8_t>((frame >> 8) & 0xFF);
}
inline constexpr uint8_t AddressLsb(int frame) {
  return static_cast<uint8_t>(frame & 0xFF);
}

// Address MSB XOR address LSB XOR the 128 data bytes.
uint8_t FrameChecksum(int frame, std::span<const uint8_t, FrameSize> data);
