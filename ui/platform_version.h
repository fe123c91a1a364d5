#pragma once

#include <optional>

// The operating system's platform identifier as GetVersionExA reports it; nothing where the
// system has no such query.
std::optional<unsigned long> QueryPlatformId();

// Only the Windows 9x family (platform identifier 1) lets a program use port instructions.
inline constexpr unsigned long Win32WindowsPlatformId = 1;
inline bool DirectPortIOForPlatform(std::optional<unsigned long> platform_id) {
  return platform_id == Win32WindowsPlatformId;
}
