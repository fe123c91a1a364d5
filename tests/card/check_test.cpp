#include "card/check.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "card/little_endian.h"
#include "support/card_builder.h"

using namespace test_support;

namespace {

// One save in block 1, a three-block save in 4, 7, 5 and a removed two-block save in 9, 10.
CardImage BaseCard() {
  CardImage image = BlankCard();
  PlaceSave(image, {.blocks = {1}, .title = SingleByteTitle("ONE")});
  PlaceSave(image, {.blocks = {4, 7, 5}, .title = ShiftJisTitle("THREE"), .seed = 2});
  PlaceSave(image, {.blocks = {9, 10}, .removed = true, .seed = 3});
  return image;
}

void FixFrameXor(CardImage& image, int frame) {
  auto bytes = std::span(image).subspan(static_cast<std::size_t>(frame) * FrameSize, FrameSize);
  bytes[127] = XorOf(bytes.first(127));
}

struct DamageCase {
  const char* name;
  void (*damage)(CardImage&);
  Finding expected;  // among the findings
  const char* text;  // its line, or nullptr
};

void PrintTo(const DamageCase& c, std::ostream* out) {
  *out << c.name;
}

using K = FindingKind;

const DamageCase kDamage[] = {
    {"HeaderCheckByte42",
     [](CardImage& i) { i[127] = 0x42; },
     {K::HeaderCheckByte, true, 0, 0, 0, 0x42, 0x0E, 0},
     "frame 0: byte de verificação 0x42, deveria ser 0x0E"},
    // Frame 7: state 0x52, link 4; its check byte 0x56 spoilt to 0x0C.
    {"DirectoryCheckByte",
     [](CardImage& i) { i[7 * 128 + 127] ^= 0x5A; },
     {K::DirectoryCheckByte, true, 7, 7, 0, 0x0C, 0x56, 0},
     "bloco 7 (frame 7): byte de verificação 0x0C, deveria ser 0x56"},
    {"UnknownState",
     [](CardImage& i) { SetState(i, 12, 0x99); },
     {K::UnknownState, true, 12, 12, 0, 0x99, 0, 0},
     "bloco 12 (frame 12): estado 0x00000099 desconhecido"},
    {"McFillerIsANotice",
     [](CardImage& i) { SetState(i, 12, 0x434D); },
     {K::SpecialState, false, 12, 12, 0, 0x434D, 0, 0},
     nullptr},
    {"SizeNotWholeBlocks",
     [](CardImage& i) { SetSize(i, 1, 8000); },
     {K::SizeField, true, 1, 1, 1, 8000, 0, 1},
     nullptr},
    {"SizeSaysFifteenBlocks",
     [](CardImage& i) { SetSize(i, 4, 15 * 8192); },
     {K::SizeMismatch, true, 4, 4, 4, 15, 0, 3},
     "bloco 4 (frame 4): o tamanho diz 15 blocos, a cadeia tem 3"},
    {"LinkNamesNoBlock",
     [](CardImage& i) { SetLink(i, 7, 0x1C43); },
     {K::ChainBadLink, true, 7, 7, 4, 0x1C43, 0, 2},
     nullptr},
    {"Loop",
     [](CardImage& i) { SetLink(i, 5, 3); },
     {K::ChainLoop, true, 5, 5, 4, 4, 0, 3},
     "bloco 5 (frame 5): a cadeia do 'save' do bloco 4 volta ao bloco 4"},
    {"IntoAnotherSavesFirstBlock",
     [](CardImage& i) { SetLink(i, 7, 0); },
     {K::ChainStray, true, 1, 1, 4, 0x51, 0, 2},
     "bloco 1 (frame 1): a cadeia do 'save' do bloco 4 entra aqui, em o primeiro bloco de "
     "outro 'save'"},
    {"IntoAFreeBlock",
     [](CardImage& i) { SetLink(i, 7, 12); },
     {K::ChainStray, true, 13, 13, 4, 0xA0, 0, 2},
     nullptr},
    // A broken chain in blocks 2, 3 turned into block 7 of the sound save in 4, 7, 5: block 7
    // stays that save's although block 2 comes first.
    {"IntoASoundSavesTail",
     [](CardImage& i) {
       PlaceSave(i, {.blocks = {2, 3}});
       SetLink(i, 2, 6);
     },
     {K::ChainClaimed, true, 7, 7, 2, 0x52, 0, 1},
     nullptr},
    {"OrphanMiddleBlock",
     [](CardImage& i) { SetState(i, 12, 0x52); },
     {K::OrphanBlock, true, 12, 12, 0, 0x52, 0, 0},
     nullptr},
    {"RemovedSaveCutIsANotice",
     [](CardImage& i) { SetLink(i, 9, NoLink); },
     {K::SizeMismatch, false, 9, 9, 9, 2, 0, 1},
     nullptr},
    {"TitleWithoutSC",
     [](CardImage& i) { BlockOf(i, 1)[0] = 0; },
     {K::TitleMagic, true, -1, 1, 1, 0, 0, 0},
     nullptr},
    {"IconFlag",
     [](CardImage& i) { BlockOf(i, 1)[2] = 0x14; },
     {K::IconFlag, true, -1, 1, 1, 0x14, 0, 0},
     nullptr},
    {"TitleNotShiftJis",
     [](CardImage& i) { BlockOf(i, 4)[5] = 0x20; },
     {K::TitleUndecodable, true, -1, 4, 4, 0, 0, 0},
     nullptr},
    {"BrokenFrameListInUse",
     [](CardImage& i) {
       WriteLe32(i, 16 * 128, 0x123);
       FixFrameXor(i, 16);
     },
     {K::BrokenFrameInUse, false, 16, 0, 0, 0x123, 0, 0},
     nullptr},
};

class CardDamage : public testing::TestWithParam<DamageCase> {};

// Each damage is found where it is, and the repair mends it without touching frames 16..63, any
// save data, or a save that was sound; a second repair finds nothing to do.
TEST_P(CardDamage, IsFoundAndMendedWithoutTouchingData) {
  CardImage image = BaseCard();
  GetParam().damage(image);
  const std::vector<Finding> findings = CheckCard(image);
  auto found = std::ranges::find(findings, GetParam().expected);
  ASSERT_NE(found, findings.end());
  EXPECT_EQ(HasDamage(findings), GetParam().expected.damage);
  if (GetParam().text) {
    EXPECT_EQ(DescribeFinding(*found), GetParam().text);
  }

  CardImage repaired = image;
  RepairCard(repaired);
  EXPECT_TRUE(std::equal(image.begin() + 16 * 128, image.end(), repaired.begin() + 16 * 128));
  for (const Finding& left : CheckCard(repaired)) {
    EXPECT_TRUE(!left.damage || left.kind == K::TitleMagic || left.kind == K::IconFlag ||
                left.kind == K::TitleUndecodable)
        << DescribeFinding(left);
  }
  for (int save : FirstBlocks(image)) {
    if (std::ranges::any_of(findings, [&](const Finding& f) { return f.save == save; })) continue;
    EXPECT_TRUE(std::ranges::equal(DirectoryFrameOf(image, save), DirectoryFrameOf(repaired, save)))
        << "save " << save;
  }
  const CardImage once = repaired;
  EXPECT_TRUE(RepairCard(repaired).empty());
  EXPECT_EQ(repaired, once);
}

INSTANTIATE_TEST_SUITE_P(Check, CardDamage, testing::ValuesIn(kDamage),
                         [](const auto& info) { return std::string(info.param.name); });

// Shapes real cards have, none of them a finding.
TEST(Check, RealWorldShapesAreSound) {
  std::vector<CardImage> cards;
  for (uint32_t seed = 1; seed <= 12; ++seed) cards.push_back(RandomCard(seed));
  CardImage image = BaseCard();
  std::fill(image.begin() + 63 * 128, image.begin() + 64 * 128, uint8_t{0});
  cards.push_back(image);  // frame 63 zero
  std::copy_n(image.begin(), 128, image.begin() + 63 * 128);
  cards.push_back(image);  // frame 63 a copy of frame 0
  std::fill(image.begin() + 36 * 128, image.begin() + 64 * 128, uint8_t{0x5A});
  cards.push_back(image);  // frames 36..63 other bytes
  for (int block : {1, 4, 7, 12}) {
    auto frame = DirectoryFrameOf(image, block);
    std::fill(frame.begin() + 0x20, frame.begin() + 0x7F, uint8_t{0xC3});  // filler
    UpdateDirectoryXor(image, block);
  }
  WriteLe16(image, 16 * 128 + 8, 0);  // a broken-frame list entry with 0x0000 at byte 8
  cards.push_back(image);
  for (const CardImage& card : cards) {
    for (const Finding& finding : CheckCard(card)) ADD_FAILURE() << DescribeFinding(finding);
  }
}

TEST(Check, RepairCutsAChainAtItsFirstBadLinkAndFreesWhatItLeft) {
  CardImage image = BaseCard();
  SetLink(image, 7, 0x1C43);
  const std::vector<Finding> mended = RepairCard(image);
  std::vector<std::string> texts;
  for (const Finding& mend : mended) texts.push_back(DescribeMend(mend));
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "bloco 5 (frame 5): bloco que nenhum 'save' alcança marcado como livre",
                       "bloco 7 (frame 7): a cadeia do 'save' do bloco 4 foi cortada antes deste "
                       "ponto; ficou com 2 blocos e o tamanho foi corrigido"}));
  EXPECT_EQ(GetSaveSize(image, 4), 16384u);
  EXPECT_EQ(GetNextLink(image, 7), NoLink);
  EXPECT_EQ(GetBlockState(image, 7), 0x53u);
  EXPECT_TRUE(std::ranges::equal(DirectoryFrameOf(image, 5), FreeDirectoryFrame));
}

