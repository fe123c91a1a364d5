// Every serial reader's reply checks on arbitrary bytes. Input: frame number (2 bytes), reply.
// What each reply must be taken for comes from the readers' published protocols, modelled here
// on their own: a read is good only when its length, status or opcode and its checksum (address
// bytes XOR the data) all agree, and then the frame holds exactly its data bytes.
#include <algorithm>

#include "fuzz_support.h"
#include "readers/dexdrive_protocol.h"
#include "readers/memcarduino_protocol.h"

namespace {

constexpr std::size_t HeaderBytes = 2;
constexpr std::size_t DataBytes = 128;
constexpr uint8_t Untouched = 0xEE;

uint8_t Checksum(int frame, std::span<const uint8_t> data) {
  uint8_t sum = static_cast<uint8_t>(frame >> 8) ^ static_cast<uint8_t>(frame);
  for (uint8_t byte : data) sum ^= byte;
  return sum;
}

// The Arduino reader and the console-side reader: 128 data bytes, checksum, end byte 'G'.
ReplyCheck ExpectedMemcarduinoRead(int frame, std::span<const uint8_t> reply) {
  if (reply.size() != DataBytes + 2) return ReplyCheck::Bad;
  if (reply.back() == 0xFF) return ReplyCheck::NoCard;
  const bool good =
      reply.back() == 'G' && reply[DataBytes] == Checksum(frame, reply.first(DataBytes));
  return good ? ReplyCheck::Good : ReplyCheck::Bad;
}

ReplyCheck ExpectedMemcarduinoWrite(std::span<const uint8_t> reply) {
  if (reply.size() != 1) return ReplyCheck::Bad;
  if (reply[0] == 0xFF) return ReplyCheck::NoCard;
  return reply[0] == 'G' ? ReplyCheck::Good : ReplyCheck::Bad;
}

bool StartsIai(std::span<const uint8_t> reply, uint8_t opcode) {
  return reply.size() >= 4 && reply[0] == 'I' && reply[1] == 'A' && reply[2] == 'I' &&
         reply[3] == opcode;
}

// The drive: "IAI", DATA (0x41), 128 data bytes, checksum; or "IAI", NOCARD (0x22) alone.
ReplyCheck ExpectedDexDriveRead(int frame, std::span<const uint8_t> reply) {
  if (reply.size() == 4 && StartsIai(reply, 0x22)) return ReplyCheck::NoCard;
  if (reply.size() != 4 + DataBytes + 1 || !StartsIai(reply, 0x41)) return ReplyCheck::Bad;
  return reply.back() == Checksum(frame, reply.subspan(4, DataBytes)) ? ReplyCheck::Good
                                                                      : ReplyCheck::Bad;
}

ReplyCheck ExpectedDexDriveWrite(std::span<const uint8_t> reply) {
  if (reply.size() != 4) return ReplyCheck::Bad;
  if (StartsIai(reply, 0x28) || StartsIai(reply, 0x29)) return ReplyCheck::Good;
  return StartsIai(reply, 0x22) ? ReplyCheck::NoCard : ReplyCheck::Bad;
}

template <typename Check>
void CheckRead(std::span<const uint8_t> reply, std::size_t data_offset, ReplyCheck expected,
               Check check) {
  Frame frame;
  frame.fill(Untouched);
  const ReplyCheck verdict = check(reply, frame);
  fuzz::Require(verdict == expected, "a read reply is judged as its protocol says");
  if (verdict == ReplyCheck::Good) {
    fuzz::Require(std::equal(frame.begin(), frame.end(), reply.begin() + data_offset),
                  "good reply's data copied");
  } else {
    fuzz::Require(std::ranges::all_of(frame, [](uint8_t b) { return b == Untouched; }),
                  "frame untouched by a refused reply");
  }
}

bool Equals(std::span<const uint8_t> reply, std::string_view text) {
  return std::ranges::equal(reply, text, [](uint8_t b, char c) { return b == uint8_t(c); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < HeaderBytes) return 0;
  const int frame = ((data[0] << 8) | data[1]) & 0x3FF;
  const std::span<const uint8_t> reply(data + HeaderBytes, size - HeaderBytes);

  CheckRead(reply, 0, ExpectedMemcarduinoRead(frame, reply),
            [&](auto bytes, auto& out) { return Memcarduino::CheckReadReply(frame, bytes, out); });
  CheckRead(reply, 4, ExpectedDexDriveRead(frame, reply),
            [&](auto bytes, auto& out) { return DexDrive::CheckReadReply(frame, bytes, out); });
  fuzz::Require(Memcarduino::CheckWriteReply(reply) == ExpectedMemcarduinoWrite(reply),
                "a write reply is judged as its protocol says");
  fuzz::Require(DexDrive::CheckWriteReply(reply) == ExpectedDexDriveWrite(reply),
                "a drive's write reply is judged as its protocol says");
  // The identities of the Arduino reader and of the console-side reader (PS1CardLink).
  fuzz::Require(Memcarduino::IsIdReply(reply, Memcarduino::ArduinoId) == Equals(reply, "MCDINO"),
                "the Arduino's identity");
  fuzz::Require(Memcarduino::IsIdReply(reply, Memcarduino::ConsoleId) == Equals(reply, "PS1CLNK"),
                "the console-side reader's identity");
  const bool playstation = reply.size() == 9 && StartsIai(reply, 0x40) && reply[5] == 'P' &&
                           reply[6] == 'S' && reply[7] == 'X';
  fuzz::Require(DexDrive::IsPlayStationIdReply(reply) == playstation, "the drive's identity");
  fuzz::Require(DexDrive::ReplyOpcode(reply) ==
                    (reply.size() >= 4 && StartsIai(reply, reply[3]) ? reply[3] : -1),
                "the drive's opcode");
  return 0;
}
