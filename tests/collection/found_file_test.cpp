#include "collection/found_file.h"

#include <gtest/gtest.h>

#include "card/formats/card_file.h"
#include "card/single_save.h"
#include "collection/game_code.h"
#include "support/card_builder.h"

using test_support::BlankCard;
using test_support::PlaceSave;
using test_support::SaveSpec;

namespace {

// A one-block save named BASLUS-00000TESTSAVE whose block holds byte i & 0xFF at i, "SC" first.
SaveContents CountingSave(const std::string& name) {
  SaveContents save;
  save.block_count = 1;
  save.blocks.resize(8192);
  for (std::size_t i = 0; i < save.blocks.size(); ++i) save.blocks[i] = static_cast<uint8_t>(i);
  save.blocks[0] = 'S';
  save.blocks[1] = 'C';
  save.frame =
      FirstFrameNamed(std::span(reinterpret_cast<const uint8_t*>(name.data()), name.size()), 1);
  return save;
}

TEST(SaveDigestTest, IsSha256OfTheTwentyByteNameThenTheBlocks) {
  // Both values from Python's hashlib over name (NUL-padded to 20 bytes) + block.
  EXPECT_EQ(DigestText(DigestOf(CountingSave("BASLUS-00000TESTSAVE"))),
            "b9083ed411066ff77c3452c9eae5b3c9a1cade77f0d55972a9fdc22e879abdb1");
  EXPECT_EQ(DigestText(DigestOf(CountingSave("BESLES-01234"))),
            "5e59979cd247346bad409c25f7c8c5a63a27342d4f2feba4173d4cbc4ae777f8");
}

struct CodeRow {
  const char* field;  // the 10 bytes of the product code field
  const char* game;
};

TEST(GameCodeTest, NormalisesThePocketStationFormAndNamesSavesWithoutACode) {
  const CodeRow rows[] = {
      {"SLUS-00594", "SLUS-00594"},
      {"SLUSP00982", "SLUS-00982"},
      {"SCES\0\0\0\0\0\0", "SCES"},
      {"\0\0\0\0\0\0\0\0\0\0", "sem-codigo"},
      {"SLUS\x01"
       "00594",
       "sem-codigo"},
      {"SLUS/00594", "sem-codigo"},
      {"..\0\0\0\0\0\0\0\0", "sem-codigo"},
  };
  for (const CodeRow& row : rows) {
    Frame frame{};
    std::copy_n(row.field, 10, frame.begin() + 12);  // product code at 0x0C
    EXPECT_EQ(GameCodeOf(frame), row.game) << row.game;
  }
}

struct FileRow {
  const char* name;
  std::vector<uint8_t> bytes;
  FoundKind kind;
  const char* format;
  std::size_t saves;
};

TEST(ExamineBytesTest, RecognisesEveryCardAndSingleSaveFormatByContent) {
  CardImage card = BlankCard();
  PlaceSave(card, SaveSpec{.blocks = {3}, .product_code = "SLUS-00001"});
  PlaceSave(card, SaveSpec{.blocks = {5, 2}, .product_code = "SLUS-00002", .removed = true});
  const SaveContents save = CountingSave("BASLUS-00000TESTSAVE");
  std::vector<uint8_t> no_mc(card.begin(), card.end());
  no_mc[0] = 'X';
  std::vector<uint8_t> bad_psv = EncodeSingleSave(save, SingleSaveFormat::Psv);
  bad_psv[0x44] = 0x85;  // data offset must be 0x84
  const FileRow rows[] = {
      {"raw card", {card.begin(), card.end()}, FoundKind::Card, "mc", 2},
      {"gme", EncodeCardFile(card, NewCardContainer(CardFormat::DexDrive)), FoundKind::Card, "gme",
       2},
      {"vmp", EncodeCardFile(card, NewCardContainer(CardFormat::Vmp)), FoundKind::Card, "vmp", 2},
      {"mcs", EncodeSingleSave(save, SingleSaveFormat::Mcs), FoundKind::SingleSave, "mcs", 1},
      {"raw save", EncodeSingleSave(save, SingleSaveFormat::RawSave), FoundKind::SingleSave,
       "bruto", 1},
      {"ar", EncodeSingleSave(save, SingleSaveFormat::ActionReplay), FoundKind::SingleSave, "ar",
       1},
      {"psv", EncodeSingleSave(save, SingleSaveFormat::Psv), FoundKind::SingleSave, "psv", 1},
      {"card without MC", no_mc, FoundKind::Other, "", 0},
      {"text", {'o', 'i', '\n'}, FoundKind::Other, "", 0},
      {"bad psv header", bad_psv, FoundKind::Refused, "psv", 0},
  };
  for (const FileRow& row : rows) {
    const FoundFile found = ExamineBytes(row.bytes, row.bytes.size(), "/x/BASLUS-00000TESTSAVE");
    EXPECT_EQ(found.kind, row.kind) << row.name;
    EXPECT_EQ(found.format, row.format) << row.name;
    EXPECT_EQ(found.saves.size(), row.saves) << row.name;
  }
  const FoundFile refused = ExamineBytes(bad_psv, bad_psv.size(), "/x/s.psv");
  EXPECT_EQ(refused.reason, "O arquivo /x/s.psv apresentou um cabeçalho PSV inválido!");
}

TEST(ExamineBytesTest, ACardGivesEachSaveInChainOrderMarkedRemovedOrBroken) {
  CardImage card = BlankCard();
  PlaceSave(card, SaveSpec{.blocks = {7, 2, 12}, .seed = 7});
  PlaceSave(card, SaveSpec{.blocks = {4, 5}, .removed = true});
  PlaceSave(card, SaveSpec{.blocks = {9, 10}});
  test_support::SetLink(card, 10, 8);  // block 10 links back to block 9: a loop
  const FoundFile found = ExamineBytes(card, card.size(), "c.mc");
  ASSERT_EQ(found.saves.size(), 3u);
  EXPECT_EQ(found.saves[0].block, 4);
  EXPECT_TRUE(found.saves[0].removed);
  EXPECT_EQ(found.saves[1].block, 7);
  EXPECT_EQ(found.saves[1].contents.block_count, 3);
  // The chain's second block is block 2 of the card: bytes 2 * 8192 onwards.
  EXPECT_TRUE(std::equal(card.begin() + 2 * 8192, card.begin() + 3 * 8192,
                         found.saves[1].contents.blocks.begin() + 8192));
  EXPECT_EQ(found.saves[2].block, 9);
  EXPECT_TRUE(found.saves[2].broken);
}

TEST(ExamineBytesTest, ASaveThatLostBlocksToTheEndOfACutDexDriveFileIsBroken) {
  CardImage card = BlankCard();
  PlaceSave(card, SaveSpec{.blocks = {1}});
  PlaceSave(card, SaveSpec{.blocks = {2, 3}});
  std::vector<uint8_t> gme = EncodeCardFile(card, NewCardContainer(CardFormat::DexDrive));
  // The 0xF40-byte header, then blocks 0, 1 and 2 only: block 3 is cut off.
  gme.resize(0xF40 + 3 * 8192);
  const FoundFile found = ExamineBytes(gme, gme.size(), "cut.gme");
  ASSERT_EQ(found.kind, FoundKind::Card);
  ASSERT_EQ(found.saves.size(), 2u);
  EXPECT_FALSE(found.saves[0].broken);
  EXPECT_TRUE(found.saves[1].broken);
}

}  // namespace
