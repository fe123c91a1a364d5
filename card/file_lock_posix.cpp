#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <utility>

#include "file_io.h"
#include "file_lock.h"

namespace {
constexpr std::chrono::milliseconds kRetryInterval{20};

bool SameInode(const struct stat& first, const struct stat& second) {
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
}  // namespace

FileEditLock::FileEditLock(std::string path) : path_(std::move(path)) {}

FileEditLock::~FileEditLock() {
  if (descriptor_ >= 0) ::close(descriptor_);  // closing releases the lock
}

bool FileEditLock::Acquire(std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (true) {
    if (descriptor_ < 0) descriptor_ = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor_ < 0) return true;
    if (::flock(descriptor_, LOCK_EX | LOCK_NB) == 0) {
      // A save replaces the file: the lock counts only on the file that is at the path now.
      struct stat locked;
      struct stat current;
      if (::fstat(descriptor_, &locked) == 0 && ::stat(path_.c_str(), &current) == 0 &&
          SameInode(locked, current)) {
        return true;
      }
      ::close(descriptor_);
      descriptor_ = -1;
      continue;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      throw FileError(path_, std::error_code(errno, std::generic_category()));
    }
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kRetryInterval);
  }
}
