#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Which file a path reaches, whatever the name: two paths with one identity are one file (hard
// links, links to files). One implementation per system.

struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t links = 0;  // hard links to it
  auto operator<=>(const FileIdentity&) const = default;
};

// Links followed; nothing when the path reaches nothing.
std::optional<FileIdentity> IdentityOf(const std::string& path);
