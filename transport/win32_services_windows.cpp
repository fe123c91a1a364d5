#include <windows.h>

#include "win32_services.h"

namespace win32 {
namespace {
SC_HANDLE Sc(Handle handle) {
  return static_cast<SC_HANDLE>(handle);
}

class RealServices final : public Services {
 public:
  Handle OpenSCManagerA(const char* machine_name, const char* database_name,
                        Dword desired_access) override {
    return ::OpenSCManagerA(machine_name, database_name, desired_access);
  }
  Handle CreateServiceA(Handle manager, const char* service_name, const char* display_name,
                        Dword desired_access, Dword service_type, Dword start_type,
                        Dword error_control, const char* binary_path) override {
    return ::CreateServiceA(Sc(manager), service_name, display_name, desired_access, service_type,
                            start_type, error_control, binary_path, nullptr, nullptr, nullptr,
                            nullptr, nullptr);
  }
  Handle OpenServiceA(Handle manager, const char* service_name, Dword desired_access) override {
    return ::OpenServiceA(Sc(manager), service_name, desired_access);
  }
  bool StartServiceA(Handle service) override {
    return ::StartServiceA(Sc(service), 0, nullptr) != FALSE;
  }
  bool ControlService(Handle service, Dword control) override {
    SERVICE_STATUS status{};
    return ::ControlService(Sc(service), control, &status) != FALSE;
  }
  bool DeleteService(Handle service) override { return ::DeleteService(Sc(service)) != FALSE; }
  bool CloseServiceHandle(Handle handle) override {
    return ::CloseServiceHandle(Sc(handle)) != FALSE;
  }
  Handle CreateFileA(const char* file_name, Dword desired_access, Dword share_mode,
                     Dword creation_disposition, Dword flags_and_attributes) override {
    return ::CreateFileA(file_name, desired_access, share_mode, nullptr, creation_disposition,
                         flags_and_attributes, nullptr);
  }
  bool DeviceIoControl(Handle device, Dword control_code, const void* in_buffer, Dword in_size,
                       void* out_buffer, Dword out_size, Dword* bytes_returned) override {
    DWORD returned = 0;
    const BOOL done = ::DeviceIoControl(device, control_code, const_cast<void*>(in_buffer), in_size,
                                        out_buffer, out_size, &returned, nullptr);
    *bytes_returned = returned;
    return done != FALSE;
  }
  bool CloseHandle(Handle handle) override { return ::CloseHandle(handle) != FALSE; }
  Dword GetLastError() override { return ::GetLastError(); }
  Dword GetSystemDirectoryA(char* buffer, Dword size) override {
    return ::GetSystemDirectoryA(buffer, size);
  }
};
}  // namespace

Services& SystemServices() {
  static RealServices services;
  return services;
}
}  // namespace win32
