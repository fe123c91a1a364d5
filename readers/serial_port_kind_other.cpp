#include "readers/serial_port_kind.h"

// Systems without device files: the port's own error is all there is to say.
std::optional<std::string> NotASerialPort(const std::string&) {
  return std::nullopt;
}

bool MayOpenDevice(const std::string&) {
  return false;
}
