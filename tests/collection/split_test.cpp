#include "collection/split.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "card/formats/card_file.h"
#include "card/image_file.h"
#include "support/card_builder.h"
#include "support/temp_folder.h"

using test_support::BlankCard;
using test_support::PlaceSave;
using test_support::SaveSpec;
using test_support::TempFolder;

namespace {

class SplitTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const CardImage& card) {
    const std::string path = folder_.File(name);
    test_support::WriteBytes(path, card);
    return path;
  }
  std::string Destination(const std::string& relative) const {
    return folder_.File("destino/" + relative);
  }
  // Plans and writes; the cards given are named as their files.
  CardPlan Split(CardLayout layout, const std::vector<std::string>& files) {
    CardPlan plan(PerGameTargets(layout, folder_.path() / "destino"));
    for (const std::string& file : files) PlanFile(plan, file, file, GameOfSave);
    plan.CarryOut();
    return plan;
  }
  // Product code and game ID of the in-use saves of the card file, by first block.
  static std::vector<std::string> NamesOn(const std::string& path) {
    auto card = std::make_unique<CardImage>();
    CardContainer container;
    EXPECT_TRUE(LoadCardFile(*card, container, path)) << path;
    EXPECT_TRUE(test_support::AllDirectoryXorsValid(*card)) << path;
    std::vector<std::string> names;
    for (int block : test_support::FirstBlocks(*card)) {
      if (GetBlockState(*card, block) == 0x51) {
        std::string name = GetProductCode(*card, block) + GetGameId(*card, block);
        std::erase(name, '\0');
        names.push_back(name);
      }
    }
    return names;
  }

  TempFolder folder_;
};

TEST_F(SplitTest, FifteenGamesOnOneCardGiveFifteenCards) {
  CardImage card = BlankCard();
  for (int block = 1; block <= 15; ++block) {
    char code[11];
    std::snprintf(code, sizeof code, "SLUS-010%02d", block);
    PlaceSave(
        card,
        SaveSpec{.blocks = {block}, .product_code = code, .seed = static_cast<uint8_t>(block)});
  }
  const CardPlan plan = Split(CardLayout::Folder, {Write("compartilhado.mc", card)});
  EXPECT_EQ(plan.LeftOutCount(), 0);
  ASSERT_EQ(plan.Saves().size(), 15u);
  EXPECT_EQ(plan.Saves()[6].target, Destination("SLUS-01007.mc"));
  for (int block = 1; block <= 15; ++block) {
    char name[32];
    std::snprintf(name, sizeof name, "SLUS-010%02d.mc", block);
    char save[32];
    std::snprintf(save, sizeof save, "SLUS-010%02dSAVEGAME", block);
    EXPECT_EQ(NamesOn(Destination(name)), std::vector<std::string>{save});
  }
}

TEST_F(SplitTest, AGameOfTwentyBlocksSpillsOntoTheNextChannel) {
  CardImage first = BlankCard();
  PlaceSave(first,
            SaveSpec{.blocks = {1, 2, 3, 4, 5}, .product_code = "SLES-02618", .game_id = "A"});
  PlaceSave(first,
            SaveSpec{.blocks = {6, 7, 8, 9, 10}, .product_code = "SLES-02618", .game_id = "B"});
  PlaceSave(first,
            SaveSpec{.blocks = {11, 12, 13, 14, 15}, .product_code = "SLES-02618", .game_id = "C"});
  CardImage second = BlankCard();
  PlaceSave(second,
            SaveSpec{.blocks = {1, 2, 3, 4, 5}, .product_code = "SLES-02618", .game_id = "D"});
  const CardPlan plan =
      Split(CardLayout::MemcardPro, {Write("um.mc", first), Write("dois.gme.mc", second)});
  EXPECT_EQ(plan.LeftOutCount(), 0);
  EXPECT_EQ(NamesOn(Destination("SLES-02618/SLES-02618-1.mcd")),
            (std::vector<std::string>{"SLES-02618A", "SLES-02618B", "SLES-02618C"}));
  EXPECT_EQ(NamesOn(Destination("SLES-02618/SLES-02618-2.mcd")),
            std::vector<std::string>{"SLES-02618D"});
}

TEST_F(SplitTest, AnExistingCardReceivesWhatFitsAndIsNotThereAndOtherFilesAreNeverReplaced) {
  std::filesystem::create_directories(folder_.path() / "destino");
  CardImage existing = BlankCard();
  PlaceSave(existing, SaveSpec{.blocks = {1}, .product_code = "SLUS-00594", .game_id = "OLD"});
  Write("destino/SLUS-00594.mc", existing);
  test_support::WriteBytes(Destination("SCES-00001.mc"), std::vector<uint8_t>{'t', 'x', 't'});

  CardImage card = BlankCard();
  PlaceSave(card, SaveSpec{.blocks = {2}, .product_code = "SLUS-00594", .game_id = "OLD"});
  PlaceSave(card, SaveSpec{.blocks = {4}, .product_code = "SLUS-00594", .game_id = "NEW"});
  PlaceSave(card, SaveSpec{.blocks = {6}, .product_code = "SCES-00001"});
  PlaceSave(card, SaveSpec{.blocks = {8}, .product_code = std::string(10, '\0')});
  const std::string input = Write("entrada.mc", card);
  CardPlan plan = Split(CardLayout::Folder, {input, input});

  // The same card twice: its saves are written once, the second time all are identical.
  ASSERT_EQ(plan.Saves().size(), 8u);
  EXPECT_EQ(plan.Saves()[0].fate, SaveFate::Identical);  // OLD, already on the existing card
  EXPECT_EQ(plan.Saves()[1].fate, SaveFate::Written);
  for (std::size_t i = 4; i < 8; ++i) EXPECT_EQ(plan.Saves()[i].fate, SaveFate::Identical);
  EXPECT_EQ(NamesOn(Destination("SLUS-00594.mc")),
            (std::vector<std::string>{"SLUS-00594OLD", "SLUS-00594NEW"}));
  EXPECT_EQ(test_support::ReadBytes(Destination("SCES-00001.mc")),
            (std::vector<uint8_t>{'t', 'x', 't'}));
  EXPECT_EQ(NamesOn(Destination("SCES-00001-2.mc")),
            std::vector<std::string>{"SCES-00001SAVEGAME"});
  EXPECT_EQ(NamesOn(Destination("sem-codigo.mc")).size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(Destination("SLUS-00594-2.mc")));
}

