// Every serial reader's reply checks on arbitrary bytes. Input: frame number (2 bytes), reply.
// A reply taken as good must have filled the frame with its own data bytes.
#include <algorithm>

#include "fuzz_support.h"
#include "readers/dexdrive_protocol.h"
#include "readers/memcarduino_protocol.h"

namespace {

constexpr std::size_t HeaderBytes = 2;
constexpr uint8_t Untouched = 0xEE;

template <typename Check>
void CheckRead(std::span<const uint8_t> reply, std::size_t data_offset, Check check) {
  Frame frame;
  frame.fill(Untouched);
  if (check(reply, frame) == ReplyCheck::Good) {
    fuzz::Require(reply.size() >= data_offset + FrameSize, "good reply long enough");
    fuzz::Require(std::equal(frame.begin(), frame.end(), reply.begin() + data_offset),
                  "good reply's data copied");
  } else {
    fuzz::Require(std::ranges::all_of(frame, [](uint8_t b) { return b == Untouched; }),
                  "frame untouched by a refused reply");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < HeaderBytes) return 0;
  const int frame = ((data[0] << 8) | data[1]) & 0x3FF;
  const std::span<const uint8_t> reply(data + HeaderBytes, size - HeaderBytes);

  CheckRead(reply, 0,
            [&](auto bytes, auto& out) { return Memcarduino::CheckReadReply(frame, bytes, out); });
  CheckRead(reply, DexDrive::HeaderSize,
            [&](auto bytes, auto& out) { return DexDrive::CheckReadReply(frame, bytes, out); });
  Memcarduino::CheckWriteReply(reply);
  Memcarduino::IsIdReply(reply, Memcarduino::ArduinoId);
  DexDrive::CheckWriteReply(reply);
  DexDrive::IsPlayStationIdReply(reply);
  DexDrive::ReplyOpcode(reply);
  return 0;
}
