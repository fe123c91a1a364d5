#include "raw_save.h"

#include <filesystem>

#include "card/file_io.h"

namespace {

std::string Utf8(const std::u8string& text) {
  return std::string(text.begin(), text.end());
}

// Directory names hold printable ASCII only.
std::string PrintableAscii(std::string text) {
  for (char& c : text) {
    if (c < 0x20 || c > 0x7E) c = '_';
  }
  return text;
}

std::string NameFromFileName(const std::string& path) {
  const std::filesystem::path file_name = PathFromText(path).filename();
  std::string name = Utf8(file_name.u8string());
  name = name.size() > DirectoryFrame::NameLength ? name.substr(0, DirectoryFrame::NameLength)
                                                  : Utf8(file_name.stem().u8string());
  return PrintableAscii(std::move(name));
}

}  // namespace

bool LooksLikeRawSave(std::span<const uint8_t> prefix, std::uintmax_t size) {
  return size % BlockSize == 0 && size >= BlockSize &&
         size <= static_cast<std::uintmax_t>(SaveBlockCount) * BlockSize &&
         HasTitleMagicAt(prefix, 0);
}

SaveContents DecodeRawSave(std::span<const uint8_t> file, std::uintmax_t size,
                           const std::string& path) {
  const int n = static_cast<int>(size / BlockSize);
  const std::string name = NameFromFileName(path);
  return {FirstFrameNamed(std::span(reinterpret_cast<const uint8_t*>(name.data()), name.size()), n),
          n,
          BlocksOf(file, 0, n, path),
          {}};
}

std::vector<uint8_t> EncodeRawSave(const SaveContents& save) {
  return save.blocks;
}
