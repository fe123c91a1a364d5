#include "readers/pocketstation_protocol.h"

#include <algorithm>

#include "card/little_endian.h"

namespace PocketStation {
namespace {

constexpr uint8_t Floating = 0xFF;  // the data line with nothing driving it

int FromBcd(uint8_t byte) {
  return (byte >> 4) * 10 + (byte & 0x0F);
}

uint8_t ToBcd(int value) {
  return static_cast<uint8_t>((value / 10 % 10) << 4 | value % 10);
}

}  // namespace

std::optional<Info> ParseInfoReply(std::span<const uint8_t> reply) {
  if (reply.size() != InfoReplySize || reply[0] != InfoLength) return std::nullopt;
  const auto clock = reply.subspan(InfoClockOffset, ClockFields);
  Info info;
  info.serial = ReadLe32(reply, SerialOffset);
  info.clock = {FromBcd(clock[3]) * 100 + FromBcd(clock[2]),
                FromBcd(clock[1]),
                FromBcd(clock[0]),
                FromBcd(clock[6]),
                FromBcd(clock[5]),
                FromBcd(clock[4]),
                FromBcd(clock[7])};
  return info;
}

ReplyCheck CheckBiosReply(std::span<const uint8_t> reply, std::span<uint8_t, FrameSize> part) {
  if (reply.size() == BiosReplySize &&
      std::all_of(reply.begin(), reply.end(), [](uint8_t byte) { return byte == Floating; })) {
    return ReplyCheck::NoCard;
  }
  if (reply.size() != BiosReplySize || reply[0] != BiosParameterLength ||
      reply[1] != BiosDataLength || reply.back() != Done) {
    return ReplyCheck::Bad;
  }
  std::copy_n(reply.begin() + 2, FrameSize, part.begin());
  return ReplyCheck::Good;
}

std::array<uint8_t, ClockFields> ClockBytes(const Clock& clock) {
  return {ToBcd(clock.day),        ToBcd(clock.month),  ToBcd(clock.year % 100),
          ToBcd(clock.year / 100), ToBcd(clock.second), ToBcd(clock.minute),
          ToBcd(clock.hour),       ToBcd(clock.weekday)};
}

}  // namespace PocketStation
