#include "windows_port_access.h"

#include <utility>

void WindowsPortAccess::Backend::Out(uint16_t port, uint8_t value) {
  if (DirectPortIO) {
    direct_port_.Out(port, value);
  } else {
    driver_.DriverWritePort(port, value);
  }
}

uint8_t WindowsPortAccess::Backend::In(uint16_t port) {
  return DirectPortIO ? direct_port_.In(port) : driver_.DriverReadPort(port);
}

WindowsPortAccess::WindowsPortAccess(win32::Services& api, PortBackend& direct_port,
                                     FileExistsCheck file_exists)
    : driver_(api), backend_(direct_port, driver_), file_exists_(std::move(file_exists)) {}

WindowsPortAccess::~WindowsPortAccess() {
  Release();
}

std::optional<PortFailure> WindowsPortAccess::Prepare(uint16_t) {
  // A second preparation must not make the driver forget a device it still holds.
  Release();
  if (!DirectPortIO) {
    if (!file_exists_(driver_.DriverFilePath())) {
      return PortFailure{DriverFileMissingText, PortFailureCaption};
    }
    driver_.DriverReset();
    driver_touched_ = true;
    if (!driver_.DriverOpen()) return PortFailure{DriverOpenFailedText, PortFailureCaption};
  }
  installed_.emplace(backend_);
  return std::nullopt;
}

void WindowsPortAccess::Release() {
  installed_.reset();
  if (!driver_touched_) return;
  driver_touched_ = false;
  driver_.DriverCloseDevice();
  driver_.DriverClose();
}
