#include "check.h"

#include <algorithm>

#include "little_endian.h"
#include "save_chain.h"

namespace {

// The broken-frame list: frames 16..35; an entry naming no frame starts with 0xFFFFFFFF.
constexpr int kBrokenListFirst = 16;
constexpr int kBrokenListEnd = 36;
constexpr uint32_t kNoBrokenFrame = 0xFFFFFFFF;
constexpr uint8_t kIconTypeFirst = 0x11;
constexpr uint8_t kIconTypeLast = 0x13;

std::span<const uint8_t, FrameSize> FrameAt(const CardImage& image, int frame) {
  return std::span<const uint8_t, FrameSize>(image.data() + frame * FrameSize, FrameSize);
}

uint8_t StoredXorOf(std::span<const uint8_t, FrameSize> frame) {
  return XorOf(frame.first(DirectoryFrame::XorOffset));
}

bool IsKnownState(uint32_t state) {
  return (state >= BlockState::InUseFirst && state <= BlockState::InUseLast) ||
         (state >= BlockState::Free && state <= BlockState::RemovedLast);
}

void CheckHeader(const CardImage& image, std::vector<Finding>& findings) {
  auto header = FrameAt(image, 0);
  if (header[0] != HeaderFrame[0] || header[1] != HeaderFrame[1]) {
    findings.push_back({.kind = FindingKind::HeaderMagic, .frame = 0});
  } else if (!std::ranges::equal(header.subspan(2, FrameSize - 3),
                                 std::span(HeaderFrame).subspan(2, FrameSize - 3))) {
    findings.push_back({.kind = FindingKind::HeaderFiller, .frame = 0});
  }
  if (XorOf(header) != 0) {
    findings.push_back({.kind = FindingKind::HeaderCheckByte,
                        .frame = 0,
                        .found = header[DirectoryFrame::XorOffset],
                        .expected = StoredXorOf(header)});
  }
}

// Shift-JIS up to the first NUL: ASCII, half-width katakana, or a lead byte and a trail byte.
bool IsDecodableTitle(std::span<const uint8_t> title) {
  for (std::size_t i = 0; i < title.size() && title[i] != 0; ++i) {
    const uint8_t byte = title[i];
    if (byte >= 0x20 && byte <= 0x7E) continue;
    if (byte >= 0xA1 && byte <= 0xDF) continue;
    const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    if (!lead || i + 1 == title.size()) return false;
    const uint8_t trail = title[++i];
    if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
  }
  return true;
}

void CheckTitleFrame(const CardImage& image, int first, std::vector<Finding>& findings) {
  auto block = BlockOf(image, first);
  if (!IsTitleMagic(ReadLe16(block, TitleFrame::MagicOffset))) {
    findings.push_back({.kind = FindingKind::TitleMagic, .block = first, .save = first});
  }
  const uint8_t icon_type = block[TitleFrame::IconTypeOffset];
  if (icon_type < kIconTypeFirst || icon_type > kIconTypeLast) {
    findings.push_back(
        {.kind = FindingKind::IconFlag, .block = first, .save = first, .found = icon_type});
  }
  if (!IsDecodableTitle(block.subspan(TitleFrame::TitleOffset, TitleFrame::TitleLength))) {
    findings.push_back({.kind = FindingKind::TitleUndecodable, .block = first, .save = first});
  }
}

FindingKind KindOf(ChainFault fault) {
  switch (fault) {
    case ChainFault::Lost:
      return FindingKind::ChainLost;
    case ChainFault::Stray:
      return FindingKind::ChainStray;
    case ChainFault::Claimed:
      return FindingKind::ChainClaimed;
    case ChainFault::LinkNamesNoBlock:
      return FindingKind::ChainBadLink;
    case ChainFault::ComesBack:
      return FindingKind::ChainLoop;
    case ChainFault::SizeMismatch:
    case ChainFault::None:
      break;
  }
  return FindingKind::SizeMismatch;
}

// A fault in the walk: where it is and what was found there. A bad link or a loop is in the
// last block passed; the other faults are in the block the chain ran into.
Finding ChainFinding(const CardImage& image, const ChainCheck& chain, int first, bool in_use) {
  const int last = chain.walk.blocks.back();
  Finding finding{.kind = KindOf(chain.fault),
                  .damage = in_use,
                  .frame = chain.fault_block,
                  .block = chain.fault_block,
                  .save = first,
                  .kept = static_cast<int>(chain.readable)};
  if (chain.fault == ChainFault::LinkNamesNoBlock || chain.fault == ChainFault::ComesBack) {
    finding.frame = finding.block = last;
    finding.found = chain.fault == ChainFault::ComesBack ? static_cast<uint32_t>(chain.fault_block)
                                                         : chain.walk.last_link;
  } else if (chain.fault != ChainFault::Lost) {
    finding.found = StateOf(image, chain.fault_block);
  }
  return finding;
}

// The size field's own fault, or nothing: it must be whole blocks, 1 to 15 of them.
bool SizeFieldIsSound(uint32_t size) {
  return size % BlockSize == 0 && size >= BlockSize && size <= SaveBlockCount * BlockSize;
}

// The first blocks of every save, in use or removed: those whose chain is sound on its own
// first, then the others, each in block order. A block two chains reach belongs to the first of
// them, so a broken chain never takes blocks from a sound one.
std::vector<int> SavesInClaimOrder(const CardImage& image, std::size_t card_bytes) {
  std::vector<int> sound;
  std::vector<int> broken;
  for (int first = FirstSaveBlock; first <= LastSaveBlock; ++first) {
    if (!IsFirstState(StateOf(image, first))) continue;
    (CheckChain(image, first, {}, card_bytes).sound() ? sound : broken).push_back(first);
  }
  sound.insert(sound.end(), broken.begin(), broken.end());
  return sound;
}

// Damage in removed saves is a notice: nothing uses them until they are restored.
void CheckSaves(const CardImage& image, std::size_t card_bytes, BlockSet& claimed,
                std::vector<Finding>& findings) {
  for (int first : SavesInClaimOrder(image, card_bytes)) {
    const uint32_t state = StateOf(image, first);
    const bool in_use = state == BlockState::InUseFirst;
    const ChainCheck chain = CheckChain(image, first, claimed, card_bytes);
    for (std::size_t i = 0; i < chain.readable; ++i) claimed.set(chain.walk.blocks[i]);
    claimed.set(static_cast<std::size_t>(first));
    const uint32_t size = ReadLe32(DirectoryFrameOf(image, first), DirectoryFrame::SizeOffset);
    const int kept = static_cast<int>(chain.readable);
    if (!chain.sound() && chain.fault != ChainFault::SizeMismatch) {
      findings.push_back(ChainFinding(image, chain, first, in_use));
    } else if (!SizeFieldIsSound(size)) {
      findings.push_back({.kind = FindingKind::SizeField,
                          .damage = in_use,
                          .frame = first,
                          .block = first,
                          .save = first,
                          .found = size,
                          .kept = kept});
    } else if (!chain.sound()) {
      findings.push_back({.kind = FindingKind::SizeMismatch,
                          .damage = in_use,
                          .frame = first,
                          .block = first,
                          .save = first,
                          .found = chain.size_blocks,
                          .kept = kept});
    }
    if (in_use && BlockIsPresent(first, card_bytes)) CheckTitleFrame(image, first, findings);
  }
}

void CheckDirectoryFrames(const CardImage& image, const BlockSet& claimed,
                          std::vector<Finding>& findings) {
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    auto frame = DirectoryFrameOf(image, block);
    if (XorOf(frame) != 0) {
      findings.push_back({.kind = FindingKind::DirectoryCheckByte,
                          .frame = block,
                          .block = block,
                          .found = frame[DirectoryFrame::XorOffset],
                          .expected = StoredXorOf(frame)});
    }
    const uint32_t state = StateOf(image, block);
    if (claimed[static_cast<std::size_t>(block)] || state == BlockState::Free) continue;
    Finding finding{
        .kind = FindingKind::OrphanBlock, .frame = block, .block = block, .found = state};
    if (state == BlockState::McFiller || state == BlockState::Reserved) {
      finding.kind = FindingKind::SpecialState;
      finding.damage = false;
    } else if (!IsKnownState(state)) {
      finding.kind = FindingKind::UnknownState;
    } else {
      // A middle or last block no first block reached; a removed one harms nothing.
      finding.kind = FindingKind::OrphanBlock;
      finding.damage = state < BlockState::Free;
    }
    findings.push_back(finding);
  }
}

