#include "ar_save.h"

#include <algorithm>

namespace {

void PutText(std::span<uint8_t> field, std::span<const uint8_t> text) {
  // The last byte of each field stays NUL.
  std::copy_n(text.begin(), std::min(text.size(), field.size() - 1), field.begin());
}

std::span<const uint8_t> Bytes(const std::string& text) {
  return std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

}  // namespace

bool LooksLikeActionReplaySave(std::span<const uint8_t> prefix, std::uintmax_t size) {
  if (size < ActionReplayHeader::Size) return false;
  const std::uintmax_t data = size - ActionReplayHeader::Size;
  return data % BlockSize == 0 && data >= BlockSize &&
         data <= static_cast<std::uintmax_t>(SaveBlockCount) * BlockSize &&
         HasTitleMagicAt(prefix, ActionReplayHeader::Size);
}

SaveContents DecodeActionReplaySave(std::span<const uint8_t> file, std::uintmax_t size,
                                    const std::string& path) {
  const int n = static_cast<int>((size - ActionReplayHeader::Size) / BlockSize);
  auto name = file.subspan(ActionReplayHeader::NameOffset, ActionReplayHeader::NameLength - 1);
  return {FirstFrameNamed(name, n), n, BlocksOf(file, ActionReplayHeader::Size, n, path), {}};
}

std::vector<uint8_t> EncodeActionReplaySave(const SaveContents& save) {
  std::vector<uint8_t> file(ActionReplayHeader::Size, 0);
  std::span<uint8_t> header(file);
  PutText(header.subspan(ActionReplayHeader::NameOffset, ActionReplayHeader::NameLength),
          DirectoryNameBytes(save.frame));
  PutText(header.subspan(ActionReplayHeader::TitleOffset, ActionReplayHeader::TitleLength),
          Bytes(DecodeSaveTitle(std::span<const uint8_t>(save.blocks).first<FrameSize>())));
  file.insert(file.end(), save.blocks.begin(), save.blocks.end());
  return file;
}
