#include "readers/memcarduino_protocol.h"

#include <algorithm>

#include "transport/frame_commands.h"

namespace Memcarduino {
namespace {
constexpr std::size_t WriteHeadSize = 3;  // command byte, MSB, LSB
}  // namespace

std::vector<uint8_t> ReadCommand(int frame) {
  return {ReadFrame, AddressMsb(frame), AddressLsb(frame)};
}

std::vector<uint8_t> WriteCommand(int frame, std::span<const uint8_t, FrameSize> data) {
  std::vector<uint8_t> command(WriteHeadSize + FrameSize + 1);
  command[0] = WriteFrame;
  command[1] = AddressMsb(frame);
  command[2] = AddressLsb(frame);
  std::copy(data.begin(), data.end(), command.begin() + WriteHeadSize);
  command.back() = FrameChecksum(frame, data);
  return command;
}

ReplyCheck CheckReadReply(int frame, std::span<const uint8_t> reply,
                          std::span<uint8_t, FrameSize> data) {
  if (reply.size() != ReadReplySize) return ReplyCheck::Bad;
  const uint8_t status = reply[FrameSize + 1];
  if (status == StatusNoCard) return ReplyCheck::NoCard;
  if (status != StatusGood) return ReplyCheck::Bad;
  const auto received = reply.first<FrameSize>();
  if (FrameChecksum(frame, received) != reply[FrameSize]) return ReplyCheck::Bad;
  std::copy(received.begin(), received.end(), data.begin());
  return ReplyCheck::Good;
}

ReplyCheck CheckWriteReply(std::span<const uint8_t> reply) {
  if (reply.size() != WriteReplySize) return ReplyCheck::Bad;
  if (reply[0] == StatusNoCard) return ReplyCheck::NoCard;
  return reply[0] == StatusGood ? ReplyCheck::Good : ReplyCheck::Bad;
}

bool IsIdReply(std::span<const uint8_t> reply, std::string_view id) {
  return std::equal(reply.begin(), reply.end(), id.begin(), id.end(),
                    [](uint8_t byte, char expected) { return byte == uint8_t(expected); });
}

}  // namespace Memcarduino
