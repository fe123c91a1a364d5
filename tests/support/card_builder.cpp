#include "card_builder.h"

#include <algorithm>
#include <numeric>
#include <random>

#include "card/image_file.h"
#include "card/little_endian.h"

namespace test_support {

namespace {

constexpr uint8_t IconTypeBase = 0x10;

void FixXor(CardImage& image, int block, bool fix_xor) {
  if (fix_xor) UpdateDirectoryXor(image, block);
}

void FillBlock(CardImage& image, int block, uint8_t seed, std::size_t index) {
  auto content = BlockOf(image, block);
  for (std::size_t i = 0; i < content.size(); ++i) {
    content[i] = static_cast<uint8_t>(seed * 31 + index * 7 + i * 13 + (i >> 8));
  }
}

void WriteTitleFrame(CardImage& image, const SaveSpec& save) {
  auto content = BlockOf(image, save.blocks.front());
  WriteLe16(content, TitleFrame::MagicOffset, TitleFrame::Magic);
  content[TitleFrame::IconTypeOffset] = static_cast<uint8_t>(IconTypeBase + save.icon_frames);
  auto title = content.subspan(TitleFrame::TitleOffset, TitleFrame::TitleLength);
  std::fill(title.begin(), title.end(), uint8_t{0});
  std::copy_n(save.title.begin(), std::min(save.title.size(), title.size()), title.begin());
}

std::string Padded(const std::string& text, std::size_t length) {
  std::string padded = text.substr(0, length);
  padded.resize(length, '\0');
  return padded;
}

}  // namespace

CardImage BlankCard() {
  CardImage image;
  FormatImage(image);
  return image;
}

void PlaceSave(CardImage& image, const SaveSpec& save) {
  const std::size_t n = save.blocks.size();
  const uint32_t offset = save.removed ? BlockState::RemovedOffset : 0;
  for (std::size_t i = 0; i < n; ++i) {
    int block = save.blocks[i];
    FillBlock(image, block, save.seed, i);
    auto frame = DirectoryFrameOf(image, block);
    std::fill(frame.begin(), frame.end(), uint8_t{0});
    uint32_t state = i == 0       ? BlockState::InUseFirst
                     : i + 1 == n ? BlockState::InUseLast
                                  : BlockState::InUseMiddle;
    WriteLe32(frame, DirectoryFrame::StateOffset, state + offset);
    WriteLe16(frame, DirectoryFrame::LinkOffset,
              i + 1 < n ? static_cast<uint16_t>(save.blocks[i + 1] - 1) : NoLink);
    if (i == 0) {
      WriteLe32(frame, DirectoryFrame::SizeOffset, static_cast<uint32_t>(n * BlockSize));
      frame[DirectoryFrame::RegionOffset] = save.region;
      std::string code = Padded(save.product_code, DirectoryFrame::ProductCodeLength) +
                         Padded(save.game_id, DirectoryFrame::GameIdLength);
      std::copy(code.begin(), code.end(), frame.begin() + DirectoryFrame::ProductCodeOffset);
    }
    UpdateDirectoryXor(image, block);
  }
  WriteTitleFrame(image, save);
}

CardImage FullCardOfOneBlockSaves() {
  CardImage card = BlankCard();
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    PlaceSave(card, {.blocks = {block},
                     .title = SingleByteTitle("SAVE " + std::to_string(block)),
                     .icon_frames = 3,
                     .seed = static_cast<uint8_t>(block)});
  }
  return card;
}

std::vector<uint8_t> SingleByteTitle(const std::string& text) {
  return std::vector<uint8_t>(text.begin(), text.end());
}

std::vector<uint8_t> ShiftJisTitle(const std::string& text) {
  std::vector<uint8_t> bytes;
  for (char c : text) {
    uint16_t code = 0x8140;  // full-width space
    if (c >= '0' && c <= '9') code = static_cast<uint16_t>(0x824F + (c - '0'));
    if (c >= 'A' && c <= 'Z') code = static_cast<uint16_t>(0x8260 + (c - 'A'));
    if (c >= 'a' && c <= 'z') code = static_cast<uint16_t>(0x8281 + (c - 'a'));
    bytes.push_back(static_cast<uint8_t>(code >> 8));
    bytes.push_back(static_cast<uint8_t>(code));
  }
  return bytes;
}

