#include "readers/memcarduino.h"

#include <QDeadlineTimer>

#include "readers/memcarduino_protocol.h"

namespace {

constexpr int Baud = 115200;
// A frame's 130 bytes take 11 ms on the line and the card needs a few more; the reader's own
// software waits 90 ms.
constexpr int ReplyTimeoutMs = 500;
// Opening the port resets an Arduino, whose boot loader keeps it deaf for about two seconds, so
// the identity is asked again until this much time has passed.
constexpr int IdentifyWithinMs = 3000;
constexpr int IdReplyTimeoutMs = 250;
constexpr uint8_t FirstSlot = 0;

// No further try makes sense: the reader is gone or the wait was given up.
bool LineEnded(SerialLine::Outcome outcome) {
  return outcome == SerialLine::Outcome::Gone || outcome == SerialLine::Outcome::Stopped;
}

}  // namespace

MemcarduinoConnection::MemcarduinoConnection(std::string port, Model model)
    : SerialReaderConnection(std::move(port), NameOf(model), Baud), model_(model) {}

const char* MemcarduinoConnection::NameOf(Model model) {
  return model == Model::Arduino ? "MemCARDuino" : "PS1CardLink";
}

bool MemcarduinoConnection::Identify() {
  const std::string_view id =
      model_ == Model::Arduino ? Memcarduino::ArduinoId : Memcarduino::ConsoleId;
  const uint8_t get_id[] = {Memcarduino::GetId};
  QDeadlineTimer deadline(IdentifyWithinMs);
  bool identified = false;
  while (!identified && !deadline.hasExpired()) {
    line_.DiscardInput();
    if (LineEnded(line_.Send(get_id))) return false;
    const auto outcome = line_.Receive(id.size(), IdReplyTimeoutMs, reply_);
    if (LineEnded(outcome)) return false;
    identified = outcome == SerialLine::Outcome::Done && Memcarduino::IsIdReply(reply_, id);
  }
  if (!identified) return false;

  const uint8_t get_version[] = {Memcarduino::GetVersion};
  line_.DiscardInput();
  line_.Send(get_version);
  if (line_.Receive(Memcarduino::VersionReplySize, ReplyTimeoutMs, reply_) !=
      SerialLine::Outcome::Done) {
    return false;
  }
  version_ = reply_[0];
  // Older console-side readers know only the first slot and take no slot command.
  if (model_ == Model::Console && reply_[0] >= Memcarduino::FirstVersionWithSlots) {
    const uint8_t select_slot[] = {Memcarduino::SelectSlot, FirstSlot};
    return line_.Send(select_slot) == SerialLine::Outcome::Done;
  }
  return true;
}

// The reader reads its command's arguments without waiting for them, so each command goes out
// whole in one write.
SerialReaderConnection::Attempt MemcarduinoConnection::Exchange(std::span<const uint8_t> command,
                                                                std::size_t reply_size) {
  return AttemptOf(Converse(command, reply_size, reply_), ReplyCheck::Good);
}

SerialLine::Outcome MemcarduinoConnection::Converse(std::span<const uint8_t> command,
                                                    std::size_t reply_size,
                                                    std::vector<uint8_t>& reply) {
  line_.DiscardInput();
  if (line_.Send(command) == SerialLine::Outcome::Gone) return SerialLine::Outcome::Gone;
  return line_.Receive(reply_size, ReplyTimeoutMs, reply);
}

SerialReaderConnection::Attempt MemcarduinoConnection::TryRead(
    int frame, std::span<uint8_t, FrameSize> buffer) {
  const Attempt sent = Exchange(Memcarduino::ReadCommand(frame), Memcarduino::ReadReplySize);
  if (sent != Attempt::Good) return sent;
  return AttemptOf(SerialLine::Outcome::Done, Memcarduino::CheckReadReply(frame, reply_, buffer));
}

SerialReaderConnection::Attempt MemcarduinoConnection::TryWrite(
    int frame, std::span<const uint8_t, FrameSize> data) {
  const Attempt sent =
      Exchange(Memcarduino::WriteCommand(frame, data), Memcarduino::WriteReplySize);
  if (sent != Attempt::Good) return sent;
  return AttemptOf(SerialLine::Outcome::Done, Memcarduino::CheckWriteReply(reply_));
}
