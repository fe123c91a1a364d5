#include "emulated_card.h"

#include <algorithm>
#include <utility>

namespace {

// The card is modelled from the public protocol and the cable's wiring, independently of the
// host side's constants, so that a wrong byte there fails against it as it would on a real card.

// The cable: data register bits towards the card, status register bits from it.
constexpr uint8_t CommandBit = 0x01;
constexpr uint8_t AttentionBit = 0x02;  // low selects the card
constexpr uint8_t ClockBit = 0x04;
constexpr uint8_t SupplyBits = 0xF8;
constexpr uint16_t StatusOffset = 1;
constexpr uint8_t AcknowledgeBit = 0x20;  // reads 0 while the card acknowledges
constexpr uint8_t DataBit = 0x40;

// Bytes on the wire.
constexpr uint8_t MemoryCardAddress = 0x81;
constexpr uint8_t ReadByte = 0x52;   // 'R'
constexpr uint8_t WriteByte = 0x57;  // 'W'
constexpr uint8_t Id1 = 0x5A;
constexpr uint8_t Id2 = 0x5D;
constexpr uint8_t Ack1 = 0x5C;
constexpr uint8_t Ack2 = 0x5D;
constexpr uint8_t Good = 0x47;         // 'G'
constexpr uint8_t BadChecksum = 0x4E;  // 'N'
constexpr uint8_t BadFrame = 0xFF;

// The acknowledge pulse starts a little after the last rising edge of a byte and is short.
constexpr uint64_t AckDelayTicks = 2;
constexpr uint64_t AckPulseTicks = 4;
// Status bits 0-2 are not wired and read high on a typical port.
constexpr uint8_t UnusedStatusBits = 0x07;
// A card ignores any address above this; a read echoes it as 0xFFFF and stops.
constexpr int HighestSector = 0x3FF;
constexpr uint8_t ReleasedLine = 0xFF;
constexpr int BitsPerByte = 8;
}  // namespace

EmulatedCard::EmulatedCard(uint16_t port_base) : port_base_(port_base) {}

void EmulatedCard::SetFrameObserver(std::function<void(const FrameEvent&)> observer) {
  observer_ = std::move(observer);
}

void EmulatedCard::SetInserted(bool inserted) {
  if (inserted == inserted_) return;
  inserted_ = inserted;
  Deselect();
  powered_ = false;
  // A card put in while attention is already low waits for the next select.
  if (inserted_) ApplyLines(data_register_, 0);
}

void EmulatedCard::Out(uint16_t port, uint8_t value) {
  ++tick_;
  ++counters_.port_writes;
  if (port != port_base_) return;
  const uint8_t changed = value ^ data_register_;
  data_register_ = value;
  // Most writes are the link's delays, which change nothing.
  if (changed != 0) ApplyLines(value, changed);
}

uint8_t EmulatedCard::In(uint16_t port) {
  ++tick_;
  if (port != port_base_ + StatusOffset) return ReleasedLine;
  ++counters_.status_reads;
  if ((data_register_ & ClockBit) != 0) ++counters_.ack_polls;
  uint8_t status = UnusedStatusBits;
  if (DataLine()) status |= DataBit;
  if (!AckActive()) status |= AcknowledgeBit;
  return status;
}

void EmulatedCard::ApplyLines(uint8_t value, uint8_t changed) {
  const bool supplied = inserted_ && (value & SupplyBits) == SupplyBits;
  if (supplied != powered_) {
    powered_ = supplied;
    if (powered_) {
      PowerUp();
    } else {
      Deselect();
    }
  }
  if (!powered_) return;
  if ((changed & AttentionBit) != 0) {
    if ((value & AttentionBit) != 0) {
      Deselect();
    } else {
      Select();
    }
  }
  if (!selected_ || (changed & ClockBit) == 0) return;
  if ((value & ClockBit) != 0) {
    RisingEdge((value & CommandBit) != 0);
  } else {
    FallingEdge();
  }
}

void EmulatedCard::PowerUp() {
  flag_ |= NewCardFlag;
  Deselect();
}

void EmulatedCard::Select() {
  selected_ = true;
  step_ = CardStep::ReceiveAccess;
  reply_ = ReleasedLine;
  received_ = 0;
  bit_ = 0;
}

void EmulatedCard::Deselect() {
  selected_ = false;
  step_ = CardStep::Deselected;
  data_out_ = true;
  data_before_ = true;
  data_settles_at_ = 0;
  ack_from_ = ack_until_ = Never;
}

bool EmulatedCard::DataLine() const {
  if (!selected_) return true;
  return tick_ >= data_settles_at_ ? data_out_ : data_before_;
}

void EmulatedCard::FallingEdge() {
  data_before_ = DataLine();
  data_out_ = ((reply_ >> bit_) & 1) != 0;
  data_settles_at_ = tick_ + static_cast<uint64_t>(faults_.settle_ticks);
}

void EmulatedCard::RisingEdge(bool command_bit) {
  if (command_bit) received_ |= static_cast<uint8_t>(1u << bit_);
  if (++bit_ < BitsPerByte) return;
  const uint8_t received = std::exchange(received_, 0);
  bit_ = 0;
  ByteReceived(received);
}

void EmulatedCard::Next(CardStep step, uint8_t reply) {
  step_ = step;
  reply_ = reply;
  if (!faults_.ack_stuck_high) {
    ack_from_ = tick_ + AckDelayTicks;
    ack_until_ = ack_from_ + AckPulseTicks;
  }
}

