#include "card_link.h"

#include "port.h"

uint8_t PortLatch = 0xFF;

namespace {
void SetLine(uint16_t port_base, uint8_t line, bool level) {
  PortLatch = static_cast<uint8_t>(level ? (PortLatch | line) : (PortLatch & ~line));
  PortOut(port_base, PortLatch);
}

bool StatusBit(uint16_t port_base, uint8_t bit) {
  return (PortIn(port_base + StatusRegisterOffset) & bit) != 0;
}

constexpr int BeginSettleDelays = 5;
constexpr int SelectSettleDelays = 4;
constexpr int EndSettleDelays = 2;
constexpr int IdleDelays = 1;
}  // namespace

void SetCommand(uint16_t port_base, bool level) {
  SetLine(port_base, DataLine::Command, level);
}

void SetAttention(uint16_t port_base, bool level) {
  // Every change of attention also restores the supply, so the card never loses power.
  PortLatch |= DataLine::Supply;
  SetLine(port_base, DataLine::Attention, level);
}

void SetClock(uint16_t port_base, bool level) {
  SetLine(port_base, DataLine::Clock, level);
}

bool ReadData(uint16_t port_base) {
  return StatusBit(port_base, StatusLine::Data);
}

bool ReadAck(uint16_t port_base) {
  return StatusBit(port_base, StatusLine::Acknowledge);
}

void LinkDelay(uint16_t port_base, int count) {
  for (int i = 0; i < count; ++i) PortOut(port_base, PortLatch);
}

void BeginTransaction(uint16_t port_base, int delay) {
  SetAttention(port_base, true);
  SetClock(port_base, true);
  SetCommand(port_base, true);
  LinkDelay(port_base, BeginSettleDelays * delay);
  SetAttention(port_base, false);
  LinkDelay(port_base, SelectSettleDelays * delay);
}

void EndTransaction(uint16_t port_base, int delay) {
  LinkDelay(port_base, EndSettleDelays * delay);
  SetAttention(port_base, true);
  SetCommand(port_base, true);
  SetClock(port_base, true);
  LinkDelay(port_base, IdleDelays * delay);
}

uint8_t ExchangeByte(uint16_t port_base, int delay, uint8_t out, bool wait_ack) {
  uint8_t in = 0;
  for (int bit = 0; bit < 8; ++bit) {
    const uint8_t mask = static_cast<uint8_t>(1u << bit);
    LinkDelay(port_base, delay);
    SetCommand(port_base, (out & mask) != 0);
    // The card shifts its next bit out on the falling edge; it is sampled at the end of the
    // low phase, and the rising edge makes the card take the command bit.
    SetClock(port_base, false);
    LinkDelay(port_base, delay);
    if (ReadData(port_base)) in |= mask;
    SetClock(port_base, true);
  }
  if (wait_ack) {
    for (int poll = 0; poll < AckPollLimit && ReadAck(port_base); ++poll) {
    }
  }
  return in;
}
