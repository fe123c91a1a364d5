#include <algorithm>

#include "container_codec.h"

// DexDrive .gme: a 3904-byte header with copies of two directory bytes per frame and one
// comment per save block. Readers other than comment viewers ignore it.
namespace {

constexpr std::size_t kHeaderSize = 0xF40;
constexpr std::string_view kMagic{"123-456-STD\0", 12};
// Two bytes the writers set to 1 after the magic.
constexpr std::size_t kFlagOffsets[] = {0x12, 0x14};
// Byte 0 (the state) and byte 8 (the low byte of the link) of directory frames 0..15.
constexpr std::size_t kStateCopiesOffset = 0x15;
constexpr std::size_t kLinkCopiesOffset = 0x25;
constexpr std::size_t kCopiedFrames = 16;
constexpr std::size_t kLinkLowByte = DirectoryFrame::LinkOffset;
// Comment of block b at kCommentsOffset + (b - 1) * kCommentSize, NUL-padded.
constexpr std::size_t kCommentsOffset = 0x40;
constexpr std::size_t kCommentSize = 256;
static_assert(kCommentsOffset + GmeCommentCount * kCommentSize == kHeaderSize);

std::vector<uint8_t> NewHeader() {
  std::vector<uint8_t> header(kHeaderSize);
  for (std::size_t offset : kFlagOffsets) header[offset] = 1;
  return header;
}

std::span<const uint8_t> CommentField(std::span<const uint8_t> header, int index) {
  return header.subspan(kCommentsOffset + static_cast<std::size_t>(index) * kCommentSize,
                        kCommentSize);
}

std::string CommentText(std::span<const uint8_t> field) {
  auto end = std::find(field.begin(), field.end(), uint8_t{0});
  return std::string(field.begin(), end);
}

void ReadComments(CardContainer& container) {
  for (int i = 0; i < GmeCommentCount; ++i) {
    container.comments[static_cast<std::size_t>(i)] =
        CommentText(CommentField(container.header, i));
  }
}

void CompleteFile(std::span<uint8_t> file, const CardContainer& container) {
  std::span<const uint8_t> card = file.subspan(kHeaderSize);
  for (std::size_t frame = 0; frame < kCopiedFrames; ++frame) {
    file[kStateCopiesOffset + frame] = card[frame * FrameSize + DirectoryFrame::StateOffset];
    file[kLinkCopiesOffset + frame] = card[frame * FrameSize + kLinkLowByte];
  }
  // A comment that did not change keeps its field as read, bytes after its NUL included.
  for (int i = 0; i < GmeCommentCount; ++i) {
    const std::string& comment = container.comments[static_cast<std::size_t>(i)];
    if (CommentText(CommentField(file, i)) == comment) continue;
    auto field =
        file.subspan(kCommentsOffset + static_cast<std::size_t>(i) * kCommentSize, kCommentSize);
    std::fill(field.begin(), field.end(), uint8_t{0});
    std::copy_n(comment.begin(), std::min(comment.size(), kCommentSize), field.begin());
  }
}

}  // namespace

const ContainerCodec& DexDriveCodec() {
  static const ContainerCodec codec{CardFormat::DexDrive,
                                    kHeaderSize,
                                    kMagic,
                                    kHeaderSize + BlockSize,
                                    true,
                                    NewHeader,
                                    AlwaysSound,
                                    ReadComments,
                                    CompleteFile,
                                    AlwaysSound};
  return codec;
}
