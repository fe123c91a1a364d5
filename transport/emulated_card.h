#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "card/card_image.h"
#include "port.h"

// A virtual parallel port whose far end is a memory card on the cable, modelled at the level
// of its lines and timed in port accesses (one tick each): it draws power from data bits 3-7,
// is selected while attention is low, shifts its reply out on falling clock edges and takes the
// command bit on rising ones, pulses acknowledge after each byte but the last of a command, and
// answers the frame read and write commands from its CardImage.

// What the card does with the byte being exchanged, named after the protocol's steps.
enum class CardStep : uint8_t {
  Deselected,
  ReceiveAccess,   // the first byte must address a memory card
  ReceiveCommand,  // while sending its flag byte
  SendId1,
  SendId2,
  ReceiveAddressMsb,
  ReceiveAddressLsb,
  SendCommandAck1,  // read
  SendCommandAck2,
  SendConfirmedMsb,
  SendConfirmedLsb,
  SendData,
  SendChecksum,
  ReceiveData,  // write
  ReceiveChecksum,
  SendWriteAck1,
  SendWriteAck2,
  SendEndByte,
  AwaitDeselect,  // unknown or finished command: silent until the next select
};

// Bit 3 of the flag byte: set at power-up, cleared by the first good write.
inline constexpr uint8_t NewCardFlag = 0x08;

// Faults to put a transfer through. A frame number of NoFrame means never.
struct EmulatedCardFaults {
  static constexpr int NoFrame = -1;
  int pulled_out_at_frame = NoFrame;  // the card leaves as a command for this frame is addressed
  bool ack_stuck_high = false;
  int flipped_bit_frame = NoFrame;  // one data bit flips on the wire, in either direction
  int flipped_bit = 0;              // 0..1023, bit (n % 8) of data byte (n / 8)
  int wrong_end_byte_frame = NoFrame;
  uint8_t wrong_end_byte = 0x4E;
  int wrong_address_echo_frame = NoFrame;  // the read echoes a different address LSB
  int extra_command_ack1 = 0;              // a read repeats 0x5C this many more times before 0x5D
  int settle_ticks = 0;  // a data bit shows only this many ticks after the falling edge
};

struct PortCounters {
  uint64_t port_writes = 0;
  uint64_t status_reads = 0;
  uint64_t ack_polls = 0;  // status reads with the clock high: the link samples data with it low
};

enum class FrameCommand : uint8_t { Read, Write };

struct FrameEvent {
  FrameCommand command;
  int frame;
  bool completed;  // false: the address has just arrived; true: the end byte has gone out
  uint8_t end_byte;
};

class EmulatedCard final : public PortBackend {
 public:
  explicit EmulatedCard(uint16_t port_base = Lpt1Base);

  void Out(uint16_t port, uint8_t value) override;
  uint8_t In(uint16_t port) override;

  uint16_t port_base() const { return port_base_; }
  CardImage& image() { return image_; }
  const CardImage& image() const { return image_; }
  // The card's contents from or to a .mc file. Load returns false for a file of the wrong
  // size; both throw FileError for input/output failures.
  bool LoadFrom(const std::string& path);
  void SaveTo(const std::string& path) const;

  EmulatedCardFaults& faults() { return faults_; }
  // Pulling the card out loses its power; putting one in makes it a new card.
  void SetInserted(bool inserted);
  bool inserted() const { return inserted_; }

  // Called as each frame command is addressed and as it completes.
  void SetFrameObserver(std::function<void(const FrameEvent&)> observer);

  const PortCounters& counters() const { return counters_; }
  void ResetCounters() { counters_ = {}; }
  CardStep step() const { return step_; }
  uint8_t flag() const { return flag_; }
  bool selected() const { return selected_; }

 private:
  static constexpr uint64_t Never = std::numeric_limits<uint64_t>::max();

  void ApplyLines(uint8_t value, uint8_t changed);
  void PowerUp();
  void Select();
  void Deselect();
  void FallingEdge();
  void RisingEdge(bool command_bit);
  void ByteReceived(uint8_t received);
  // Takes the byte just received as good: acknowledges it and readies the next reply.
  void Next(CardStep step, uint8_t reply);
  void Silence();
  void BeginFrame();
  void FinishFrame();
  bool IsFault(int frame) const { return frame != EmulatedCardFaults::NoFrame && frame == frame_; }
  uint8_t DataByteOnWire(uint8_t byte, int index) const;
  bool DataLine() const;
  bool AckActive() const { return tick_ >= ack_from_ && tick_ < ack_until_; }

  CardImage image_{};
  EmulatedCardFaults faults_;
  std::function<void(const FrameEvent&)> observer_;
  PortCounters counters_;
  uint16_t port_base_;

  // Lines.
  uint8_t data_register_ = 0x00;  // the card has no power until the cable's supply bits rise
  bool inserted_ = true;
  bool powered_ = false;
  bool selected_ = false;
  uint64_t tick_ = 0;
  bool data_out_ = true;  // released lines read 1
  bool data_before_ = true;
  uint64_t data_settles_at_ = 0;
  uint64_t ack_from_ = Never;
  uint64_t ack_until_ = Never;

  // Byte shifting.
  uint8_t reply_ = 0xFF;
  uint8_t received_ = 0;
  int bit_ = 0;

  // Command.
  CardStep step_ = CardStep::Deselected;
  uint8_t flag_ = NewCardFlag;
  FrameCommand command_ = FrameCommand::Read;
  uint8_t msb_ = 0;
  uint8_t lsb_ = 0;
  int frame_ = EmulatedCardFaults::NoFrame;
  int index_ = 0;
  int extra_ack1_left_ = 0;
  uint8_t checksum_ = 0;
  uint8_t end_byte_ = 0;
  Frame incoming_{};
};
