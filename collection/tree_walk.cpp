#include "tree_walk.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "card/file_io.h"
#include "collection/file_identity.h"

namespace fs = std::filesystem;

namespace {

bool IsInside(const fs::path& path, const fs::path& folder) {
  auto [folder_end, path_at] =
      std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
  return folder_end == folder.end();
}

class Walk {
 public:
  explicit Walk(const WalkEvents& events) : events_(events) {}

  void Run(const std::vector<std::string>& roots) {
    std::vector<std::pair<fs::path, fs::path>> folders;  // as given, canonical
    std::vector<std::pair<fs::path, fs::path>> files;
    for (const std::string& root : roots) {
      const fs::path path = PathFromText(root);
      std::error_code reason;
      const fs::file_status status = fs::status(path, reason);
      fs::path canonical = reason ? fs::path() : fs::canonical(path, reason);
      if (reason) {
        events_.unreadable(root, reason);
      } else if (fs::is_directory(status)) {
        folders.emplace_back(path, std::move(canonical));
      } else if (fs::is_regular_file(status)) {
        files.emplace_back(path, std::move(canonical));
      }
    }
    // A folder inside another one named too is walked as part of it.
    for (auto& folder : folders) {
      const bool nested = std::ranges::any_of(
          folder_roots_, [&](const auto& other) { return IsInside(folder.second, other.second); });
      if (nested) continue;
      std::erase_if(folder_roots_,
                    [&](const auto& other) { return IsInside(other.second, folder.second); });
      folder_roots_.push_back(std::move(folder));
    }
    for (const auto& [path, canonical] : files) {
      if (!InsideAFolder(canonical)) OfferOnce(path);
    }
    for (const auto& folder : folder_roots_) WalkFolder(folder.first);
  }

 private:
  bool InsideAFolder(const fs::path& canonical) const {
    return std::ranges::any_of(
        folder_roots_, [&](const auto& folder) { return IsInside(canonical, folder.second); });
  }

  // Files that a second name may reach are remembered; the others cost no memory.
  void OfferOnce(const fs::path& path) {
    const std::optional<FileIdentity> identity = IdentityOf(path.string());
    if (identity && !seen_.insert(*identity).second) return;
    events_.file(path.string());
  }

  void WalkFolder(const fs::path& root) {
    std::vector<fs::path> pending{root};
    while (!pending.empty()) {
      const fs::path folder = std::move(pending.back());
      pending.pop_back();
      std::error_code reason;
      fs::directory_iterator entries(folder, reason);
      if (reason) {
        events_.unreadable(folder.string(), reason);
        continue;
      }
      for (const fs::directory_iterator end; entries != end; entries.increment(reason)) {
        if (reason) break;
        Consider(*entries, pending);
      }
      if (reason) events_.unreadable(folder.string(), reason);
    }
  }

  void Consider(const fs::directory_entry& entry, std::vector<fs::path>& pending) {
    std::error_code reason;
    const fs::file_status own = entry.symlink_status(reason);
    if (reason) {
      events_.unreadable(entry.path().string(), reason);
      return;
    }
    if (fs::is_directory(own)) {
      pending.push_back(entry.path());
      return;
    }
    if (fs::is_regular_file(own)) {
      if (entry.hard_link_count(reason) > 1 && !reason) {
        OfferOnce(entry.path());
      } else {
        events_.file(entry.path().string());
      }
      return;
    }
    if (!fs::is_symlink(own)) return;  // devices, FIFOs and sockets hold no cards
    const fs::file_status target = fs::status(entry.path(), reason);
    if (reason) {
      events_.unreadable(entry.path().string(), reason);  // dangling, or a loop of links
      return;
    }
    if (!fs::is_regular_file(target)) return;  // links to folders are not followed
    const fs::path canonical = fs::canonical(entry.path(), reason);
    if (reason) {
      events_.unreadable(entry.path().string(), reason);
    } else if (!InsideAFolder(canonical)) {
      OfferOnce(entry.path());
    }
  }

  const WalkEvents& events_;
  std::vector<std::pair<fs::path, fs::path>> folder_roots_;  // as given, canonical
  std::set<FileIdentity> seen_;
};

}  // namespace

void WalkTree(const std::vector<std::string>& roots, const WalkEvents& events) {
  Walk(events).Run(roots);
}
