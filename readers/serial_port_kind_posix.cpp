#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

#include "readers/serial_port_kind.h"

namespace {

// Whether the kernel files the character device among terminals; nothing when sysfs does not
// say (pseudo-terminals have no entry there).
std::optional<bool> IsTerminalDevice(dev_t device) {
  const std::string entry = "/sys/dev/char/" + std::to_string(major(device)) + ':' +
                            std::to_string(minor(device)) + "/subsystem";
  std::error_code error;
  const std::filesystem::path subsystem = std::filesystem::read_symlink(entry, error);
  if (error) return std::nullopt;
  return subsystem.filename() == "tty";
}

}  // namespace

std::optional<std::string> NotASerialPort(const std::string& port) {
  struct stat status {};
  if (::stat(port.c_str(), &status) != 0) return std::nullopt;
  if (S_ISDIR(status.st_mode)) return "é uma pasta, não uma porta serial";
  if (!S_ISCHR(status.st_mode)) return "não é uma porta serial (é um arquivo comum)";
  if (IsTerminalDevice(status.st_rdev) == false) return "não é uma porta serial";
  return std::nullopt;
}

bool MayOpenDevice(const std::string& port) {
  return ::access(port.c_str(), R_OK | W_OK) == 0;
}
