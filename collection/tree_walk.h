#pragma once

#include <functional>
#include <string>
#include <system_error>
#include <vector>

// Every regular file under the given files and folders, each real file once: links to folders
// are not followed (so a link loop cannot trap the walk), a file reached by two names (a hard
// link, a link to a file, overlapping roots) is visited under the first. Files come in the
// order the system lists them; only the folders still to enter are held, never a list of files.

struct WalkEvents {
  std::function<void(const std::string& path)> file;
  // A root, folder or link that cannot be read or followed; the walk goes on.
  std::function<void(const std::string& path, std::error_code reason)> unreadable;
};

void WalkTree(const std::vector<std::string>& roots, const WalkEvents& events);
