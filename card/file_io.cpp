#include "file_io.h"

#include <cerrno>
#include <fstream>
#include <random>
#include <utility>

#include "file_io_platform.h"

namespace {

constexpr int kTemporaryNameAttempts = 8;

std::string DescribeFailure(const std::string& path, std::error_code reason) {
  return path + ": " + reason.message();
}

// fstream reports no reason of its own; the C library behind it leaves one in errno.
std::error_code LastSystemError() {
  int code = errno;
  return code != 0 ? std::error_code(code, std::generic_category())
                   : std::make_error_code(std::errc::io_error);
}

}  // namespace

FileError::FileError(std::string path, std::error_code reason)
    : std::runtime_error(DescribeFailure(path, reason)), path_(std::move(path)), reason_(reason) {}

std::filesystem::path PathFromText(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

bool RegularFileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(PathFromText(path), ignored);
}

void WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
  std::filesystem::path target = PathFromText(path);
  std::error_code ignored;
  // Replacing a link would cut it; the file it names is the one to replace.
  if (std::filesystem::is_symlink(target, ignored)) {
    std::filesystem::path resolved = std::filesystem::canonical(target, ignored);
    if (!ignored) target = resolved;
  }
  // A leftover temporary file from an interrupted run must not block the next save.
  std::random_device entropy;
  std::error_code reason;
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    std::filesystem::path temporary = target;
    temporary += ".tmp" + std::to_string(entropy());
    reason = WriteNewFileAndReplace(temporary, target, bytes);
    if (!reason) return;
    if (reason == std::errc::file_exists) continue;
    std::filesystem::remove(temporary, ignored);
    break;
  }
  throw FileError(path, reason);
}

std::vector<uint8_t> ReadFilePrefix(const std::string& path, std::size_t max_bytes) {
  errno = 0;
  std::ifstream file(PathFromText(path), std::ios::binary);
  if (!file) throw FileError(path, LastSystemError());
  std::vector<uint8_t> bytes(max_bytes);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(max_bytes));
  if (file.bad()) throw FileError(path, LastSystemError());
  bytes.resize(static_cast<std::size_t>(file.gcount()));
  return bytes;
}

std::uintmax_t FileSizeOf(const std::string& path) {
  std::error_code reason;
  std::uintmax_t size = std::filesystem::file_size(PathFromText(path), reason);
  if (reason) throw FileError(path, reason);
  return size;
}
