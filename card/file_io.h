#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

// An input/output failure that no operation tests for: it ends the command and reaches the
// application-wide error handler, which shows the path and the system's reason.
class FileError : public std::runtime_error {
 public:
  FileError(std::string path, std::error_code reason);
  const std::string& path() const { return path_; }
  std::error_code reason() const { return reason_; }

 private:
  std::string path_;
  std::error_code reason_;
};

// Paths are UTF-8 text, as the user typed or chose them.
std::filesystem::path PathFromText(const std::string& path);

// True when a regular file (not a folder) exists at path.
bool RegularFileExists(const std::string& path);

// Writes the bytes to a temporary file in the target's folder, flushes it and renames it over
// the target, so the target is either the old file or the whole new one. Throws FileError.
void WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// Reads at most max_bytes from the start of the file. Throws FileError.
std::vector<uint8_t> ReadFilePrefix(const std::string& path, std::size_t max_bytes);

// The size of the file in bytes. Throws FileError.
std::uintmax_t FileSizeOf(const std::string& path);
