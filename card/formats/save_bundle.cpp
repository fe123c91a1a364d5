#include "save_bundle.h"

#include <algorithm>

#include "card/little_endian.h"
#include "card/save_comments.h"
#include "card/single_save.h"
#include "mcs.h"

namespace {

constexpr std::string_view kMagic = "VXSAVES1";
constexpr std::size_t kCountOffset = kMagic.size();
constexpr std::size_t kFirstEntryOffset = kCountOffset + 4;
constexpr std::size_t kEntryHeaderSize = 8;  // the two lengths

void AppendLe32(std::vector<uint8_t>& bytes, std::size_t value) {
  bytes.resize(bytes.size() + 4);
  WriteLe32(bytes, bytes.size() - 4, static_cast<uint32_t>(value));
}

}  // namespace

std::vector<uint8_t> EncodeSaveBundle(std::span<const SaveContents> saves) {
  std::vector<uint8_t> bytes(kMagic.begin(), kMagic.end());
  AppendLe32(bytes, saves.size());
  for (const SaveContents& save : saves) {
    const std::vector<uint8_t> mcs = EncodeMcs(save);
    const std::size_t comment = std::min(save.comment.size(), MaxCommentLength);
    AppendLe32(bytes, mcs.size());
    AppendLe32(bytes, comment);
    bytes.insert(bytes.end(), save.comment.begin(),
                 save.comment.begin() + static_cast<std::ptrdiff_t>(comment));
    bytes.insert(bytes.end(), mcs.begin(), mcs.end());
  }
  return bytes;
}

std::optional<std::vector<SaveContents>> DecodeSaveBundle(std::span<const uint8_t> bytes,
                                                          const std::string& name) {
  if (bytes.size() < kFirstEntryOffset || !std::equal(kMagic.begin(), kMagic.end(), bytes.begin()))
    return std::nullopt;
  const uint32_t count = ReadLe32(bytes, kCountOffset);
  if (count == 0 || count > static_cast<uint32_t>(SaveBlockCount)) return std::nullopt;
  // Every length is checked before anything is decoded, so a torn bundle places nothing.
  struct Entry {
    std::span<const uint8_t> comment;
    std::span<const uint8_t> mcs;
  };
  std::vector<Entry> entries;
  std::size_t offset = kFirstEntryOffset;
  for (uint32_t i = 0; i < count; ++i) {
    if (bytes.size() - offset < kEntryHeaderSize) return std::nullopt;
    const std::size_t mcs_length = ReadLe32(bytes, offset);
    const std::size_t comment_length = ReadLe32(bytes, offset + 4);
    offset += kEntryHeaderSize;
    if (!IsMcsLength(mcs_length) || comment_length > MaxCommentLength ||
        bytes.size() - offset < comment_length + mcs_length) {
      return std::nullopt;
    }
    entries.push_back({bytes.subspan(offset, comment_length),
                       bytes.subspan(offset + comment_length, mcs_length)});
    offset += comment_length + mcs_length;
  }
  if (offset != bytes.size()) return std::nullopt;
  std::vector<SaveContents> saves;
  for (const Entry& entry : entries) {
    std::optional<SaveContents> save = DecodeMcs(entry.mcs, entry.mcs.size(), name);
    if (!save) continue;
    save->comment.assign(entry.comment.begin(), entry.comment.end());
    saves.push_back(std::move(*save));
  }
  return saves;
}
