#include "fake_win32_services.h"

#include <cstring>

#include "transport/smport_driver.h"

namespace {
using namespace win32;
constexpr Dword ErrorInvalidParameter = 87;
constexpr Dword ErrorSharingViolation = 32;
constexpr Dword ErrorServiceMarkedForDelete = 1072;
constexpr const char* DevicePath = "\\\\.\\Smport";
}  // namespace

bool FakeWin32Services::Fail(Dword error) {
  last_error_ = error;
  return false;
}

Handle FakeWin32Services::FailHandle(Dword error) {
  last_error_ = error;
  return nullptr;
}

bool FakeWin32Services::Fails(const std::string& call) {
  const auto failure = failures.find(call);
  if (failure == failures.end()) return false;
  last_error_ = failure->second;
  return true;
}

Handle FakeWin32Services::NewHandle(HandleKind kind) {
  const Handle handle = reinterpret_cast<Handle>(next_handle_);
  next_handle_ += 4;
  open_handles_[handle] = kind;
  return handle;
}

bool FakeWin32Services::IsOpen(Handle handle, HandleKind kind) const {
  const auto entry = open_handles_.find(handle);
  return entry != open_handles_.end() && entry->second == kind;
}

Handle FakeWin32Services::OpenSCManagerA(const char* machine_name, const char* database_name,
                                         Dword desired_access) {
  calls.push_back("OpenSCManagerA");
  if (Fails("OpenSCManagerA")) return nullptr;
  if (machine_name != nullptr || database_name != nullptr || desired_access != ScManagerAllAccess) {
    Fail(ErrorInvalidParameter);
    return nullptr;
  }
  return NewHandle(HandleKind::Manager);
}

Handle FakeWin32Services::CreateServiceA(Handle manager, const char* service_name,
                                         const char* display_name, Dword desired_access,
                                         Dword service_type, Dword start_type, Dword error_control,
                                         const char* binary_path) {
  calls.push_back("CreateServiceA");
  created = {service_name, display_name, binary_path,  desired_access,
             service_type, start_type,   error_control};
  if (Fails("CreateServiceA")) return nullptr;
  if (!IsOpen(manager, HandleKind::Manager)) return FailHandle(ErrorInvalidHandle);
  if (std::strcmp(service_name, SmportServiceName) != 0) return FailHandle(ErrorInvalidParameter);
  if (marked_for_delete) return FailHandle(ErrorServiceMarkedForDelete);
  if (service != ServiceState::Absent) return FailHandle(ErrorServiceExists);
  service = ServiceState::Stopped;
  return NewHandle(HandleKind::Service);
}

Handle FakeWin32Services::OpenServiceA(Handle manager, const char* service_name,
                                       Dword desired_access) {
  calls.push_back("OpenServiceA");
  if (Fails("OpenServiceA")) return nullptr;
  if (!IsOpen(manager, HandleKind::Manager)) return FailHandle(ErrorInvalidHandle);
  if (desired_access != ServiceAllAccess) return FailHandle(ErrorInvalidParameter);
  if (std::strcmp(service_name, SmportServiceName) != 0 || service == ServiceState::Absent) {
    return FailHandle(ErrorServiceDoesNotExist);
  }
  return NewHandle(HandleKind::Service);
}

bool FakeWin32Services::StartServiceA(Handle handle) {
  calls.push_back("StartServiceA");
  if (Fails("StartServiceA")) return false;
  if (!IsOpen(handle, HandleKind::Service)) return Fail(ErrorInvalidHandle);
  if (marked_for_delete) return Fail(ErrorServiceMarkedForDelete);
  if (service == ServiceState::Running) return Fail(ErrorServiceAlreadyRunning);
  service = ServiceState::Running;
  return true;
}

