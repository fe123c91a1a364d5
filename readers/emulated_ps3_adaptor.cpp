#include "readers/emulated_ps3_adaptor.h"

#include <algorithm>

#include "transport/card_link.h"
#include "transport/port.h"

namespace {
// The adaptor as it shows itself on the bus.
constexpr uint16_t SonyVendor = 0x054C;
constexpr uint16_t AdaptorProduct = 0x02EA;
constexpr int OnlyInterface = 0;
constexpr uint8_t BulkOut = 0x02;
constexpr uint8_t BulkIn = 0x81;

// The card sits on the emulated card's wiring; the fastest pacing the link allows.
constexpr int LinkPacing = 1;

std::string Numbered(const char* call, int interface_number) {
  return std::string(call) + " " + std::to_string(interface_number);
}

// The frame a card read ("81 52 00 00 MSB LSB") or write ("81 57 ...") packet addresses.
int AddressedFrame(std::span<const uint8_t> packet) {
  if (packet.size() < 10 || (packet[5] != 0x52 && packet[5] != 0x57)) return -1;
  return (packet[8] << 8) | packet[9];
}
}  // namespace

bool EmulatedPs3Adaptor::Matches(uint16_t vendor, uint16_t product) const {
  return faults.plugged_in && vendor == SonyVendor && product == AdaptorProduct;
}

bool EmulatedPs3Adaptor::IsPresent(uint16_t vendor, uint16_t product) {
  return Matches(vendor, product);
}

UsbResult EmulatedPs3Adaptor::Open(uint16_t vendor, uint16_t product) {
  calls_.push_back("open");
  if (!Matches(vendor, product)) return UsbResult::NotFound;
  if (faults.access_denied) return UsbResult::AccessDenied;
  open_ = true;
  return UsbResult::Ok;
}

// Whether a call on interface_number can reach the device: it is open, the interface exists, and
// the cable is still in.
UsbResult EmulatedPs3Adaptor::InterfaceReady(int interface_number) const {
  if (!open_ || interface_number != OnlyInterface) return UsbResult::Failed;
  return faults.plugged_in ? UsbResult::Ok : UsbResult::Gone;
}

void EmulatedPs3Adaptor::Close() {
  calls_.push_back("close");
  open_ = claimed_ = false;
}

UsbResult EmulatedPs3Adaptor::KernelDriverActive(int interface_number, bool& active) {
  if (const UsbResult ready = InterfaceReady(interface_number); ready != UsbResult::Ok) {
    return ready;
  }
  active = faults.kernel_driver_attached;
  return UsbResult::Ok;
}

UsbResult EmulatedPs3Adaptor::DetachKernelDriver(int interface_number) {
  calls_.push_back(Numbered("detach", interface_number));
  if (const UsbResult ready = InterfaceReady(interface_number); ready != UsbResult::Ok) {
    return ready;
  }
  faults.kernel_driver_attached = false;
  return UsbResult::Ok;
}

UsbResult EmulatedPs3Adaptor::AttachKernelDriver(int interface_number) {
  calls_.push_back(Numbered("attach", interface_number));
  if (const UsbResult ready = InterfaceReady(interface_number); ready != UsbResult::Ok) {
    return ready;
  }
  faults.kernel_driver_attached = true;
  return UsbResult::Ok;
}

UsbResult EmulatedPs3Adaptor::ClaimInterface(int interface_number) {
  calls_.push_back(Numbered("claim", interface_number));
  if (const UsbResult ready = InterfaceReady(interface_number); ready != UsbResult::Ok) {
    return ready;
  }
  // A driver still bound to the interface holds it just as another program would.
  if (faults.interface_busy || faults.kernel_driver_attached) return UsbResult::Busy;
  claimed_ = true;
  return UsbResult::Ok;
}

