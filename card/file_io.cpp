#include "file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <utility>

#include "file_io_platform.h"

namespace {

// As many as the Linux kernel follows before it gives up with ELOOP.
constexpr int kMaxLinkLevels = 40;

std::string DescribeFailure(const std::string& path, std::error_code reason) {
  return path + ": " + reason.message();
}

// fstream reports no reason of its own; the C library behind it leaves one in errno.
std::error_code LastSystemError() {
  int code = errno;
  return code != 0 ? std::error_code(code, std::generic_category())
                   : std::make_error_code(std::errc::io_error);
}

class FileRefusalCategoryImpl : public std::error_category {
 public:
  const char* name() const noexcept override { return "file refusal"; }
  std::string message(int code) const override {
    return code == static_cast<int>(FileRefusal::NotARegularFile) ? "not a regular file"
                                                                  : "unknown refusal";
  }
};

// The name a write lands on: a link's target, followed link by link so that a dangling link
// names the file to create, where canonical() would fail.
std::filesystem::path FollowLinks(std::filesystem::path target, std::error_code& reason) {
  for (int level = 0; level < kMaxLinkLevels; ++level) {
    std::error_code missing;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(target, missing))) {
      return target;
    }
    std::filesystem::path next = std::filesystem::read_symlink(target, reason);
    if (reason) return {};
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  reason = std::make_error_code(std::errc::too_many_symbolic_link_levels);
  return {};
}

// Only a regular file may be replaced by one; anything else is left as it is.
std::error_code RefusalOfTarget(const std::filesystem::path& target) {
  std::error_code reason;
  const std::filesystem::file_status status = std::filesystem::status(target, reason);
  if (status.type() == std::filesystem::file_type::not_found) return {};
  if (reason) return reason;
  if (std::filesystem::is_directory(status) || !target.has_filename()) {
    return std::make_error_code(std::errc::is_a_directory);
  }
  if (!std::filesystem::is_regular_file(status)) return FileRefusal::NotARegularFile;
  return {};
}

}  // namespace

FileError::FileError(std::string path, std::error_code reason, bool partly_written)
    : std::runtime_error(DescribeFailure(path, reason)),
      path_(std::move(path)),
      reason_(reason),
      partly_written_(partly_written) {}

const std::error_category& FileRefusalCategory() {
  static const FileRefusalCategoryImpl category;
  return category;
}

std::error_code make_error_code(FileRefusal refusal) {
  return {static_cast<int>(refusal), FileRefusalCategory()};
}

std::filesystem::path PathFromText(const std::string& path) {
  return std::filesystem::path(std::u8string(path.begin(), path.end()));
}

bool RegularFileExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(PathFromText(path), ignored);
}

namespace {
constexpr std::string_view kTemporaryPrefix = ".vexilor-";
constexpr std::string_view kTemporarySuffix = ".tmp";
constexpr std::size_t kTemporaryDigits = 16;
}  // namespace

std::string TemporaryFileName() {
  static std::random_device entropy;
  char digits[kTemporaryDigits + 1];
  std::snprintf(digits, sizeof digits, "%08x%08x", entropy(), entropy());
  return std::string(kTemporaryPrefix) + digits + std::string(kTemporarySuffix);
}

bool IsTemporaryFileName(std::string_view name) {
  if (name.size() != kTemporaryPrefix.size() + kTemporaryDigits + kTemporarySuffix.size() ||
      !name.starts_with(kTemporaryPrefix) || !name.ends_with(kTemporarySuffix)) {
    return false;
  }
  const std::string_view digits = name.substr(kTemporaryPrefix.size(), kTemporaryDigits);
  return std::all_of(digits.begin(), digits.end(),
                     [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

void WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
  std::error_code reason;
  const std::filesystem::path target = FollowLinks(PathFromText(path), reason);
  if (!reason) reason = RefusalOfTarget(target);
  if (reason) throw FileError(path, reason);
  const WriteOutcome outcome = WriteWholeFile(target, bytes);
  if (outcome.reason) throw FileError(path, outcome.reason, outcome.partly_written);
}

bool SameFile(const std::string& first, const std::string& second) {
  std::error_code missing;
  return std::filesystem::equivalent(PathFromText(first), PathFromText(second), missing);
}

void CheckFileCanBeWritten(const std::string& path) {
  std::error_code reason;
  const std::filesystem::path target = FollowLinks(PathFromText(path), reason);
  if (!reason) reason = RefusalOfTarget(target);
  if (reason) throw FileError(path, reason);
  const bool exists = std::filesystem::exists(target, reason);
  if (!exists) {
    const std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
    const std::filesystem::file_status status = std::filesystem::status(folder, reason);
    if (!reason && !std::filesystem::is_directory(status)) {
      reason = std::make_error_code(std::errc::not_a_directory);
    }
  }
  if (!reason) reason = WriteAccessProblem(target, exists);
  if (reason) throw FileError(path, reason);
}

std::optional<uint64_t> ContentStampOf(const std::string& path) {
  // FNV-1a, 64 bits: no attacker is in view, only another program's save.
  constexpr uint64_t kOffsetBasis = 0xCBF29CE484222325;
  constexpr uint64_t kPrime = 0x100000001B3;
  constexpr std::size_t kLargestStamped = std::size_t{64} << 20;
  try {
    uint64_t digest = kOffsetBasis;
    for (uint8_t byte : ReadFilePrefix(path, kLargestStamped)) digest = (digest ^ byte) * kPrime;
    return digest;
  } catch (const FileError&) {
    return std::nullopt;
  }
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
