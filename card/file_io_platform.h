#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <system_error>

// The one piece of file writing that needs the operating system: a durable write and an atomic
// replace. One implementation per platform, chosen by CMake.

// Creates temporary (which must not exist), writes bytes, flushes them to the disk and renames
// temporary over target. On failure returns the reason and leaves target as it was; removing
// temporary is the caller's task.
std::error_code WriteNewFileAndReplace(const std::filesystem::path& temporary,
                                       const std::filesystem::path& target,
                                       std::span<const uint8_t> bytes);
