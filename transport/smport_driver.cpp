#include "smport_driver.h"

#include <array>

namespace {
using namespace win32;

void PutPort(uint8_t* buffer, uint16_t port) {
  buffer[SmportRequest::PortOffset] = static_cast<uint8_t>(port & 0xFF);
  buffer[SmportRequest::PortOffset + 1] = static_cast<uint8_t>(port >> 8);
}
}  // namespace

SmportDriver::SmportDriver(Services& api) : api_(api), driver_device_(InvalidHandle()) {
  DriverReset();
}

void SmportDriver::DriverReset() {
  driver_device_ = InvalidHandle();
  scm_handle_ = nullptr;
  driver_service_name_ = SmportServiceName;
  remove_service_on_close_ = true;
  stop_service_on_close_ = true;
}

std::string SmportDriver::DriverFilePath() {
  std::array<char, MaxPath> directory{};
  const Dword length = api_.GetSystemDirectoryA(directory.data(), MaxPath);
  // A length of MaxPath or more means the buffer was too small and holds nothing usable.
  const std::string system_directory =
      length < MaxPath ? std::string(directory.data(), length) : std::string();
  return system_directory + "\\" + driver_service_name_ + ".sys";
}

void SmportDriver::OpenSCM() {
  if (scm_handle_ != nullptr) return;
  driver_last_error_ = 0;
  scm_handle_ = api_.OpenSCManagerA(nullptr, nullptr, ScManagerAllAccess);
  if (scm_handle_ == nullptr) RecordFailure();
}

void SmportDriver::CloseSCM() {
  if (scm_handle_ == nullptr) return;
  api_.CloseServiceHandle(scm_handle_);
  scm_handle_ = nullptr;
}

void SmportDriver::InstallDriverService() {
  driver_last_error_ = 0;
  const std::string path = DriverFilePath();
  const Handle service = api_.CreateServiceA(
      scm_handle_, driver_service_name_.c_str(), driver_service_name_.c_str(), ServiceAllAccess,
      ServiceKernelDriver, ServiceDemandStart, ServiceErrorNormal, path.c_str());
  if (service != nullptr) {
    api_.CloseServiceHandle(service);
  } else {
    RecordFailure();
  }
}

template <typename Call>
void SmportDriver::WithDriverService(Call call) {
  driver_last_error_ = 0;
  const Handle service =
      api_.OpenServiceA(scm_handle_, driver_service_name_.c_str(), ServiceAllAccess);
  if (service == nullptr) {
    RecordFailure();
    return;
  }
  if (!call(service)) RecordFailure();
  api_.CloseServiceHandle(service);
}

void SmportDriver::StartDriverService() {
  WithDriverService([this](Handle service) { return api_.StartServiceA(service); });
}

void SmportDriver::StopDriverService() {
  WithDriverService(
      [this](Handle service) { return api_.ControlService(service, ServiceControlStop); });
}

void SmportDriver::RemoveDriverService() {
  WithDriverService([this](Handle service) { return api_.DeleteService(service); });
}

bool SmportDriver::DriverOpen() {
  if (DeviceOpen()) DriverCloseDevice();
  OpenSCM();
  if (driver_last_error_ != 0) return false;

  InstallDriverService();
  if (driver_last_error_ == ErrorServiceExists) {
    remove_service_on_close_ = false;
    driver_last_error_ = 0;
  } else if (driver_last_error_ != 0) {
    CloseSCM();
    return false;
  }

  StartDriverService();
  if (driver_last_error_ == ErrorServiceAlreadyRunning) {
    stop_service_on_close_ = false;
    driver_last_error_ = 0;
  }
  // The service manager is not held open during the transfer.
  CloseSCM();
  if (driver_last_error_ != 0) return false;

  const std::string device_path = "\\\\.\\" + driver_service_name_;
  driver_device_ = api_.CreateFileA(device_path.c_str(), GenericRead | GenericWrite, 0,
                                    OpenExisting, FileAttributeNormal);
  if (!DeviceOpen()) {
    RecordFailure();
    return false;
  }
  return true;
}

void SmportDriver::DriverCloseDevice() {
  if (!DeviceOpen()) return;
  api_.CloseHandle(driver_device_);
  driver_device_ = InvalidHandle();
}

void SmportDriver::DriverClose() {
  if (DeviceOpen()) DriverCloseDevice();
  OpenSCM();
  if (scm_handle_ == nullptr) return;
  // A stopped service can be deleted at once; a running one would linger until reboot.
  if (stop_service_on_close_) StopDriverService();
  if (remove_service_on_close_) RemoveDriverService();
  CloseSCM();
}

uint8_t SmportDriver::DriverReadPort(uint16_t port) {
  if (!DeviceOpen()) {
    driver_last_error_ = ErrorInvalidHandle;
    return 0;
  }
  std::array<uint8_t, SmportRequest::ReadInputSize> input{};
  std::array<uint8_t, SmportRequest::OutputSize> output{};
  PutPort(input.data(), port);
  Dword returned = 0;
  if (!api_.DeviceIoControl(driver_device_, IoctlReadPort, input.data(),
                            SmportRequest::ReadInputSize, output.data(), SmportRequest::OutputSize,
                            &returned)) {
    RecordFailure();
    return 0;
  }
  return output[SmportRequest::ReadValueOffset];
}

void SmportDriver::DriverWritePort(uint16_t port, uint8_t value) {
  if (!DeviceOpen()) {
    driver_last_error_ = ErrorInvalidHandle;
    return;
  }
  std::array<uint8_t, SmportRequest::WriteInputSize> input{};  // byte 3 stays 0
  std::array<uint8_t, SmportRequest::OutputSize> output{};
  PutPort(input.data(), port);
  input[SmportRequest::WriteValueOffset] = value;
  Dword returned = 0;
  if (!api_.DeviceIoControl(driver_device_, IoctlWritePort, input.data(),
                            SmportRequest::WriteInputSize, output.data(), SmportRequest::OutputSize,
                            &returned)) {
    RecordFailure();
  }
}
