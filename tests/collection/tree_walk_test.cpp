#include "collection/tree_walk.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace {

struct Walked {
  std::multiset<std::string> files;  // relative to the folder
  std::multiset<std::string> unreadable;
};

Walked WalkUnder(const fs::path& base, const std::vector<std::string>& roots) {
  Walked walked;
  auto relative = [&](const std::string& path) {
    return fs::path(path).lexically_relative(base).string();
  };
  WalkTree(roots, {[&](const std::string& path) { walked.files.insert(relative(path)); },
                   [&](const std::string& path, std::error_code) {
                     walked.unreadable.insert(relative(path));
                   }});
  return walked;
}

TEST(TreeWalkTest, VisitsEachRealFileOnceAndNeverFollowsLinksToFolders) {
  test_support::TempFolder folder;
  const fs::path base = folder.path();
  fs::create_directories(base / "raiz/sub/fundo");
  fs::create_directories(base / "fora");
  for (const char* name : {"raiz/a.mc", "raiz/sub/b.mcs", "raiz/sub/fundo/c.gme", "fora/d.mc"}) {
    test_support::WriteBytes((base / name).string(), std::vector<uint8_t>{1});
  }
  fs::create_hard_link(base / "raiz/a.mc", base / "raiz/sub/a-de-novo.mc");
  fs::create_directory_symlink("..", base / "raiz/sub/volta");            // a loop through folders
  fs::create_directory_symlink(base / "fora", base / "raiz/pasta-fora");  // not followed
  fs::create_symlink("../fora/d.mc", base / "raiz/d-link.mc");            // a file outside: visited
  fs::create_symlink("sub/b.mcs", base / "raiz/b-link.mcs");  // inside: visited as itself
  fs::create_symlink("laco2", base / "raiz/laco1");           // a loop of links to files
  fs::create_symlink("laco1", base / "raiz/laco2");

  const Walked walked = WalkUnder(base, {(base / "raiz").string(), (base / "raiz/sub").string(),
                                         (base / "fora/d.mc").string(), (base / "nada").string()});
  // Hard link and a.mc: whichever the system lists first stands for both.
  EXPECT_EQ(walked.files.count("raiz/a.mc") + walked.files.count("raiz/sub/a-de-novo.mc"), 1u);
  EXPECT_EQ(walked.files.count("raiz/sub/b.mcs"), 1u);
  EXPECT_EQ(walked.files.count("raiz/sub/fundo/c.gme"), 1u);
  EXPECT_EQ(walked.files.count("fora/d.mc") + walked.files.count("raiz/d-link.mc"), 1u);
  EXPECT_EQ(walked.files.size(), 4u);
  EXPECT_EQ(walked.unreadable, (std::multiset<std::string>{"nada", "raiz/laco1", "raiz/laco2"}));
}

}  // namespace