void EmulatedCard::Silence() {
  step_ = CardStep::AwaitDeselect;
  reply_ = ReleasedLine;
}

uint8_t EmulatedCard::DataByteOnWire(uint8_t byte, int index) const {
  if (IsFault(faults_.flipped_bit_frame) && faults_.flipped_bit / BitsPerByte == index) {
    byte ^= static_cast<uint8_t>(1u << (faults_.flipped_bit % BitsPerByte));
  }
  return byte;
}

void EmulatedCard::BeginFrame() {
  frame_ = (msb_ << 8) | lsb_;
  index_ = 0;
  checksum_ = static_cast<uint8_t>(msb_ ^ lsb_);
  extra_ack1_left_ = faults_.extra_command_ack1;
  if (observer_) observer_(FrameEvent{command_, frame_, false, 0});
}

void EmulatedCard::FinishFrame() {
  Silence();
  if (observer_) observer_(FrameEvent{command_, frame_, true, end_byte_});
}

void EmulatedCard::ByteReceived(uint8_t received) {
  const bool valid_sector = frame_ <= HighestSector;
  switch (step_) {
    case CardStep::Deselected:
    case CardStep::AwaitDeselect:
      break;
    case CardStep::ReceiveAccess:
      if (received == MemoryCardAddress) {
        Next(CardStep::ReceiveCommand, flag_);
      } else {
        Silence();
      }
      break;
    case CardStep::ReceiveCommand:
      if (received == ReadByte || received == WriteByte) {
        command_ = received == ReadByte ? FrameCommand::Read : FrameCommand::Write;
        Next(CardStep::SendId1, Id1);
      } else {
        Silence();
      }
      break;
    case CardStep::SendId1:
      Next(CardStep::SendId2, Id2);
      break;
    case CardStep::SendId2:
      Next(CardStep::ReceiveAddressMsb, 0x00);
      break;
    case CardStep::ReceiveAddressMsb:
      msb_ = received;
      Next(CardStep::ReceiveAddressLsb, msb_);  // a card echoes the previous byte
      break;
    case CardStep::ReceiveAddressLsb:
      lsb_ = received;
      BeginFrame();
      if (IsFault(faults_.pulled_out_at_frame)) {
        SetInserted(false);
      } else if (command_ == FrameCommand::Read) {
        Next(CardStep::SendCommandAck1, Ack1);
      } else {
        Next(CardStep::ReceiveData, lsb_);
      }
      break;
    case CardStep::SendCommandAck1:
      if (extra_ack1_left_ > 0) {
        --extra_ack1_left_;
        Next(CardStep::SendCommandAck1, Ack1);
      } else {
        Next(CardStep::SendCommandAck2, Ack2);
      }
      break;
    case CardStep::SendCommandAck2:
      Next(CardStep::SendConfirmedMsb, valid_sector ? msb_ : 0xFF);
      break;
    case CardStep::SendConfirmedMsb: {
      const uint8_t echo = IsFault(faults_.wrong_address_echo_frame) ? lsb_ ^ 0x01 : lsb_;
      Next(CardStep::SendConfirmedLsb, valid_sector ? echo : 0xFF);
      break;
    }
    case CardStep::SendConfirmedLsb:
      if (!valid_sector) {
        Silence();
        break;
      }
      Next(CardStep::SendData, DataByteOnWire(image_[frame_ * FrameSize], 0));
      break;
    case CardStep::SendData:
      checksum_ ^= image_[frame_ * FrameSize + index_];
      if (++index_ < static_cast<int>(FrameSize)) {
        Next(CardStep::SendData, DataByteOnWire(image_[frame_ * FrameSize + index_], index_));
      } else {
        Next(CardStep::SendChecksum, checksum_);
      }
      break;
    case CardStep::SendChecksum:
      end_byte_ = IsFault(faults_.wrong_end_byte_frame) ? faults_.wrong_end_byte : Good;
      Next(CardStep::SendEndByte, end_byte_);
      break;
    case CardStep::ReceiveData: {
      const uint8_t byte = DataByteOnWire(received, index_);
      incoming_[index_] = byte;
      checksum_ ^= byte;
      const bool last = ++index_ == static_cast<int>(FrameSize);
      Next(last ? CardStep::ReceiveChecksum : CardStep::ReceiveData, received);
      break;
    }
    case CardStep::ReceiveChecksum:
      if (!valid_sector) {
        end_byte_ = BadFrame;
      } else if (received != checksum_) {
        end_byte_ = BadChecksum;
      } else {
        end_byte_ = Good;
        std::copy(incoming_.begin(), incoming_.end(), image_.begin() + frame_ * FrameSize);
        flag_ &= static_cast<uint8_t>(~NewCardFlag);
      }
      if (IsFault(faults_.wrong_end_byte_frame)) end_byte_ = faults_.wrong_end_byte;
      Next(CardStep::SendWriteAck1, Ack1);
      break;
    case CardStep::SendWriteAck1:
      Next(CardStep::SendWriteAck2, Ack2);
      break;
    case CardStep::SendWriteAck2:
      Next(CardStep::SendEndByte, end_byte_);
      break;
    case CardStep::SendEndByte:
      // The end byte is the last of a command: no acknowledge follows it.
      FinishFrame();
      break;
  }
}
