#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "file_io_platform.h"

namespace {

constexpr int kTemporaryNameAttempts = 8;

std::error_code SystemError() {
  return std::error_code(errno, std::generic_category());
}

// Closes the descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return descriptor_; }
  bool valid() const { return descriptor_ >= 0; }
  // A close that fails may mean the data never reached the disk.
  std::error_code Close() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return ::close(descriptor) == 0 ? std::error_code() : SystemError();
  }

 private:
  int descriptor_;
};

std::error_code WriteAllAt(int descriptor, std::span<const uint8_t> bytes) {
  off_t offset = 0;
  while (!bytes.empty()) {
    ssize_t written = ::pwrite(descriptor, bytes.data(), bytes.size(), offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      return SystemError();
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
    offset += written;
  }
  return {};
}

// What is known of the file being replaced; none for a new file.
struct Existing {
  bool present = false;
  struct stat status {};
};

// The temporary file gets the replaced file's owner, group and permissions (chown first: it
// clears the set-id bits). False when the owner or group cannot be given.
bool TakeOwnerAndMode(int descriptor, const Existing& existing, std::error_code& reason) {
  if (!existing.present) return true;
  struct stat made;
  if (::fstat(descriptor, &made) != 0) {
    reason = SystemError();
    return false;
  }
  if ((made.st_uid != existing.status.st_uid || made.st_gid != existing.status.st_gid) &&
      ::fchown(descriptor, existing.status.st_uid, existing.status.st_gid) != 0) {
    reason = SystemError();
    return false;
  }
  if (::fchmod(descriptor, existing.status.st_mode & 07777) != 0) {
    reason = SystemError();
    return false;
  }
  return true;
}

// NoTemporary: the folder takes no new file; Unsupported: no unnamed files here.
enum class Stage { Done, NoTemporary, Unsupported, OwnerNotKept, Failed };

struct ReplaceResult {
  Stage stage;
  std::error_code reason;
};

// An unnamed file in the folder (O_TMPFILE): a kill before it is complete leaves nothing behind.
// -1 with errno set where the file system does not offer it.
int OpenUnnamedFile(int folder, mode_t mode) {
#ifdef O_TMPFILE
  return ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
#else
  (void)folder;
  (void)mode;
  errno = EOPNOTSUPP;
  return -1;
#endif
}

// Gives the complete unnamed file a temporary name, through /proc (no privilege needed).
std::error_code NameUnnamedFile(int descriptor, int folder, std::string& name) {
  const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    name = TemporaryFileName();
    if (::linkat(AT_FDCWD, self.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return {};
    if (errno != EEXIST) return SystemError();
  }
  return std::make_error_code(std::errc::file_exists);
}

int OpenNamedTemporary(int folder, mode_t mode, std::string& name) {
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    name = TemporaryFileName();
    int descriptor = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (descriptor >= 0 || errno != EEXIST) return descriptor;
  }
  return -1;
}

bool IsRefusedCreation(int error) {
  return error == EACCES || error == EPERM || error == EROFS;
}

// The file is written whole under a temporary name, then renamed over the target.
ReplaceResult ReplaceThroughTemporary(int folder, const std::string& target_name,
                                      const Existing& existing, std::span<const uint8_t> bytes,
                                      bool unnamed) {
  // A new file gets the usual permissions less the umask; a replaced one keeps its own.
  const mode_t mode = existing.present ? 0600 : 0666;
  std::string name;
  Descriptor file(unnamed ? OpenUnnamedFile(folder, mode) : OpenNamedTemporary(folder, mode, name));
  if (!file.valid()) {
    const std::error_code reason = SystemError();
    if (IsRefusedCreation(reason.value())) return {Stage::NoTemporary, reason};
    return {unnamed ? Stage::Unsupported : Stage::Failed, reason};
  }
  // The lock marks the temporary as this live run's until the rename; a copy of the descriptor
  // holds it past the checked close below. Where the file system has no locks, nothing is marked
  // and nothing will be taken for stale either.
  ::flock(file.get(), LOCK_EX | LOCK_NB);
  const Descriptor holds_lock(::dup(file.get()));
  // Whatever stops this run from here removes the named temporary file, never another name.
  struct Cleanup {
    int folder;
    std::string* name;
    bool keep = false;
    ~Cleanup() {
      if (!keep && !name->empty()) ::unlinkat(folder, name->c_str(), 0);
    }
  } cleanup{folder, &name};

  std::error_code reason = WriteAllAt(file.get(), bytes);
  if (reason) return {Stage::Failed, reason};
  if (!TakeOwnerAndMode(file.get(), existing, reason)) {
    return {reason == std::errc::operation_not_permitted ? Stage::OwnerNotKept : Stage::Failed,
            reason};
  }
  if (::fsync(file.get()) != 0) return {Stage::Failed, SystemError()};
  if (unnamed) {
    reason = NameUnnamedFile(file.get(), folder, name);
    if (reason) return {Stage::Unsupported, reason};
  }
  reason = file.Close();
  if (reason) return {Stage::Failed, reason};
  if (::renameat(folder, name.c_str(), folder, target_name.c_str()) != 0) {
    return {Stage::Failed, SystemError()};
  }
  cleanup.keep = true;
  // The rename is durable only once the folder's entry is on the disk too.
  ::fsync(folder);
  return {Stage::Done, {}};
}

// Removes the temporaries that runs of this program, killed between naming and renaming one, left
// in the folder: only our own name pattern, a regular file of this user with no other link, and
// only when no live run holds its lock.
void RemoveStaleTemporaries(int folder) {
  const int listed = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listed < 0) return;
  DIR* listing = ::fdopendir(listed);
  if (listing == nullptr) {
    ::close(listed);
    return;
  }
  const auto is_own_file = [](const struct stat& status) {
    return S_ISREG(status.st_mode) && status.st_uid == ::geteuid() && status.st_nlink == 1;
  };
  while (const dirent* entry = ::readdir(listing)) {
    if (!IsTemporaryFileName(entry->d_name)) continue;
    // Looked at before it is opened: opening a device may already act on it.
    struct stat status;
    if (::fstatat(folder, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !is_own_file(status)) {
      continue;
    }
    const Descriptor file(
        ::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (file.valid() && ::fstat(file.get(), &status) == 0 && is_own_file(status) &&
        ::flock(file.get(), LOCK_EX | LOCK_NB) == 0) {
      ::unlinkat(folder, entry->d_name, 0);
    }
  }
  ::closedir(listing);
}

// For a file that cannot be replaced: the complete bytes overwrite it from the start. Space is
// reserved first, so that a full disk fails before anything of the old content is lost.
WriteOutcome WriteInPlace(const std::filesystem::path& target, const Existing& existing,
                          std::span<const uint8_t> bytes) {
  Descriptor file(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
  if (!file.valid()) return {SystemError(), false};
  const off_t size = static_cast<off_t>(bytes.size());
  if (size > existing.status.st_size) {
    const int error = ::posix_fallocate(file.get(), 0, size);
    if (error == ENOSPC || error == EFBIG || error == EDQUOT) {
      ::ftruncate(file.get(), existing.status.st_size);
      return {std::error_code(error, std::generic_category()), false};
    }
  }
  std::error_code reason = WriteAllAt(file.get(), bytes);
  if (!reason && ::ftruncate(file.get(), size) != 0) reason = SystemError();
  if (!reason && ::fsync(file.get()) != 0) reason = SystemError();
  const std::error_code closing = file.Close();
  if (!reason) reason = closing;
  return {reason, static_cast<bool>(reason)};
}

}  // namespace

WriteOutcome WriteWholeFile(const std::filesystem::path& target, std::span<const uint8_t> bytes) {
  Existing existing;
  if (::stat(target.c_str(), &existing.status) == 0) {
    existing.present = true;
  } else if (errno != ENOENT) {
    return {SystemError(), false};
  }
  // Replacing a file the user may not write would get round its permissions.
  if (existing.present && ::access(target.c_str(), W_OK) != 0) return {SystemError(), false};
  // Renaming over one name of a file with several would split it from the others.
  if (existing.present && existing.status.st_nlink > 1) {
    return WriteInPlace(target, existing, bytes);
  }

  const std::filesystem::path folder_path = target.parent_path();
  Descriptor folder(
      ::open(folder_path.empty() ? "." : folder_path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!folder.valid()) return {SystemError(), false};
  const std::string target_name = target.filename().string();

  ReplaceResult result =
      ReplaceThroughTemporary(folder.get(), target_name, existing, bytes, /*unnamed=*/true);
  if (result.stage == Stage::Unsupported) {
    // This file system has no unnamed files (or /proc is missing): a named one serves.
    result = ReplaceThroughTemporary(folder.get(), target_name, existing, bytes, false);
  }
  if (result.stage == Stage::Done) {
    RemoveStaleTemporaries(folder.get());
    return {};
  }
  if (existing.present &&
      (result.stage == Stage::NoTemporary || result.stage == Stage::OwnerNotKept)) {
    return WriteInPlace(target, existing, bytes);
  }
  return {result.reason, false};
}

std::error_code WriteAccessProblem(const std::filesystem::path& target, bool exists) {
  const std::filesystem::path folder = target.parent_path();
  const char* checked = exists ? target.c_str() : folder.empty() ? "." : folder.c_str();
  return ::access(checked, exists ? W_OK : W_OK | X_OK) == 0 ? std::error_code() : SystemError();
}
