#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

// An input/output failure that no operation tests for: it ends the command and reaches the
// application-wide error handler, which shows the path and the system's reason.
// partly_written: the failure came while the file itself was being rewritten in place, so it may
// hold part of the new bytes.
class FileError : public std::runtime_error {
 public:
  FileError(std::string path, std::error_code reason, bool partly_written = false);
  const std::string& path() const { return path_; }
  std::error_code reason() const { return reason_; }
  bool partly_written() const { return partly_written_; }

 private:
  std::string path_;
  std::error_code reason_;
  bool partly_written_;
};

// Reasons of this program's own, beside the system's error numbers.
enum class FileRefusal {
  NotARegularFile = 1,  // a device, FIFO or socket: writing would not make a file of it
};
const std::error_category& FileRefusalCategory();
std::error_code make_error_code(FileRefusal refusal);
template <>
struct std::is_error_code_enum<FileRefusal> : std::true_type {};

// Paths are the system's bytes (UTF-8 text where the names are valid UTF-8), used unchanged.
std::filesystem::path PathFromText(const std::string& path);

// True when a regular file (not a folder) exists at path.
bool RegularFileExists(const std::string& path);

// Writes the whole file or nothing: the bytes go to a temporary file in the target's folder, which
// then replaces the target, keeping its permissions, owner and group. A link is followed (its
// target is written, created when missing); a folder, device, FIFO or socket is refused untouched.
// A file that cannot be replaced without losing its owner, its other hard links, or because its
// folder takes no new files, is rewritten in place from the complete bytes instead. Throws
// FileError.
void WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

// True when both paths name one existing file (same device and inode; links followed), whatever
// their text.
bool SameFile(const std::string& first, const std::string& second);

// Throws FileError when a file could not be written at path: its folder is missing, the path names
// something other than a regular file, or the user may not write there. For checking before long
// work whose result would otherwise be lost.
void CheckFileCanBeWritten(const std::string& path);

// A digest of the file's whole content, to tell later whether another program changed it; none
// when the file cannot be read.
std::optional<uint64_t> ContentStampOf(const std::string& path);

// Reads at most max_bytes from the start of the file. Throws FileError.
std::vector<uint8_t> ReadFilePrefix(const std::string& path, std::size_t max_bytes);

// The size of the file in bytes. Throws FileError.
std::uintmax_t FileSizeOf(const std::string& path);
