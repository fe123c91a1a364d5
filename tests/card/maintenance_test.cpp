#include "card/maintenance.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/card_builder.h"
#include "support/message_recorder.h"

using namespace test_support;

namespace {

using Messages = std::vector<RecordedMessage>;
const RecordedMessage kInvalidBlock{"Referência de Bloco Inválida", "Erro"};
const RecordedMessage kRemoveCheckFailed{
    "Não é possível remover o bloco. A checagem de consistência falhou!", "Atenção"};
const RecordedMessage kRestoreCheckFailed{
    "Não é possível restaurar o bloco. A checagem de consistência falhou!", "Atenção"};

// Block 4, 7, 5: a three-block save in use; block 10 a one-block save; block 12..13 removed.
CardImage SampleCard() {
  CardImage image = BlankCard();
  PlaceSave(image, {.blocks = {4, 7, 5}});
  PlaceSave(image, {.blocks = {10}});
  PlaceSave(image, {.blocks = {12, 13}, .removed = true});
  return image;
}

TEST(Maintenance, BlockNumbersOutsideTheSaveBlocksChangeNothing) {
  for (int block : {0, 16}) {
    CardImage image = SampleCard();
    MessageRecorder recorder;
    EXPECT_FALSE(CheckSaveChain(image, block));
    RemoveSave(image, block);
    RestoreSave(image, block);
    SetSaveRegion(image, block, RegionCode::JP);
    EXPECT_EQ(recorder.messages(), Messages(4, kInvalidBlock));
    EXPECT_EQ(image, SampleCard());
  }
}

struct Refusal {
  bool remove;
  uint32_t state;  // of the selected block 4
  const char* text;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
  *out << (refusal.remove ? "remove" : "restore") << " state 0x" << std::hex << refusal.state;
}

class MaintenanceRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(MaintenanceRefusal, LeavesTheImageAlone) {
  CardImage image = SampleCard();
  SetState(image, 4, GetParam().state);
  const CardImage before = image;
  MessageRecorder recorder;
  GetParam().remove ? RemoveSave(image, 4) : RestoreSave(image, 4);
  EXPECT_EQ(recorder.messages(), (Messages{{GetParam().text, "Atenção"}}));
  EXPECT_EQ(image, before);
}

INSTANTIATE_TEST_SUITE_P(
    Maintenance, MaintenanceRefusal,
    testing::Values(
        Refusal{true, 0xA0, "Este bloco já encontra-se livre!"},
        Refusal{true, 0xA1, "Este bloco já foi removido!"},
        Refusal{true, 0xA3, "Este bloco já foi removido!"},
        Refusal{true, 0x151, "Tipo de bloco desconhecido. Não foi possível removê-lo!"},
        Refusal{true, 0x50, "Tipo de bloco desconhecido. Não foi possível removê-lo!"},
        Refusal{true, 0x52,
                "Você deve selecionar o primeiro bloco do Save. Não foi possível removê-lo!"},
        Refusal{true, 0x53,
                "Você deve selecionar o primeiro bloco do Save. Não foi possível removê-lo!"},
        Refusal{false, 0xA0, "Não é possível restaurar um bloco livre!"},
        Refusal{false, 0x51, "Este bloco não foi removido!"},
        Refusal{false, 0x53, "Este bloco não foi removido!"},
        Refusal{false, 0x1A1, "Tipo de bloco desconhecido. Não foi possível restaurá-lo!"},
        Refusal{false, 0xA4, "Tipo de bloco desconhecido. Não foi possível restaurá-lo!"},
        Refusal{false, 0xA2,
                "Você deve selecionar o primeiro bloco do Save. Não foi possível restaurá-lo!"}));

struct ChainCase {
  const char* name;
  void (*damage)(CardImage&);  // applied to the save in blocks 4, 7, 5
  bool consistent;
};

void PrintTo(const ChainCase& chain, std::ostream* out) {
  *out << chain.name;
}

class SaveChain : public testing::TestWithParam<ChainCase> {};

// The check itself stays silent on a bad chain; a removal of it refuses with the check's text.
TEST_P(SaveChain, IsCheckedSilentlyAndGuardsRemoval) {
  CardImage image = SampleCard();
  GetParam().damage(image);
  MessageRecorder recorder;
  EXPECT_EQ(CheckSaveChain(image, 4), GetParam().consistent);
  EXPECT_TRUE(recorder.messages().empty());
  if (GetParam().consistent) return;
  const CardImage before = image;
  RemoveSave(image, 4);
  EXPECT_EQ(image, before);
  EXPECT_EQ(recorder.messages(), Messages{kRemoveCheckFailed});
}

INSTANTIATE_TEST_SUITE_P(
    Maintenance, SaveChain,
    testing::Values(
        ChainCase{"Consistent", [](CardImage&) {}, true},
        ChainCase{"FollowingBlocksMayBeRemovedOrUnknown",
                  [](CardImage& i) { SetState(i, 7, 0xA2), SetState(i, 5, 0x99); }, true},
        ChainCase{"SizeTooSmall", [](CardImage& i) { SetSize(i, 4, 2 * BlockSize); }, false},
        ChainCase{"SizeTooLarge", [](CardImage& i) { SetSize(i, 4, 4 * BlockSize); }, false},
        ChainCase{"SizeBelowOneBlock", [](CardImage& i) { SetSize(i, 4, 8191); }, false},
        ChainCase{"EndsEarly", [](CardImage& i) { SetLink(i, 7, NoLink); }, false},
        ChainCase{"LinksToItself", [](CardImage& i) { SetLink(i, 7, 6); }, false},
        ChainCase{"LoopsToTheFirst", [](CardImage& i) { SetLink(i, 5, 3); }, false},
        ChainCase{"RunsIntoAFreeBlock", [](CardImage& i) { SetState(i, 7, 0xA0); }, false},
        ChainCase{"RunsIntoAFirstBlockInUse", [](CardImage& i) { SetState(i, 5, 0x51); }, false},
        ChainCase{"RunsIntoAnotherSave", [](CardImage& i) { SetLink(i, 4, 9); }, false},
        ChainCase{"LinkNamesNoBlock", [](CardImage& i) { SetLink(i, 7, 15); }, false},
        ChainCase{"LinkFarOutside", [](CardImage& i) { SetLink(i, 5, 0xFFFE); }, false}),
    [](const auto& info) { return info.param.name; });

TEST(Maintenance, CheckStartsOnlyAtAFirstBlock) {
  CardImage image = SampleCard();
  MessageRecorder recorder;
  EXPECT_FALSE(CheckSaveChain(image, 7));
  EXPECT_TRUE(CheckSaveChain(image, 12));
  EXPECT_EQ(recorder.messages(),
            (Messages{{"A checagem de consistência deve ser iniciada a partir do primeiro bloco "
                       "da série e que não esteja livre!",
                       "Atenção"}}));
}

TEST(Maintenance, RemovalAndRestorationChangeOnlyTheStatesOfTheChain) {
  CardImage image = SampleCard();
  MessageRecorder recorder;
  RemoveSave(image, 4);
  CardImage expected = SampleCard();
  SetState(expected, 4, 0xA1), SetState(expected, 7, 0xA2), SetState(expected, 5, 0xA3);
  EXPECT_EQ(image, expected);
  RestoreSave(image, 4);
  RestoreSave(image, 12);
  expected = SampleCard();
  SetState(expected, 12, 0x51), SetState(expected, 13, 0x53);
  EXPECT_EQ(image, expected);
  EXPECT_TRUE(recorder.messages().empty());
}

TEST(Maintenance, RemoveThenRestoreGivesBackTheSameCard) {
  MessageRecorder recorder;
  for (uint32_t seed = 0; seed < 40; ++seed) {
    const CardImage card = RandomCard(seed);
    for (int first : FirstBlocks(card)) {
      CardImage image = card;
      bool removed = GetBlockState(image, first) == BlockState::RemovedFirst;
      removed ? RestoreSave(image, first) : RemoveSave(image, first);
      EXPECT_NE(image, card);
      EXPECT_TRUE(AllDirectoryXorsValid(image));
      removed ? RemoveSave(image, first) : RestoreSave(image, first);
      EXPECT_EQ(image, card) << "seed " << seed << " block " << first;
    }
  }
  EXPECT_TRUE(recorder.messages().empty());
}

// A chain the check lets through may still hold blocks the change would turn into no known code.
TEST(Maintenance, ChainsWithBlocksInTheWrongFamilyAreRefused) {
  const std::tuple<bool, int, uint32_t, RecordedMessage> cases[] = {
      {true, 7, 0xA2, kRemoveCheckFailed},
      {true, 5, 0x1234, kRemoveCheckFailed},
      {false, 13, 0x53, kRestoreCheckFailed},
      {false, 13, 0xFFFFFFFF, kRestoreCheckFailed},
  };
  for (const auto& [remove, block, state, message] : cases) {
    CardImage image = SampleCard();
    SetState(image, block, state);
    const CardImage before = image;
    MessageRecorder recorder;
    remove ? RemoveSave(image, 4) : RestoreSave(image, 12);
    EXPECT_EQ(image, before);
    EXPECT_EQ(recorder.messages(), Messages{message});
  }
}

TEST(Maintenance, PurgeFreesOnlyRemovedBlocks) {
  for (uint32_t seed = 100; seed < 120; ++seed) {
    const CardImage card = RandomCard(seed, seed % 2 == 0);
    CardImage image = card;
    PurgeRemovedSaves(image);
    for (int block = 1; block <= 15; ++block) {
      uint32_t state = GetBlockState(card, block);
      auto frame = DirectoryFrameOf(image, block);
      auto content = BlockOf(image, block);
      if (state >= 0xA1 && state <= 0xA3) {
        EXPECT_TRUE(std::ranges::equal(frame, FreeDirectoryFrame));
        EXPECT_TRUE(std::ranges::all_of(content, [](uint8_t byte) { return byte == 0; }));
      } else {
        EXPECT_TRUE(std::ranges::equal(frame, DirectoryFrameOf(card, block)));
        EXPECT_TRUE(std::ranges::equal(content, BlockOf(card, block)));
      }
    }
    EXPECT_TRUE(std::equal(image.begin() + 16 * FrameSize, image.begin() + BlockSize,
                           card.begin() + 16 * FrameSize));
  }
}

// A free block keeps whatever an earlier save left in it: only removed blocks are erased.
TEST(Maintenance, PurgeLeavesAFreeBlockWithStaleContentAsItIs) {
  CardImage image = SampleCard();
  for (std::size_t i = 0; i < BlockSize; ++i) image[9 * BlockSize + i] = 0x77;
  DirectoryFrameOf(image, 9)[12] = 'S';  // a product code left behind
  const CardImage before = image;
  PurgeRemovedSaves(image);
  EXPECT_TRUE(std::equal(image.begin() + 9 * BlockSize, image.begin() + 10 * BlockSize,
                         before.begin() + 9 * BlockSize));
  EXPECT_EQ(DirectoryFrameOf(image, 9)[12], 'S');
  EXPECT_EQ(image[12 * BlockSize], 0x00);
}

TEST(Maintenance, RegionIsWrittenIntoFirstBlocksOnly) {
  CardImage image = SampleCard();
  MessageRecorder recorder;
  SetSaveRegion(image, 4, RegionCode::JP);
  SetSaveRegion(image, 12, RegionCode::EU);
  CardImage expected = SampleCard();
  DirectoryFrameOf(expected, 4)[DirectoryFrame::RegionOffset] = 0x49;
  DirectoryFrameOf(expected, 12)[DirectoryFrame::RegionOffset] = 0x45;
  UpdateDirectoryXor(expected, 4), UpdateDirectoryXor(expected, 12);
  EXPECT_EQ(image, expected);
  SetSaveRegion(image, 4, RegionCode::JP);
  EXPECT_EQ(image, expected);
  EXPECT_TRUE(recorder.messages().empty());

  for (int block : {7, 5, 1}) SetSaveRegion(image, block, RegionCode::US);
  EXPECT_EQ(image, expected);
  EXPECT_EQ(recorder.messages(),
            Messages(3, {"Não é possível alterar a localidade para este tipo de bloco!", "Erro"}));
}

}  // namespace