void CheckBrokenFrameList(const CardImage& image, std::vector<Finding>& findings) {
  for (int frame = kBrokenListFirst; frame < kBrokenListEnd; ++frame) {
    const uint32_t entry = ReadLe32(FrameAt(image, frame), 0);
    if (entry == kNoBrokenFrame && XorOf(FrameAt(image, frame)) == 0) continue;
    findings.push_back(
        {.kind = FindingKind::BrokenFrameInUse, .damage = false, .frame = frame, .found = entry});
  }
}

}  // namespace

std::vector<Finding> CheckCard(const CardImage& image, std::size_t card_bytes) {
  std::vector<Finding> findings;
  CheckHeader(image, findings);
  BlockSet claimed;
  std::vector<Finding> saves;
  CheckSaves(image, card_bytes, claimed, saves);
  CheckDirectoryFrames(image, claimed, findings);
  findings.insert(findings.end(), saves.begin(), saves.end());
  CheckBrokenFrameList(image, findings);
  return findings;
}

bool HasDamage(std::span<const Finding> findings) {
  return std::ranges::any_of(findings, [](const Finding& finding) { return finding.damage; });
}

std::optional<Finding> ChainDamageOf(std::span<const Finding> findings, int save) {
  for (const Finding& finding : findings) {
    if (finding.save != save || !finding.damage) continue;
    if (finding.kind >= FindingKind::SizeField && finding.kind <= FindingKind::ChainLoop) {
      return finding;
    }
  }
  return std::nullopt;
}

std::optional<Finding> RepairableHeaderFault(const CardImage& image) {
  const std::vector<Finding> findings = CheckCard(image);
  std::optional<Finding> header;
  for (const Finding& finding : findings) {
    if (finding.kind == FindingKind::HeaderCheckByte) {
      header = finding;
    } else if (finding.frame >= 0 && finding.frame <= LastSaveBlock &&
               finding.kind <= FindingKind::DirectoryCheckByte) {
      return std::nullopt;
    }
  }
  return header;
}
