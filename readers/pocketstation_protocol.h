#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "card/card_image.h"
#include "readers/reader_reply.h"

// The PocketStation commands of the Arduino reader's firmware (0x08 and later): the card's
// serial number and clock, its BIOS in 128-byte parts, and setting its clock. The reader passes
// the card's own bytes through, length bytes included.
namespace PocketStation {

inline constexpr uint8_t InfoCommand = 0xB0;
inline constexpr uint8_t BiosCommand = 0xB1;   // + part
inline constexpr uint8_t ClockCommand = 0xB2;  // then, once the card is ready, 8 BCD bytes
inline constexpr uint8_t FirstFirmware = 0x08;

// The info reply: its length byte, then directory index (2), four flag bytes, the serial
// number (u32 LSB first), and the clock.
inline constexpr uint8_t InfoLength = 0x12;
inline constexpr std::size_t InfoReplySize = 1 + InfoLength;
inline constexpr std::size_t SerialOffset = 7;
inline constexpr std::size_t InfoClockOffset = 11;

inline constexpr int BiosParts = 128;
inline constexpr std::size_t BiosSize = BiosParts * FrameSize;  // 16 KiB
// Parameter length 5 (address and length), data length 128, the data, then 'G'.
inline constexpr uint8_t BiosParameterLength = 0x05;
inline constexpr uint8_t BiosDataLength = 0x80;
inline constexpr std::size_t BiosReplySize = 2 + FrameSize + 1;

// The card asks for no parameters and 8 data bytes before it takes the time.
inline constexpr std::array<uint8_t, 2> ClockReady = {0x00, 0x08};
inline constexpr std::size_t ClockFields = 8;
inline constexpr uint8_t Done = 0x47;  // 'G'

struct Clock {
  int year = 0;  // four digits
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int weekday = 0;  // 1 Sunday .. 7 Saturday
};

struct Info {
  uint32_t serial = 0;
  Clock clock;
};

// Monday 1 .. Sunday 7 (ISO, as Qt counts) to the card's Sunday 1 .. Saturday 7.
inline constexpr int CardWeekday(int iso_weekday) {
  return iso_weekday % 7 + 1;
}

// Nothing when the reply is not a PocketStation's (a plain card or none answers 0xFF).
std::optional<Info> ParseInfoReply(std::span<const uint8_t> reply);
// Good fills part with the 128 bytes. NoCard: the reply is all 0xFF, no PocketStation answered.
ReplyCheck CheckBiosReply(std::span<const uint8_t> reply, std::span<uint8_t, FrameSize> part);
// Day, month, year, century, second, minute, hour, weekday, in BCD.
std::array<uint8_t, ClockFields> ClockBytes(const Clock& clock);

}  // namespace PocketStation
