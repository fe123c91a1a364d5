#include "frame_commands.h"

#include "card_link.h"

namespace {
using namespace CardProtocol;

// Step 8 of a read tolerates other replies before the second acknowledge byte, up to this many.
constexpr int MaxSecondAckReplies = 255;

// One transaction of one frame command: every step is an exchange, its trailing delays and,
// where the reply matters, a comparison; the first mismatch ends the transaction.
class Transaction {
 public:
  Transaction(uint16_t port_base, int delay) : port_base_(port_base), delay_(delay) {
    BeginTransaction(port_base_, delay_);
  }
  ~Transaction() { EndTransaction(port_base_, delay_); }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  uint8_t Exchange(uint8_t out, bool wait_ack, int delays_after) {
    const uint8_t reply = ExchangeByte(port_base_, delay_, out, wait_ack);
    for (int i = 0; i < delays_after; ++i) LinkDelay(port_base_, delay_);
    return reply;
  }

  bool Expect(uint8_t out, bool wait_ack, int delays_after, uint8_t required) {
    return Exchange(out, wait_ack, delays_after) == required;
  }

 private:
  uint16_t port_base_;
  int delay_;
};

bool IsFrameNumber(int frame) {
  return frame >= 0 && frame <= LastFrame;
}

bool ReadSecondAck(Transaction& transaction) {
  for (int repetition = 1;; ++repetition) {
    const uint8_t reply = transaction.Exchange(Filler, false, 1);
    if (repetition > MaxSecondAckReplies) return false;
    if (reply == CommandAck2) return true;
  }
}
}  // namespace

uint8_t FrameChecksum(int frame, std::span<const uint8_t, FrameSize> data) {
  return static_cast<uint8_t>(AddressMsb(frame) ^ AddressLsb(frame) ^ XorOf(data));
}

bool ReadFrame(uint16_t port_base, int delay, int frame, std::span<uint8_t, FrameSize> buffer) {
  if (!IsFrameNumber(frame)) return false;
  const uint8_t msb = AddressMsb(frame);
  const uint8_t lsb = AddressLsb(frame);
  Transaction card(port_base, delay);
  card.Exchange(MemoryCardAccess, false, 2);
  card.Exchange(ReadCommand, false, 2);
  if (!card.Expect(Filler, false, 2, CardId1)) return false;
  if (!card.Expect(Filler, false, 2, CardId2)) return false;
  card.Exchange(msb, false, 1);
  card.Exchange(lsb, false, 1);
  if (!card.Expect(Filler, true, 0, CommandAck1)) return false;
  if (!ReadSecondAck(card)) return false;
  if (!card.Expect(Filler, false, 1, msb)) return false;
  if (!card.Expect(Filler, false, 1, lsb)) return false;
  // Bytes go into the caller's buffer as they arrive, good or not.
  for (uint8_t& byte : buffer) byte = card.Exchange(Filler, false, 1);
  const uint8_t checksum = FrameChecksum(frame, buffer);
  if (!card.Expect(Filler, false, 1, checksum)) return false;
  return card.Expect(Filler, false, 1, EndGood);
}

bool WriteFrame(uint16_t port_base, int delay, int frame,
                std::span<const uint8_t, FrameSize> data) {
  if (!IsFrameNumber(frame)) return false;
  const uint8_t msb = AddressMsb(frame);
  const uint8_t lsb = AddressLsb(frame);
  Transaction card(port_base, delay);
  card.Exchange(MemoryCardAccess, true, 0);
  card.Exchange(WriteCommand, true, 0);
  if (!card.Expect(Filler, true, 0, CardId1)) return false;
  if (!card.Expect(Filler, true, 0, CardId2)) return false;
  card.Exchange(msb, false, 1);
  card.Exchange(lsb, false, 1);
  for (uint8_t byte : data) card.Exchange(byte, false, 1);
  card.Exchange(FrameChecksum(frame, data), false, 1);
  if (!card.Expect(Filler, true, 0, CommandAck1)) return false;
  if (!card.Expect(Filler, true, 0, CommandAck2)) return false;
  return card.Expect(Filler, true, 0, EndGood);
}
