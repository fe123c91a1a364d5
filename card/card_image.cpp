#include "card_image.h"

#include <algorithm>

#include "little_endian.h"
#include "messages.h"

namespace {

// Runs read on a valid block, or reports the block number and yields the neutral result.
template <typename Result, typename Read>
Result ReadValidBlock(int block, Read read) {
  if (!IsSaveBlock(block)) {
    ShowInvalidBlockMessage();
    return Result{};
  }
  return read();
}

std::string TextField(const CardImage& image, int block, std::size_t offset, std::size_t length) {
  auto frame = DirectoryFrameOf(image, block);
  return std::string(frame.begin() + offset, frame.begin() + offset + length);
}

struct FullWidthRange {
  uint16_t first_code;
  uint16_t last_code;
  uint8_t first_byte;
};

// Full-width digits and Latin letters map in runs.
constexpr FullWidthRange kFullWidthRanges[] = {
    {0x824F, 0x8258, '0'},
    {0x8260, 0x8279, 'A'},
    {0x8281, 0x829A, 'a'},
};

struct FullWidthSymbol {
  uint16_t code;
  uint8_t byte;
};

constexpr FullWidthSymbol kFullWidthSymbols[] = {
    {0x815E, 0x2F}, {0x815F, 0x5C}, {0x8140, 0x20}, {0x8141, 0x2C}, {0x8142, 0x2E}, {0x8143, 0x2C},
    {0x8144, 0x2E}, {0x8146, 0x3A}, {0x8147, 0x3B}, {0x8148, 0x3F}, {0x8149, 0x21}, {0x814C, 0xB4},
    {0x814D, 0x60}, {0x814E, 0xA8}, {0x814F, 0x5E}, {0x8150, 0xAD}, {0x8151, 0x5F}, {0x817C, 0x2D},
    {0x8193, 0x25}, {0x8194, 0x23}, {0x8169, 0x28}, {0x816A, 0x29}, {0x816D, 0x5B}, {0x816E, 0x5D},
    {0x816F, 0x7B}, {0x8170, 0x7D},
};

bool IsBlankOrControl(char c) {
  return static_cast<uint8_t>(c) <= 0x20;
}

std::string TrimBlanksAndControls(std::string text) {
  auto first = std::find_if_not(text.begin(), text.end(), IsBlankOrControl);
  auto last = std::find_if_not(text.rbegin(), text.rend(), IsBlankOrControl).base();
  return first < last ? std::string(first, last) : std::string();
}

}  // namespace

uint8_t XorOf(std::span<const uint8_t> bytes) {
  uint8_t result = 0;
  for (uint8_t byte : bytes) result ^= byte;
  return result;
}

uint32_t StateOf(const CardImage& image, int block) {
  return ReadLe32(DirectoryFrameOf(image, block), DirectoryFrame::StateOffset);
}

uint32_t GetBlockState(const CardImage& image, int block) {
  return ReadValidBlock<uint32_t>(block, [&] { return StateOf(image, block); });
}

uint32_t GetSaveSize(const CardImage& image, int block) {
  return ReadValidBlock<uint32_t>(
      block, [&] { return ReadLe32(DirectoryFrameOf(image, block), DirectoryFrame::SizeOffset); });
}

uint16_t GetNextLink(const CardImage& image, int block) {
  return ReadValidBlock<uint16_t>(
      block, [&] { return ReadLe16(DirectoryFrameOf(image, block), DirectoryFrame::LinkOffset); });
}

std::string RegionOfFrame(std::span<const uint8_t, FrameSize> frame) {
  switch (static_cast<RegionCode>(frame[DirectoryFrame::RegionOffset])) {
    case RegionCode::US:
      return "US";
    case RegionCode::EU:
      return "EU";
    case RegionCode::JP:
      return "JP";
  }
  return {};
}

std::string GetRegion(const CardImage& image, int block) {
  return ReadValidBlock<std::string>(block,
                                     [&] { return RegionOfFrame(DirectoryFrameOf(image, block)); });
}

std::string GetProductCode(const CardImage& image, int block) {
  return ReadValidBlock<std::string>(block, [&] {
    return TextField(image, block, DirectoryFrame::ProductCodeOffset,
                     DirectoryFrame::ProductCodeLength);
  });
}

std::string GetGameId(const CardImage& image, int block) {
  return ReadValidBlock<std::string>(block, [&] {
    return TextField(image, block, DirectoryFrame::GameIdOffset, DirectoryFrame::GameIdLength);
  });
}

bool IsDirectoryXorValid(const CardImage& image, int block) {
  return ReadValidBlock<bool>(block, [&] { return XorOf(DirectoryFrameOf(image, block)) == 0; });
}

uint8_t GetIconType(const CardImage& image, int block) {
  return ReadValidBlock<uint8_t>(block,
                                 [&] { return BlockOf(image, block)[TitleFrame::IconTypeOffset]; });
}

std::optional<uint8_t> FullWidthToAscii(uint16_t code) {
  for (const auto& range : kFullWidthRanges) {
    if (code >= range.first_code && code <= range.last_code) {
      return static_cast<uint8_t>(range.first_byte + (code - range.first_code));
    }
  }
  for (const auto& symbol : kFullWidthSymbols) {
    if (symbol.code == code) return symbol.byte;
  }
  return std::nullopt;
}

std::string DecodeSaveTitle(std::span<const uint8_t, FrameSize> title_frame) {
  auto title = title_frame.subspan(TitleFrame::TitleOffset, TitleFrame::TitleLength);
  // Only the first byte decides: a Shift-JIS lead byte makes the whole title two-byte codes.
  if (title[0] != 0x81 && title[0] != 0x82) {
    return TrimBlanksAndControls(std::string(title.begin(), title.end()));
  }
  std::string text;
  for (std::size_t k = 0; k < title.size(); k += 2) {
    uint16_t code = static_cast<uint16_t>(title[k] << 8 | title[k + 1]);
    if (auto byte = FullWidthToAscii(code)) text.push_back(static_cast<char>(*byte));
  }
  return TrimBlanksAndControls(std::move(text));
}

std::string GetSaveTitle(const CardImage& image, int block) {
  return ReadValidBlock<std::string>(
      block, [&] { return DecodeSaveTitle(BlockOf(image, block).first<FrameSize>()); });
}

void UpdateDirectoryXor(CardImage& image, int block) {
  if (!IsSaveBlock(block)) {
    ShowInvalidBlockMessage();
    return;
  }
  auto frame = DirectoryFrameOf(image, block);
  frame[DirectoryFrame::XorOffset] = XorOf(frame.first(DirectoryFrame::XorOffset));
}

uint8_t CountFreeBlocks(const CardImage& image) {
  uint8_t count = 0;
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    if (IsAvailableState(GetBlockState(image, block))) ++count;
  }
  return count;
}

int FindFirstFreeBlock(const CardImage& image) {
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    if (IsAvailableState(GetBlockState(image, block))) return block;
  }
  return 0;
}

void SetDirectoryState(std::span<uint8_t, FrameSize> frame, uint8_t code) {
  WriteLe32(frame, DirectoryFrame::StateOffset, code);
}
