#include <windows.h>

#include "platform_version.h"

std::optional<unsigned long> QueryPlatformId() {
  OSVERSIONINFOA info{};
  // The size of the record with its 128-character service-pack text.
  info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  if (!GetVersionExA(&info)) return std::nullopt;
  return info.dwPlatformId;
}