UsbResult EmulatedPs3Adaptor::ReleaseInterface(int interface_number) {
  calls_.push_back(Numbered("release", interface_number));
  if (!claimed_ || interface_number != OnlyInterface) return UsbResult::Failed;
  claimed_ = false;
  return faults.plugged_in ? UsbResult::Ok : UsbResult::Gone;
}

void EmulatedPs3Adaptor::Sleep(std::chrono::milliseconds duration) {
  slept_ += duration;
}

bool EmulatedPs3Adaptor::Strike(AdaptorFrameFault& fault, int frame) {
  if (fault.frame == AdaptorFrameFault::Never || fault.frame != frame || fault.times <= 0) {
    return false;
  }
  --fault.times;
  return true;
}

UsbResult EmulatedPs3Adaptor::BulkTransfer(uint8_t endpoint, std::span<uint8_t> data,
                                           int& transferred, std::chrono::milliseconds timeout) {
  transferred = 0;
  if (!faults.plugged_in) return UsbResult::Gone;
  if (!claimed_ || timeout.count() <= 0) return UsbResult::Failed;
  if (endpoint == BulkOut) {
    packets_.emplace_back(data.begin(), data.end());
    const UsbResult result = Receive(data);
    if (result == UsbResult::Ok) transferred = static_cast<int>(data.size());
    return result;
  }
  if (endpoint != BulkIn) return UsbResult::Failed;
  if (reply_times_out_ || reply_.empty()) {
    reply_.clear();
    return UsbResult::Timeout;
  }
  size_t length = std::min(reply_.size(), data.size());
  if (reply_short_) length /= 2;
  std::copy_n(reply_.begin(), length, data.begin());
  transferred = static_cast<int>(length);
  reply_.clear();
  return UsbResult::Ok;
}

UsbResult EmulatedPs3Adaptor::Receive(std::span<const uint8_t> packet) {
  reply_.clear();
  reply_times_out_ = reply_short_ = false;
  if (packet.size() == 2 && packet[0] == 0xAA && packet[1] == 0x40) {
    // What the adaptor says with no card in it is not documented; 55 00 stands for "neither".
    const uint8_t type = !card_.inserted() ? 0x00 : faults.ps2_card ? 0x02 : 0x01;
    reply_ = {0x55, type};
    return UsbResult::Ok;
  }
  const bool pass_through = packet.size() >= 4 && packet[0] == 0xAA && packet[1] == 0x42 &&
                            static_cast<size_t>(packet[2] | (packet[3] << 8)) == packet.size() - 4;
  if (!pass_through) return UsbResult::Ok;  // an unknown command gets no reply
  const int frame = AddressedFrame(packet);
  if (frame >= 0 && frame == faults.unplugged_at_frame) {
    faults.plugged_in = false;
    open_ = claimed_ = false;
    return UsbResult::Gone;
  }
  if (faults.authentication_fails) {
    reply_.assign(packet.size(), 0x00);
    reply_[0] = 0x55;
    reply_[1] = 0xAF;
    return UsbResult::Ok;
  }
  reply_ = PassThrough(packet);
  reply_times_out_ = Strike(faults.timeout, frame);
  reply_short_ = Strike(faults.short_reply, frame);
  if (Strike(faults.garbled_reply, frame) && faults.garbled_byte < reply_.size()) {
    reply_[faults.garbled_byte] ^= 0x10;
  }
  return UsbResult::Ok;
}

std::vector<uint8_t> EmulatedPs3Adaptor::PassThrough(std::span<const uint8_t> packet) {
  std::vector<uint8_t> reply(packet.size(), 0x00);
  reply[0] = 0x55;
  reply[1] = 0x5A;
  const uint16_t base = card_.port_base();
  ScopedPortBackend wired(card_);
  BeginTransaction(base, LinkPacing);
  for (size_t i = 4; i < packet.size(); ++i) {
    reply[i] = ExchangeByte(base, LinkPacing, packet[i], false);
  }
  EndTransaction(base, LinkPacing);
  return reply;
}
