#pragma once

#include <cstdint>

// The few Win32 calls that manage the port driver's service and talk to its device. The
// driver logic is written once against this table; on Windows it is bound to the real API,
// in tests to a fake service manager.

namespace win32 {
using Dword = uint32_t;
using Handle = void*;  // SC_HANDLE or HANDLE; null is "no handle" for the service manager

// INVALID_HANDLE_VALUE, what CreateFileA returns on failure.
inline Handle InvalidHandle() {
  return reinterpret_cast<Handle>(static_cast<intptr_t>(-1));
}

inline constexpr Dword ScManagerAllAccess = 0xF003F;
inline constexpr Dword ServiceAllAccess = 0xF01FF;
inline constexpr Dword ServiceKernelDriver = 1;
inline constexpr Dword ServiceDemandStart = 3;
inline constexpr Dword ServiceErrorNormal = 1;
inline constexpr Dword ServiceControlStop = 1;
inline constexpr Dword GenericRead = 0x80000000;
inline constexpr Dword GenericWrite = 0x40000000;
inline constexpr Dword OpenExisting = 3;
inline constexpr Dword FileAttributeNormal = 0x80;
inline constexpr Dword MaxPath = 260;

inline constexpr Dword ErrorFileNotFound = 2;
inline constexpr Dword ErrorAccessDenied = 5;
inline constexpr Dword ErrorInvalidHandle = 6;
inline constexpr Dword ErrorServiceAlreadyRunning = 1056;
inline constexpr Dword ErrorServiceDoesNotExist = 1060;
inline constexpr Dword ErrorServiceNotActive = 1062;
inline constexpr Dword ErrorServiceExists = 1073;

// CTL_CODE(device type, function, method, access).
inline constexpr Dword ControlCode(Dword device_type, Dword function, Dword method, Dword access) {
  return (device_type << 16) | (access << 14) | (function << 2) | method;
}
inline constexpr Dword MethodBuffered = 0;
inline constexpr Dword FileReadAccess = 1;
inline constexpr Dword FileWriteAccess = 2;

class Services {
 public:
  virtual ~Services() = default;
  virtual Handle OpenSCManagerA(const char* machine_name, const char* database_name,
                                Dword desired_access) = 0;
  // Load-order group, tag, dependencies, start name and password are always absent.
  virtual Handle CreateServiceA(Handle manager, const char* service_name, const char* display_name,
                                Dword desired_access, Dword service_type, Dword start_type,
                                Dword error_control, const char* binary_path) = 0;
  virtual Handle OpenServiceA(Handle manager, const char* service_name, Dword desired_access) = 0;
  // No arguments are passed to the service.
  virtual bool StartServiceA(Handle service) = 0;
  // The service status it reports is not examined.
  virtual bool ControlService(Handle service, Dword control) = 0;
  virtual bool DeleteService(Handle service) = 0;
  virtual bool CloseServiceHandle(Handle handle) = 0;
  // No security attributes and no template file.
  virtual Handle CreateFileA(const char* file_name, Dword desired_access, Dword share_mode,
                             Dword creation_disposition, Dword flags_and_attributes) = 0;
  // Synchronous: no overlapped structure.
  virtual bool DeviceIoControl(Handle device, Dword control_code, const void* in_buffer,
                               Dword in_size, void* out_buffer, Dword out_size,
                               Dword* bytes_returned) = 0;
  virtual bool CloseHandle(Handle handle) = 0;
  virtual Dword GetLastError() = 0;
  virtual Dword GetSystemDirectoryA(char* buffer, Dword size) = 0;
};
}  // namespace win32

namespace win32 {
// The real API; Windows builds only.
Services& SystemServices();
}  // namespace win32
