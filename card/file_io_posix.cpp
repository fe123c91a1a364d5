#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file_io_platform.h"

namespace {

std::error_code SystemError() {
  return std::error_code(errno, std::generic_category());
}

std::error_code WriteAll(int descriptor, std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return SystemError();
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return {};
}

// The rename is durable only once the folder's entry is on the disk too.
void SyncFolderOf(const std::filesystem::path& file) {
  std::filesystem::path folder = file.parent_path();
  int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

}  // namespace

std::error_code WriteNewFileAndReplace(const std::filesystem::path& temporary,
                                       const std::filesystem::path& target,
                                       std::span<const uint8_t> bytes) {
  struct stat existing;
  bool replacing = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
  // Writing in place would fail on a file the user may not write; so does replacing it.
  if (replacing && ::access(target.c_str(), W_OK) != 0) return SystemError();
  // A new file gets the usual permissions less the umask; a replaced one keeps its own.
  int descriptor =
      ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replacing ? 0600 : 0666);
  if (descriptor < 0) return SystemError();
  std::error_code reason = WriteAll(descriptor, bytes);
  if (!reason && replacing && ::fchmod(descriptor, existing.st_mode & 07777) != 0) {
    reason = SystemError();
  }
  if (!reason && ::fsync(descriptor) != 0) reason = SystemError();
  if (::close(descriptor) != 0 && !reason) reason = SystemError();
  if (reason) return reason;
  if (::rename(temporary.c_str(), target.c_str()) != 0) return SystemError();
  SyncFolderOf(target);
  return {};
}
