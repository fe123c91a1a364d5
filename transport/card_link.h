#pragma once

#include <cstdint>

// The card's serial lines over the cable's parallel-port wiring: transaction framing and the
// full-duplex exchange of one byte, bit by bit. Time is counted in port writes only.

// Data register (written), one bit per line towards the card.
namespace DataLine {
inline constexpr uint8_t Command = 0x01;
inline constexpr uint8_t Attention = 0x02;  // low while a transaction is under way
inline constexpr uint8_t Clock = 0x04;
inline constexpr uint8_t Supply = 0xF8;  // the cable draws its power from these; always high
}  // namespace DataLine

// Status register (read), at this offset from the port base.
inline constexpr uint16_t StatusRegisterOffset = 1;
namespace StatusLine {
inline constexpr uint8_t Acknowledge = 0x20;  // low while the card acknowledges
inline constexpr uint8_t Data = 0x40;
}  // namespace StatusLine

// Status reads spent waiting for an acknowledge before giving up.
inline constexpr int AckPollLimit = 0x2800;

// The value last written to the data register; idle level 0xFF between transactions.
extern uint8_t PortLatch;

void SetCommand(uint16_t port_base, bool level);
void SetAttention(uint16_t port_base, bool level);
void SetClock(uint16_t port_base, bool level);

bool ReadData(uint16_t port_base);
// True while the card has not acknowledged.
bool ReadAck(uint16_t port_base);

// count writes of the unchanged latch; nothing for count <= 0.
void LinkDelay(uint16_t port_base, int count);

void BeginTransaction(uint16_t port_base, int delay);
void EndTransaction(uint16_t port_base, int delay);

// Sends out least significant bit first while receiving the card's byte. A missing acknowledge
// is not reported; the replies that follow show it.
uint8_t ExchangeByte(uint16_t port_base, int delay, uint8_t out, bool wait_ack);
