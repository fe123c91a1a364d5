#include <windows.h>

#include <algorithm>

#include "file_io_platform.h"

namespace {

constexpr int kTemporaryNameAttempts = 8;

// Common Windows codes as the portable conditions the messages know; others keep their number.
std::error_code LastError() {
  const DWORD code = ::GetLastError();
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return std::make_error_code(std::errc::no_such_file_or_directory);
    case ERROR_ACCESS_DENIED:
      return std::make_error_code(std::errc::permission_denied);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return std::make_error_code(std::errc::device_or_resource_busy);
    case ERROR_HANDLE_DISK_FULL:
    case ERROR_DISK_FULL:
      return std::make_error_code(std::errc::no_space_on_device);
    case ERROR_WRITE_PROTECT:
      return std::make_error_code(std::errc::read_only_file_system);
    case ERROR_FILENAME_EXCED_RANGE:
      return std::make_error_code(std::errc::filename_too_long);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return std::make_error_code(std::errc::file_exists);
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST:
      return std::make_error_code(std::errc::no_such_device);
    default:
      return std::error_code(static_cast<int>(code), std::system_category());
  }
}

std::error_code WriteAll(HANDLE file, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return LastError();
    bytes = bytes.subspan(written);
  }
  return {};
}

// The number of names of an existing file; 0 when there is no file.
DWORD LinkCount(const std::filesystem::path& target) {
  HANDLE file = ::CreateFileW(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION information{};
  const DWORD links =
      ::GetFileInformationByHandle(file, &information) ? information.nNumberOfLinks : 1;
  ::CloseHandle(file);
  return links;
}

std::error_code WriteFlushClose(HANDLE file, std::span<const uint8_t> bytes) {
  std::error_code reason = WriteAll(file, bytes);
  if (!reason && !::SetEndOfFile(file)) reason = LastError();
  if (!reason && !::FlushFileBuffers(file)) reason = LastError();
  if (!::CloseHandle(file) && !reason) reason = LastError();
  return reason;
}

// For a file that cannot be replaced: the complete bytes overwrite it from the start.
WriteOutcome WriteInPlace(const std::filesystem::path& target, std::span<const uint8_t> bytes) {
  HANDLE file = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {LastError(), false};
  const std::error_code reason = WriteFlushClose(file, bytes);
  return {reason, static_cast<bool>(reason)};
}

}  // namespace

WriteOutcome WriteWholeFile(const std::filesystem::path& target, std::span<const uint8_t> bytes) {
  // Replacing a file the user may not write would get round its protection (not every system
  // refuses the move by itself).
  if (const std::error_code refused = WriteAccessProblem(target, true)) return {refused, false};
  const DWORD links = LinkCount(target);
  // Moving over one name of a file with several would split it from the others.
  if (links > 1) return WriteInPlace(target, bytes);
  std::filesystem::path temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && file == INVALID_HANDLE_VALUE;
       ++attempt) {
    temporary = target.parent_path() / TemporaryFileName();
    file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) {
    const std::error_code reason = LastError();
    // A folder that takes no new file may still hold a file that can be written.
    if (links == 1 && reason == std::errc::permission_denied) return WriteInPlace(target, bytes);
    return {reason, false};
  }
  std::error_code reason = WriteFlushClose(file, bytes);
  if (!reason && !::MoveFileExW(temporary.c_str(), target.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    reason = LastError();
  }
  if (reason) ::DeleteFileW(temporary.c_str());
  return {reason, false};
}

std::error_code WriteAccessProblem(const std::filesystem::path& target, bool exists) {
  // Windows answers for a folder's permissions only when a file is made; a read-only file is
  // known from its attribute.
  if (!exists) return {};
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    return std::make_error_code(std::errc::permission_denied);
  }
  return {};
}
