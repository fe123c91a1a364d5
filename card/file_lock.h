#pragma once

#include <chrono>
#include <string>

// An advisory lock on a file for the length of one read-modify-write, so that two edits of one
// card image by this program follow each other instead of one losing the other's change. Other
// programs are not held back: the lock is advisory.
class FileEditLock {
 public:
  explicit FileEditLock(std::string path);
  ~FileEditLock();
  FileEditLock(const FileEditLock&) = delete;
  FileEditLock& operator=(const FileEditLock&) = delete;

  // Waits up to patience for the lock. False when another edit still holds it then. A file that
  // cannot be opened is not locked and gives true: reading it reports why.
  bool Acquire(std::chrono::milliseconds patience);

 private:
  std::string path_;
  int descriptor_ = -1;
};
