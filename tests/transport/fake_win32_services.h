#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "transport/port.h"
#include "transport/win32_services.h"

// A service manager and SMPORT device that behave like the real ones for the calls the driver
// makes: the service can start absent, installed and stopped, or running; any call can be made
// to fail with a chosen error; every call is recorded. Port requests reach an attached port
// (for instance the emulated card) once the device is open.
class FakeWin32Services final : public win32::Services {
 public:
  enum class ServiceState { Absent, Stopped, Running };

  win32::Handle OpenSCManagerA(const char* machine_name, const char* database_name,
                               win32::Dword desired_access) override;
  win32::Handle CreateServiceA(win32::Handle manager, const char* service_name,
                               const char* display_name, win32::Dword desired_access,
                               win32::Dword service_type, win32::Dword start_type,
                               win32::Dword error_control, const char* binary_path) override;
  win32::Handle OpenServiceA(win32::Handle manager, const char* service_name,
                             win32::Dword desired_access) override;
  bool StartServiceA(win32::Handle service) override;
  bool ControlService(win32::Handle service, win32::Dword control) override;
  bool DeleteService(win32::Handle service) override;
  bool CloseServiceHandle(win32::Handle handle) override;
  win32::Handle CreateFileA(const char* file_name, win32::Dword desired_access,
                            win32::Dword share_mode, win32::Dword creation_disposition,
                            win32::Dword flags_and_attributes) override;
  bool DeviceIoControl(win32::Handle device, win32::Dword control_code, const void* in_buffer,
                       win32::Dword in_size, void* out_buffer, win32::Dword out_size,
                       win32::Dword* bytes_returned) override;
  bool CloseHandle(win32::Handle handle) override;
  win32::Dword GetLastError() override { return last_error_; }
  win32::Dword GetSystemDirectoryA(char* buffer, win32::Dword size) override;

  // The state of the "Smport" service.
  ServiceState service = ServiceState::Absent;
  std::string system_directory = "C:\\WINDOWS\\system32";
  // Calls named here fail with the given error code, every time.
  std::map<std::string, win32::Dword> failures;
  // Port requests go here; without one, reads answer 0xFF.
  PortBackend* port = nullptr;

  // Service-manager and device calls in order, e.g. "StartServiceA(Smport)"; port requests are
  // only counted, and the last one kept.
  std::vector<std::string> calls;
  std::size_t port_requests = 0;
  std::vector<uint8_t> last_request_input;
  win32::Dword last_request_code = 0;
  win32::Dword last_request_output_size = 0;

  // Service parameters of the last CreateServiceA.
  struct CreatedService {
    std::string name, display_name, binary_path;
    win32::Dword access = 0, type = 0, start = 0, error_control = 0;
  };
  CreatedService created;
  // Arguments of the last CreateFileA.
  struct OpenedFile {
    std::string name;
    win32::Dword access = 0, share_mode = 0, disposition = 0, flags = 0;
  };
  OpenedFile opened;
  // DeleteService on a running service only marks it; it goes when it stops.
  bool marked_for_delete = false;

  std::size_t OpenHandleCount() const { return open_handles_.size(); }
  bool DeviceOpen() const { return device_open_; }

 private:
  enum class HandleKind { Manager, Service, Device };
  bool Fails(const std::string& call);
  win32::Handle NewHandle(HandleKind kind);
  bool IsOpen(win32::Handle handle, HandleKind kind) const;
  bool Fail(win32::Dword error);
  win32::Handle FailHandle(win32::Dword error);

  win32::Dword last_error_ = 0;
  uintptr_t next_handle_ = 0x100;
  std::map<win32::Handle, HandleKind> open_handles_;
  bool device_open_ = false;
};