bool FakeWin32Services::ControlService(Handle handle, Dword control) {
  calls.push_back("ControlService");
  if (Fails("ControlService")) return false;
  if (!IsOpen(handle, HandleKind::Service)) return Fail(ErrorInvalidHandle);
  if (control != ServiceControlStop) return Fail(ErrorInvalidParameter);
  if (service != ServiceState::Running) return Fail(ErrorServiceNotActive);
  service = marked_for_delete ? ServiceState::Absent : ServiceState::Stopped;
  if (service == ServiceState::Absent) marked_for_delete = false;
  return true;
}

bool FakeWin32Services::DeleteService(Handle handle) {
  calls.push_back("DeleteService");
  if (Fails("DeleteService")) return false;
  if (!IsOpen(handle, HandleKind::Service)) return Fail(ErrorInvalidHandle);
  if (marked_for_delete) return Fail(ErrorServiceMarkedForDelete);
  if (service == ServiceState::Running) {
    marked_for_delete = true;
  } else {
    service = ServiceState::Absent;
  }
  return true;
}

bool FakeWin32Services::CloseServiceHandle(Handle handle) {
  calls.push_back("CloseServiceHandle");
  if (Fails("CloseServiceHandle")) return false;
  if (!IsOpen(handle, HandleKind::Manager) && !IsOpen(handle, HandleKind::Service)) {
    return Fail(ErrorInvalidHandle);
  }
  open_handles_.erase(handle);
  return true;
}

Handle FakeWin32Services::CreateFileA(const char* file_name, Dword desired_access, Dword share_mode,
                                      Dword creation_disposition, Dword flags_and_attributes) {
  calls.push_back("CreateFileA");
  opened = {file_name, desired_access, share_mode, creation_disposition, flags_and_attributes};
  if (Fails("CreateFileA")) return InvalidHandle();
  if (std::strcmp(file_name, DevicePath) != 0 || service != ServiceState::Running) {
    Fail(ErrorFileNotFound);
    return InvalidHandle();
  }
  if (device_open_) {
    Fail(ErrorSharingViolation);
    return InvalidHandle();
  }
  device_open_ = true;
  return NewHandle(HandleKind::Device);
}

bool FakeWin32Services::DeviceIoControl(Handle device, Dword control_code, const void* in_buffer,
                                        Dword in_size, void* out_buffer, Dword out_size,
                                        Dword* bytes_returned) {
  ++port_requests;
  const auto* input = static_cast<const uint8_t*>(in_buffer);
  last_request_input.assign(input, input + in_size);
  last_request_code = control_code;
  last_request_output_size = out_size;
  if (Fails("DeviceIoControl")) return false;
  if (!IsOpen(device, HandleKind::Device)) return Fail(ErrorInvalidHandle);
  if (out_size < SmportRequest::OutputSize) return Fail(ErrorInvalidParameter);
  const uint16_t address = static_cast<uint16_t>(input[0] | (input[1] << 8));
  auto* output = static_cast<uint8_t*>(out_buffer);
  if (control_code == IoctlReadPort && in_size == SmportRequest::ReadInputSize) {
    output[0] = port != nullptr ? port->In(address) : 0xFF;
    output[1] = 0;
  } else if (control_code == IoctlWritePort && in_size == SmportRequest::WriteInputSize &&
             input[3] == 0) {
    if (port != nullptr) port->Out(address, input[2]);
  } else {
    return Fail(ErrorInvalidParameter);
  }
  *bytes_returned = SmportRequest::OutputSize;
  return true;
}

bool FakeWin32Services::CloseHandle(Handle handle) {
  calls.push_back("CloseHandle");
  if (Fails("CloseHandle")) return false;
  if (!IsOpen(handle, HandleKind::Device)) return Fail(ErrorInvalidHandle);
  open_handles_.erase(handle);
  device_open_ = false;
  return true;
}

Dword FakeWin32Services::GetSystemDirectoryA(char* buffer, Dword size) {
  if (system_directory.size() + 1 > size) return static_cast<Dword>(system_directory.size() + 1);
  std::memcpy(buffer, system_directory.c_str(), system_directory.size() + 1);
  return static_cast<Dword>(system_directory.size());
}
