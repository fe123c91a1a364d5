// The card check and its repair on arbitrary cards. Input: one byte saying where the file was
// cut (16 and above: not cut), then the bytes tiled over the card.
#include <algorithm>

#include "card/check.h"
#include "card/single_save.h"
#include "fuzz_support.h"

namespace {

constexpr std::size_t kBlock = 8192;
constexpr std::size_t kFrame = 128;

// Kinds the repair leaves alone by design: they are about data it never invents.
bool IsLeftAlone(FindingKind kind) {
  return kind == FindingKind::HeaderMagic || kind == FindingKind::HeaderFiller ||
         kind == FindingKind::TitleMagic || kind == FindingKind::IconFlag ||
         kind == FindingKind::TitleUndecodable;
}

uint8_t FrameXor(const CardImage& image, std::size_t frame) {
  uint8_t x = 0;
  for (std::size_t i = 0; i < kFrame; ++i) x ^= image[frame * kFrame + i];
  return x;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool silenced = fuzz::SilenceMessages();
  (void)silenced;
  if (size < 2) return 0;
  const std::size_t card_bytes = data[0] < 16 ? (data[0] + 1u) * kBlock : CardSize;
  const CardImage before = fuzz::TiledImage(std::span(data + 1, size - 1));

  const std::vector<Finding> findings = CheckCard(before, card_bytes);
  for (const Finding& finding : findings) {
    fuzz::Require(finding.block >= 0 && finding.block <= 15 && finding.frame >= -1 &&
                      finding.frame < 36 && !DescribeFinding(finding).empty(),
                  "a finding names a block or frame of block 0");
  }
  CardImage repaired = before;
  for (const Finding& mend : RepairCard(repaired, card_bytes)) {
    fuzz::Require(!DescribeMend(mend).empty(), "a mend is described");
  }
  fuzz::Require(
      std::equal(before.begin() + 16 * kFrame, before.end(), repaired.begin() + 16 * kFrame),
      "frames 16..63 and save data untouched");
  for (const Finding& left : CheckCard(repaired, card_bytes)) {
    fuzz::Require(!left.damage || IsLeftAlone(left.kind), "a repaired card verifies clean");
  }
  for (std::size_t frame = 1; frame < 16; ++frame) {
    fuzz::Require(FrameXor(repaired, frame) == 0, "every directory check byte mended");
  }
  const CardImage once = repaired;
  fuzz::Require(RepairCard(repaired, card_bytes).empty() && repaired == once,
                "a second repair changes nothing");

  // A save the check called sound comes out of the repaired card exactly as before.
  for (int first = 1; first <= 15; ++first) {
    if (GetBlockState(before, first) != BlockState::InUseFirst) continue;
    const bool named = std::ranges::any_of(
        findings, [&](const Finding& f) { return f.save == first || f.block == first; });
    if (named) continue;
    std::optional<SaveContents> old_save = SaveOnCard(before, first, card_bytes);
    std::optional<SaveContents> new_save = SaveOnCard(repaired, first, card_bytes);
    fuzz::Require(old_save && new_save && old_save->frame == new_save->frame &&
                      old_save->blocks == new_save->blocks,
                  "a sound save is byte-identical after the repair");
  }
  return 0;
}
