#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace test_support {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The UTF-8 path of name inside the folder.
  std::string File(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

void WriteBytes(const std::string& path, std::span<const uint8_t> bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);

}  // namespace test_support
