#include <windows.h>

#include <algorithm>

#include "file_io_platform.h"

namespace {

std::error_code LastError() {
  return std::error_code(static_cast<int>(::GetLastError()), std::system_category());
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

}  // namespace

std::error_code WriteNewFileAndReplace(const std::filesystem::path& temporary,
                                       const std::filesystem::path& target,
                                       std::span<const uint8_t> bytes) {
  HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    std::error_code reason = LastError();
    return reason.value() == ERROR_FILE_EXISTS ? std::make_error_code(std::errc::file_exists)
                                               : reason;
  }
  std::error_code reason = WriteAll(file, bytes);
  if (!reason && !::FlushFileBuffers(file)) reason = LastError();
  if (!::CloseHandle(file) && !reason) reason = LastError();
  if (reason) return reason;
  // A read-only target makes the move fail, as writing into it would.
  if (!::MoveFileExW(temporary.c_str(), target.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return LastError();
  }
  return {};
}
