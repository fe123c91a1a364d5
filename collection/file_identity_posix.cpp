#include <sys/stat.h>

#include "collection/file_identity.h"

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino),
                      static_cast<uint64_t>(status.st_nlink)};
}
