#include "readers/dexdrive_protocol.h"

#include <algorithm>

#include "transport/frame_commands.h"

namespace DexDrive {
namespace {

constexpr std::array<uint8_t, 3> PlayStationModel = {0x50, 0x53, 0x58};  // "PSX"
constexpr std::size_t ModelOffset = HeaderSize + 1;

// The header and room for the arguments; filled in place, so the size is known from the start.
std::vector<uint8_t> Command(uint8_t opcode, std::size_t argument_bytes = 0) {
  std::vector<uint8_t> command(HeaderSize + argument_bytes);
  std::copy(Prefix.begin(), Prefix.end(), command.begin());
  command[Prefix.size()] = opcode;
  return command;
}

}  // namespace

uint8_t ReverseBits(uint8_t byte) {
  uint8_t reversed = 0;
  for (int bit = 0; bit < 8; ++bit) {
    reversed = static_cast<uint8_t>((reversed << 1) | ((byte >> bit) & 1));
  }
  return reversed;
}

std::vector<uint8_t> InitCommand() {
  std::vector<uint8_t> command = Command(Init, InitKey.size());
  std::copy(InitKey.begin(), InitKey.end(), command.begin() + HeaderSize);
  return command;
}

std::vector<uint8_t> HandshakeCommand() {
  return Command(MagicHandshake);
}

std::vector<uint8_t> ReadCommand(int frame) {
  std::vector<uint8_t> command = Command(ReadFrame, 2);
  command[HeaderSize] = AddressLsb(frame);
  command[HeaderSize + 1] = AddressMsb(frame);
  return command;
}

// The checksum covers every argument byte before it: both address orders and the data.
std::vector<uint8_t> WriteCommand(int frame, std::span<const uint8_t, FrameSize> data) {
  constexpr std::size_t AddressBytes = 4;
  std::vector<uint8_t> command = Command(WriteFrame, AddressBytes + FrameSize + 1);
  const uint8_t msb = AddressMsb(frame);
  const uint8_t lsb = AddressLsb(frame);
  const std::array<uint8_t, AddressBytes> address = {msb, lsb, ReverseBits(msb), ReverseBits(lsb)};
  std::copy(address.begin(), address.end(), command.begin() + HeaderSize);
  std::copy(data.begin(), data.end(), command.begin() + HeaderSize + AddressBytes);
  command.back() =
      XorOf(std::span<const uint8_t>(command).subspan(HeaderSize, AddressBytes + FrameSize));
  return command;
}

int ReplyOpcode(std::span<const uint8_t> reply) {
  if (reply.size() < HeaderSize) return -1;
  if (!std::equal(Prefix.begin(), Prefix.end(), reply.begin())) return -1;
  return reply[Prefix.size()];
}

bool IsPlayStationIdReply(std::span<const uint8_t> reply) {
  return reply.size() == IdReplySize && ReplyOpcode(reply) == Id &&
         std::equal(PlayStationModel.begin(), PlayStationModel.end(), reply.begin() + ModelOffset);
}

ReplyCheck CheckReadReply(int frame, std::span<const uint8_t> reply,
                          std::span<uint8_t, FrameSize> data) {
  const int opcode = ReplyOpcode(reply);
  if (opcode == NoCard && reply.size() == HeaderSize) return ReplyCheck::NoCard;
  if (opcode != Data || reply.size() != ReadReplySize) return ReplyCheck::Bad;
  const auto received = reply.subspan<HeaderSize, FrameSize>();
  if (FrameChecksum(frame, received) != reply[HeaderSize + FrameSize]) return ReplyCheck::Bad;
  std::copy(received.begin(), received.end(), data.begin());
  return ReplyCheck::Good;
}

ReplyCheck CheckWriteReply(std::span<const uint8_t> reply) {
  if (reply.size() != WriteReplySize) return ReplyCheck::Bad;
  switch (ReplyOpcode(reply)) {
    case WriteOk:
    case WriteSame:
      return ReplyCheck::Good;
    case NoCard:
      return ReplyCheck::NoCard;
    default:
      return ReplyCheck::Bad;
  }
}

}  // namespace DexDrive
