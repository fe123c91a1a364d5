#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "readers/usb_calls.h"
#include "transport/emulated_card.h"

// The USB memory-card adaptor made for the PS3, modelled from its public description: it answers
// "AA 40" with the card type and passes each "AA 42" packet's card bytes to the emulated card,
// one byte exchanged on the card's lines per byte sent, replying "55 5A" and the card's answers.
// It stands in for the device in tests and behind `--leitor ps3usb --cartao-virtual`.

// Something the adaptor does wrongly `times` times for the packets addressing `frame`.
struct AdaptorFrameFault {
  static constexpr int Never = -1;
  int frame = Never;
  int times = 0;
};

struct EmulatedPs3AdaptorFaults {
  bool plugged_in = true;
  bool access_denied = false;   // no udev rule: opening is refused
  bool interface_busy = false;  // another program claimed it
  bool kernel_driver_attached = true;
  bool ps2_card = false;
  bool authentication_fails = false;  // every pass-through answers 55 AF
  int unplugged_at_frame = AdaptorFrameFault::Never;
  AdaptorFrameFault short_reply;    // the reply stops half-way
  AdaptorFrameFault garbled_reply;  // one byte of the reply is damaged: garbled_byte
  size_t garbled_byte = 20;         // a data byte of a read reply
  AdaptorFrameFault timeout;        // no reply at all
};

class EmulatedPs3Adaptor final : public UsbCalls {
 public:
  explicit EmulatedPs3Adaptor(EmulatedCard& card) : card_(card) {}

  bool IsPresent(uint16_t vendor, uint16_t product) override;
  UsbResult Open(uint16_t vendor, uint16_t product) override;
  void Close() override;
  UsbResult KernelDriverActive(int interface_number, bool& active) override;
  UsbResult DetachKernelDriver(int interface_number) override;
  UsbResult AttachKernelDriver(int interface_number) override;
  UsbResult ClaimInterface(int interface_number) override;
  UsbResult ReleaseInterface(int interface_number) override;
  UsbResult BulkTransfer(uint8_t endpoint, std::span<uint8_t> data, int& transferred,
                         std::chrono::milliseconds timeout) override;
  void Sleep(std::chrono::milliseconds duration) override;

  EmulatedPs3AdaptorFaults faults;

  // What the host did, in order: "open", "detach 0", "claim 0", "release 0", "attach 0", "close".
  const std::vector<std::string>& calls() const { return calls_; }
  // Every packet sent to the OUT endpoint, as sent.
  const std::vector<std::vector<uint8_t>>& packets() const { return packets_; }
  std::chrono::milliseconds slept() const { return slept_; }
  bool open() const { return open_; }
  bool claimed() const { return claimed_; }
  bool driver_attached() const { return faults.kernel_driver_attached; }

 private:
  bool Matches(uint16_t vendor, uint16_t product) const;
  UsbResult InterfaceReady(int interface_number) const;
  UsbResult Receive(std::span<const uint8_t> packet);
  std::vector<uint8_t> PassThrough(std::span<const uint8_t> packet);
  static bool Strike(AdaptorFrameFault& fault, int frame);

  EmulatedCard& card_;
  std::vector<std::string> calls_;
  std::vector<std::vector<uint8_t>> packets_;
  std::vector<uint8_t> reply_;
  bool reply_times_out_ = false;
  bool reply_short_ = false;
  bool open_ = false;
  bool claimed_ = false;
  std::chrono::milliseconds slept_{0};
};
