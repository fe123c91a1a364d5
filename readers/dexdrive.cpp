#include "readers/dexdrive.h"

#include "readers/dexdrive_protocol.h"

namespace {

constexpr int Baud = 38400;
// 133 bytes take 35 ms at 38400 baud.
constexpr int ReplyTimeoutMs = 500;
// The handshake must follow the identity within about 100 ms; its reply carries nothing.
constexpr int HandshakeReplyTimeoutMs = 100;

}  // namespace

DexDriveConnection::DexDriveConnection(std::string port)
    : SerialReaderConnection(std::move(port), "DexDrive", Baud) {}

bool DexDriveConnection::Identify() {
  line_.DiscardInput();
  if (line_.Send(DexDrive::InitCommand()) != SerialLine::Outcome::Done) return false;
  if (line_.Receive(DexDrive::IdReplySize, ReplyTimeoutMs, reply_) != SerialLine::Outcome::Done ||
      !DexDrive::IsPlayStationIdReply(reply_)) {
    return false;
  }
  if (line_.Send(DexDrive::HandshakeCommand()) != SerialLine::Outcome::Done) return false;
  line_.Receive(DexDrive::HeaderSize, HandshakeReplyTimeoutMs, reply_);
  return true;
}

SerialReaderConnection::Attempt DexDriveConnection::TryRead(int frame,
                                                            std::span<uint8_t, FrameSize> buffer) {
  line_.DiscardInput();
  if (line_.Send(DexDrive::ReadCommand(frame)) == SerialLine::Outcome::Gone) return Attempt::Gone;
  // The header tells a frame from "no card" before the rest is waited for.
  auto outcome = line_.Receive(DexDrive::HeaderSize, ReplyTimeoutMs, reply_);
  if (outcome == SerialLine::Outcome::Done && DexDrive::ReplyOpcode(reply_) == DexDrive::Data) {
    std::vector<uint8_t> rest;
    outcome = line_.Receive(DexDrive::ReadReplySize - DexDrive::HeaderSize, ReplyTimeoutMs, rest);
    reply_.insert(reply_.end(), rest.begin(), rest.end());
  }
  return AttemptOf(outcome, DexDrive::CheckReadReply(frame, reply_, buffer));
}

SerialReaderConnection::Attempt DexDriveConnection::TryWrite(
    int frame, std::span<const uint8_t, FrameSize> data) {
  line_.DiscardInput();
  if (line_.Send(DexDrive::WriteCommand(frame, data)) == SerialLine::Outcome::Gone) {
    return Attempt::Gone;
  }
  const auto outcome = line_.Receive(DexDrive::WriteReplySize, ReplyTimeoutMs, reply_);
  return AttemptOf(outcome, DexDrive::CheckWriteReply(reply_));
}
