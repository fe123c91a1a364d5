#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "card/card_image.h"
#include "readers/reader_reply.h"

// The command set of the Arduino reader and of the console-side reader that copies it: one
// command byte, its arguments, and a reply of fixed length. Frame checksums are the card's own,
// address MSB XOR address LSB XOR the 128 data bytes.
namespace Memcarduino {

inline constexpr uint8_t GetId = 0xA0;
inline constexpr uint8_t GetVersion = 0xA1;
inline constexpr uint8_t ReadFrame = 0xA2;   // + MSB, LSB
inline constexpr uint8_t WriteFrame = 0xA3;  // + MSB, LSB, 128 data bytes, checksum
inline constexpr uint8_t SelectSlot = 0xA4;  // console-side reader only, + slot 0 or 1

// The card's end byte, passed through as the status of a read or write.
inline constexpr uint8_t StatusGood = 0x47;
inline constexpr uint8_t StatusBadChecksum = 0x4E;
inline constexpr uint8_t StatusNoCard = 0xFF;  // the pulled-up data line: no card (or bad frame)

inline constexpr std::string_view ArduinoId = "MCDINO";
inline constexpr std::string_view ConsoleId = "PS1CLNK";
// The console-side reader takes SelectSlot from this version on.
inline constexpr uint8_t FirstVersionWithSlots = 0x11;

inline constexpr std::size_t ReadReplySize = FrameSize + 2;  // data, checksum, status
inline constexpr std::size_t WriteReplySize = 1;             // status
inline constexpr std::size_t VersionReplySize = 1;

std::vector<uint8_t> ReadCommand(int frame);
std::vector<uint8_t> WriteCommand(int frame, std::span<const uint8_t, FrameSize> data);

// A good reply fills data; any other leaves it alone.
ReplyCheck CheckReadReply(int frame, std::span<const uint8_t> reply,
                          std::span<uint8_t, FrameSize> data);
ReplyCheck CheckWriteReply(std::span<const uint8_t> reply);
bool IsIdReply(std::span<const uint8_t> reply, std::string_view id);

}  // namespace Memcarduino
