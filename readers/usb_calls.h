#pragma once

#include <chrono>
#include <cstdint>
#include <span>

// The few libusb-1.0 calls the USB adaptor needs, behind one small interface: the program uses
// libusb itself, the tests an emulated adaptor. One device is open at a time.

enum class UsbResult {
  Ok,
  NotFound,      // no device with those ids
  AccessDenied,  // the device node is not ours to open: a missing udev rule
  Gone,          // unplugged while in use
  Timeout,
  Busy,          // another program or driver holds the interface
  NotSupported,  // e.g. kernel-driver calls on a platform without them
  Failed,
};

class UsbCalls {
 public:
  virtual ~UsbCalls() = default;
  // Looks at the bus only; nothing is opened.
  virtual bool IsPresent(uint16_t vendor, uint16_t product) = 0;
  virtual UsbResult Open(uint16_t vendor, uint16_t product) = 0;
  virtual void Close() = 0;
  // Ok with active set, or a failure.
  virtual UsbResult KernelDriverActive(int interface_number, bool& active) = 0;
  virtual UsbResult DetachKernelDriver(int interface_number) = 0;
  virtual UsbResult AttachKernelDriver(int interface_number) = 0;
  virtual UsbResult ClaimInterface(int interface_number) = 0;
  virtual UsbResult ReleaseInterface(int interface_number) = 0;
  // A bulk transfer on endpoint (bit 7 set: IN); transferred counts the bytes moved, also when
  // the result is a failure.
  virtual UsbResult BulkTransfer(uint8_t endpoint, std::span<uint8_t> data, int& transferred,
                                 std::chrono::milliseconds timeout) = 0;
  // Waits between commands; the emulated adaptor only records it.
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};