TEST_F(SplitTest, PocketStationCodesJoinTheirGameAndAGameBeyondItsSlotsIsReported) {
  std::vector<std::string> inputs;
  for (const char* id : {"A", "B", "C"}) {
    CardImage card = BlankCard();
    PlaceSave(card, SaveSpec{.blocks = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                             .product_code = "SLUSP00982",
                             .game_id = id});
    inputs.push_back(Write(std::string(id) + ".mc", card));
  }
  CardImage same_name = BlankCard();  // other bytes under a name already planned
  PlaceSave(same_name,
            SaveSpec{.blocks = {1}, .product_code = "SLUS-00982", .game_id = "Z", .seed = 1});
  CardImage other_bytes = BlankCard();
  PlaceSave(other_bytes,
            SaveSpec{.blocks = {1}, .product_code = "SLUS-00982", .game_id = "Z", .seed = 2});
  const CardPlan plan = Split(CardLayout::DuckStation, inputs);
  EXPECT_EQ(plan.Saves()[0].target, Destination("SLUS-00982_1.mcd"));
  EXPECT_EQ(plan.Saves()[1].target, Destination("SLUS-00982_2.mcd"));
  EXPECT_EQ(plan.Saves()[2].fate, SaveFate::LeftOut);
  EXPECT_EQ(plan.Saves()[2].reason, "não cabe em nenhum dos 2 cartões permitidos");
  EXPECT_EQ(plan.LeftOutCount(), 1);
  EXPECT_FALSE(std::filesystem::exists(Destination("SLUS-00982_3.mcd")));

  const CardPlan names =
      Split(CardLayout::Sd2psx, {Write("z1.mc", same_name), Write("z2.mc", other_bytes)});
  EXPECT_EQ(names.Saves()[0].target, Destination("PS1/SLUS-00982/SLUS-00982-1.mcd"));
  EXPECT_EQ(names.Saves()[1].target, Destination("PS1/SLUS-00982/SLUS-00982-2.mcd"));
}

// "BASLUS-01234AB", then a NUL and a byte that differs: an import compares names up to the NUL,
// so the two may not share a card.
TEST_F(SplitTest, NamesThatDifferOnlyAfterTheirNulGoOnSeparateCards) {
  std::vector<std::string> inputs;
  for (char last : {'X', 'Y'}) {
    CardImage card = BlankCard();
    PlaceSave(card, SaveSpec{.blocks = {1},
                             .product_code = "SLUS-01234",
                             .game_id = std::string("AB\0", 3) + last});
    DirectoryFrameOf(card, 1)[10] = 'B';
    UpdateDirectoryXor(card, 1);
    inputs.push_back(Write(std::string(1, last) + ".mc", card));
  }
  const CardPlan plan = Split(CardLayout::Folder, inputs);
  EXPECT_EQ(plan.LeftOutCount(), 0);
  EXPECT_EQ(plan.Saves()[0].target, Destination("SLUS-01234.mc"));
  EXPECT_EQ(plan.Saves()[1].target, Destination("SLUS-01234-2.mc"));
  EXPECT_EQ(NamesOn(Destination("SLUS-01234-2.mc")), std::vector<std::string>{"SLUS-01234ABY"});
}

// A card in memory whose file was cut: the save that lost blocks is not taken.
TEST(SaveSourceTest, ACardInMemoryKnowsTheBytesItsFileHeld) {
  auto card = std::make_shared<CardImage>(BlankCard());
  PlaceSave(*card, SaveSpec{.blocks = {1}});
  PlaceSave(*card, SaveSpec{.blocks = {2, 3}});
  const std::vector<FoundSave> saves =
      SavesOfSource({.card = card, .card_bytes = 3 * 8192});  // blocks 0 to 2
  ASSERT_EQ(saves.size(), 2u);
  EXPECT_FALSE(saves[0].broken);
  EXPECT_TRUE(saves[1].broken);
}

TEST_F(SplitTest, AFileThatChangedBetweenPlanAndWritingLeavesItsSaveOut) {
  CardImage card = BlankCard();
  PlaceSave(card, SaveSpec{.blocks = {1}, .product_code = "SLUS-00001"});
  const std::string input = Write("muda.mc", card);
  CardPlan plan(PerGameTargets(CardLayout::Folder, folder_.path() / "destino"));
  PlanFile(plan, "muda.mc", input, GameOfSave);
  card[8192 + 500] ^= 0xFF;
  test_support::WriteBytes(input, card);
  plan.CarryOut();
  EXPECT_EQ(plan.Saves()[0].fate, SaveFate::LeftOut);
  EXPECT_EQ(plan.Saves()[0].reason, "o arquivo de origem mudou durante a cópia");
  EXPECT_FALSE(std::filesystem::exists(Destination("SLUS-00001.mc")));
}

}  // namespace
