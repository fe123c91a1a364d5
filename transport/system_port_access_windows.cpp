#include <windows.h>

#include "direct_port.h"
#include "windows_port_access.h"

namespace {
// The driver path comes from GetSystemDirectoryA in the ANSI code page, so it is tested in it.
bool AnsiFileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
}  // namespace

std::unique_ptr<PortAccess> MakeSystemPortAccess() {
  static DirectPort direct_port;
  return std::make_unique<WindowsPortAccess>(win32::SystemServices(), direct_port, AnsiFileExists);
}
