#include "fuzz_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "card/messages.h"

namespace fuzz {

bool SilenceMessages() {
  InstallMessageBox([](const std::string&, const std::string&) {});
  return true;
}

namespace {

// Removes the scratch files when libFuzzer ends the process with exit().
struct ScratchFiles {
  std::vector<std::filesystem::path> paths;
  ~ScratchFiles() {
    std::error_code ignored;
    for (const auto& path : paths) std::filesystem::remove(path, ignored);
  }
};

}  // namespace

std::string ScratchPath(const std::string& name) {
  static ScratchFiles scratch;
  auto path = std::filesystem::temp_directory_path() /
              ("vexilor-fuzz-" + std::to_string(::getpid()) + "-" + name);
  scratch.paths.push_back(path);
  return path.string();
}

void WriteScratch(const std::string& path, std::span<const uint8_t> bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  Require(static_cast<bool>(file), "scratch file written");
}

CardImage TiledImage(std::span<const uint8_t> data) {
  CardImage image{};
  if (data.empty()) return image;
  std::size_t filled = std::min(data.size(), image.size());
  std::copy_n(data.begin(), filled, image.begin());
  // Doubling the filled part keeps this cheap for one-byte inputs too.
  while (filled < image.size()) {
    std::size_t chunk = std::min(filled / data.size() * data.size(), image.size() - filled);
    std::copy_n(image.begin(), chunk, image.begin() + static_cast<std::ptrdiff_t>(filled));
    filled += chunk;
  }
  return image;
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

bool FramesDifferOnlyIn(std::span<const uint8_t> a, std::span<const uint8_t> b, std::size_t first,
                        std::size_t end) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    bool allowed = (i >= first && i < end) || i == DirectoryFrame::XorOffset;
    if (!allowed && a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace fuzz
