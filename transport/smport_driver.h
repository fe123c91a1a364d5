#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "win32_services.h"

// The kernel port-I/O driver SMPORT.SYS: installed as a demand-start service for the length of
// one transfer, opened as a device, and asked for single port reads and writes. Closing undoes
// only what opening did: a service that existed before stays installed, one that was running
// stays running. Failures are kept in DriverLastError, never shown.

inline constexpr win32::Dword SmportDeviceType = 0xF100;
inline constexpr win32::Dword IoctlReadPort =
    win32::ControlCode(SmportDeviceType, 0x901, win32::MethodBuffered, win32::FileReadAccess);
inline constexpr win32::Dword IoctlWritePort =
    win32::ControlCode(SmportDeviceType, 0x902, win32::MethodBuffered, win32::FileWriteAccess);
static_assert(IoctlReadPort == 0xF1006404 && IoctlWritePort == 0xF100A408);

// Request buffers, little-endian: a read sends the port address and gets the value in byte 0;
// a write sends the address, the value and a zero byte.
namespace SmportRequest {
inline constexpr win32::Dword ReadInputSize = 2;
inline constexpr win32::Dword WriteInputSize = 4;
inline constexpr win32::Dword OutputSize = 2;
inline constexpr std::size_t PortOffset = 0;  // u16
inline constexpr std::size_t WriteValueOffset = 2;
inline constexpr std::size_t ReadValueOffset = 0;
}  // namespace SmportRequest

inline constexpr const char* SmportServiceName = "Smport";

class SmportDriver {
 public:
  explicit SmportDriver(win32::Services& api);
  ~SmportDriver() = default;
  SmportDriver(const SmportDriver&) = delete;
  SmportDriver& operator=(const SmportDriver&) = delete;

  // Back to the starting values; an open handle is forgotten, not closed.
  void DriverReset();
  bool DriverOpen();
  void DriverCloseDevice();
  void DriverClose();
  uint8_t DriverReadPort(uint16_t port);
  void DriverWritePort(uint16_t port, uint8_t value);

  // The system directory followed by "\Smport.sys", where the driver file must be.
  std::string DriverFilePath();

  win32::Dword DriverLastError() const { return driver_last_error_; }
  bool RemoveServiceOnClose() const { return remove_service_on_close_; }
  bool StopServiceOnClose() const { return stop_service_on_close_; }
  bool DeviceOpen() const { return driver_device_ != win32::InvalidHandle(); }

 private:
  void OpenSCM();
  void CloseSCM();
  void InstallDriverService();
  void StartDriverService();
  void StopDriverService();
  void RemoveDriverService();
  // Opens the service, applies one call to it, records a failure and closes it again.
  template <typename Call>
  void WithDriverService(Call call);
  void RecordFailure() { driver_last_error_ = api_.GetLastError(); }

  win32::Services& api_;
  win32::Handle driver_device_;
  win32::Handle scm_handle_ = nullptr;
  std::string driver_service_name_;
  bool remove_service_on_close_ = true;
  bool stop_service_on_close_ = true;
  win32::Dword driver_last_error_ = 0;
};
