#include "raw_save.h"

#include <cctype>
#include <filesystem>
#include <string_view>

#include "card/file_checks.h"
#include "card/file_io.h"

namespace {

constexpr std::size_t kCodeLetters = 4;
constexpr std::size_t kCodeDigits = 5;
// "B", region, letters, '-' or 'P', digits.
constexpr std::size_t kNameHeadLength = 2 + kCodeLetters + 1 + kCodeDigits;
constexpr std::size_t kIdentifierLength = 8;

bool IsUpper(char c) {
  return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool NameHeadAt(std::string_view text, std::size_t at) {
  if (text.size() - at < kNameHeadLength) return false;
  std::string_view head = text.substr(at, kNameHeadLength);
  if (head[0] != 'B' || std::string_view("AEI").find(head[1]) == std::string_view::npos) {
    return false;
  }
  for (std::size_t i = 2; i < 2 + kCodeLetters; ++i) {
    if (!IsUpper(head[i])) return false;
  }
  if (head[2 + kCodeLetters] != '-' && head[2 + kCodeLetters] != 'P') return false;
  for (std::size_t i = 3 + kCodeLetters; i < kNameHeadLength; ++i) {
    if (!IsDigit(head[i])) return false;
  }
  return true;
}

}  // namespace

bool LooksLikeRawSave(std::span<const uint8_t> prefix, std::uintmax_t size) {
  return size % BlockSize == 0 && size >= BlockSize &&
         size <= static_cast<std::uintmax_t>(SaveBlockCount) * BlockSize &&
         HasTitleMagicAt(prefix, 0);
}

std::optional<std::string> DirectoryNameInFileName(const std::string& path) {
  const std::u8string stem = PathFromText(path).filename().stem().u8string();
  const std::string text(stem.begin(), stem.end());
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (!NameHeadAt(text, at)) continue;
    std::size_t end = at + kNameHeadLength;
    while (end < text.size() && end - at - kNameHeadLength < kIdentifierLength &&
           text[end] > 0x20 && text[end] < 0x7F) {
      ++end;
    }
    return text.substr(at, end - at);
  }
  return std::nullopt;
}

std::optional<SaveContents> DecodeRawSave(std::span<const uint8_t> file, std::uintmax_t size,
                                          const std::string& path,
                                          const std::optional<std::string>& name) {
  const std::optional<std::string> found = name ? name : DirectoryNameInFileName(path);
  if (!found) {
    ShowFileRefusal("O nome do arquivo ", path,
                    " não traz o nome do 'save' (como BASLUS-00958GAME); informe-o!");
    return std::nullopt;
  }
  const int n = static_cast<int>(size / BlockSize);
  return SaveContents{
      FirstFrameNamed(std::span(reinterpret_cast<const uint8_t*>(found->data()), found->size()), n),
      n, BlocksOf(file, 0, n, path), {}};
}

std::vector<uint8_t> EncodeRawSave(const SaveContents& save) {
  return save.blocks;
}