TEST(Check, OnlyACardCutInsideASaveLosesIt) {
  const CardImage image = BaseCard();
  // Cut after block 5: block 7 of the save in 4, 7, 5 and the removed save's blocks are gone.
  std::vector<Finding> lost;
  for (const Finding& f : CheckCard(image, 6 * BlockSize)) {
    if (f.kind == K::ChainLost) lost.push_back(f);
  }
  ASSERT_EQ(lost.size(), 2u);
  EXPECT_EQ(DescribeFinding(lost[0]),
            "bloco 7 (frame 7): o arquivo termina antes deste bloco do 'save' do bloco 4");
  EXPECT_EQ(lost[1].save, 9);
  EXPECT_FALSE(lost[1].damage);
  EXPECT_TRUE(CheckCard(image, 11 * BlockSize).empty());  // cut after the last used block
}

TEST(Check, OnlyAHeaderWithMcAndASoundDirectoryIsRepairable) {
  CardImage image = BaseCard();
  image[127] = 0x42;
  EXPECT_TRUE(RepairableHeaderFault(image));
  image[7 * 128 + 127] ^= 1;
  EXPECT_FALSE(RepairableHeaderFault(image));
  image = BaseCard();
  image[0] = 'N';
  EXPECT_FALSE(RepairableHeaderFault(image));
}

}  // namespace
