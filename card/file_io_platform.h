#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <system_error>

// The piece of file writing that needs the operating system. One implementation per platform,
// chosen by CMake.

struct WriteOutcome {
  std::error_code reason;       // empty on success
  bool partly_written = false;  // the target itself was being rewritten when it failed
};

// Writes bytes as the whole content of target, a regular file or a name not yet taken, whose
// links have already been followed: through a temporary file that replaces it, or in place when
// replacing would lose its owner or its other links or the folder takes no new file.
WriteOutcome WriteWholeFile(const std::filesystem::path& target, std::span<const uint8_t> bytes);

// A fresh name for a temporary file, short enough for any folder whatever the target's name.
std::string TemporaryFileName();

// True for a name TemporaryFileName could have given, and for no other.
bool IsTemporaryFileName(std::string_view name);

// The reason the user may not write target (an existing file) or create it in its folder; none
// where the system lets it be written.
std::error_code WriteAccessProblem(const std::filesystem::path& target, bool exists);