void SetState(CardImage& image, int block, uint32_t state, bool fix_xor) {
  WriteLe32(DirectoryFrameOf(image, block), DirectoryFrame::StateOffset, state);
  FixXor(image, block, fix_xor);
}

void SetLink(CardImage& image, int block, uint16_t link, bool fix_xor) {
  WriteLe16(DirectoryFrameOf(image, block), DirectoryFrame::LinkOffset, link);
  FixXor(image, block, fix_xor);
}

void SetSize(CardImage& image, int block, uint32_t size, bool fix_xor) {
  WriteLe32(DirectoryFrameOf(image, block), DirectoryFrame::SizeOffset, size);
  FixXor(image, block, fix_xor);
}

CardImage RandomCard(uint32_t seed, bool damage) {
  std::mt19937 random(seed);
  auto below = [&](uint32_t bound) { return static_cast<int>(random() % bound); };
  CardImage image = BlankCard();
  std::vector<int> blocks(SaveBlockCount);
  std::iota(blocks.begin(), blocks.end(), FirstSaveBlock);
  std::shuffle(blocks.begin(), blocks.end(), random);
  // Leave a few blocks free now and then.
  std::size_t used = blocks.size() - static_cast<std::size_t>(below(4));
  for (std::size_t next = 0; next < used;) {
    std::size_t length = std::min<std::size_t>(1 + static_cast<std::size_t>(below(5)), used - next);
    if (below(8) == 0) length = used - next;  // sometimes one long save
    SaveSpec save;
    save.blocks.assign(blocks.begin() + static_cast<std::ptrdiff_t>(next),
                       blocks.begin() + static_cast<std::ptrdiff_t>(next + length));
    std::string name = "SAVE " + std::to_string(seed % 1000) + " N" + std::to_string(next);
    save.title = below(2) ? ShiftJisTitle(name) : SingleByteTitle("  " + name);
    save.icon_frames = 1 + below(3);
    save.region = "AEIX"[below(4)];
    save.removed = below(4) == 0;
    save.seed = static_cast<uint8_t>(random());
    PlaceSave(image, save);
    next += length;
  }
  if (!damage) return image;
  for (int mutation = 1 + below(3); mutation > 0; --mutation) {
    int block = FirstSaveBlock + below(SaveBlockCount);
    switch (below(6)) {
      case 0:  // a link that names no block
        SetLink(image, block, static_cast<uint16_t>(15 + below(0xFFFF - 15)));
        break;
      case 1:  // a loop
        SetLink(image, block, static_cast<uint16_t>(FirstSaveBlock + below(SaveBlockCount) - 1));
        break;
      case 2:  // a stale XOR byte
        DirectoryFrameOf(image, block)[DirectoryFrame::XorOffset] ^= 0x5A;
        break;
      case 3:  // a known code with garbage above it
        SetState(image, block, GetBlockState(image, block) | 0x100);
        break;
      case 4:  // a size that disagrees with the chain
        SetSize(image, block, static_cast<uint32_t>(below(17)) * BlockSize);
        break;
      default:
        SetState(image, block, static_cast<uint32_t>(random()));
        break;
    }
  }
  return image;
}

std::vector<int> FirstBlocks(const CardImage& image) {
  std::vector<int> firsts;
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    uint32_t state = GetBlockState(image, block);
    if (state == BlockState::InUseFirst || state == BlockState::RemovedFirst) {
      firsts.push_back(block);
    }
  }
  return firsts;
}

bool AllDirectoryXorsValid(const CardImage& image) {
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    if (!IsDirectoryXorValid(image, block)) return false;
  }
  return true;
}

}  // namespace test_support
