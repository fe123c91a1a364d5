// Names, replacement and comments of saves placed on a card, and the bundle that carries several
// saves between windows.

#include "card/save_placement.h"

#include <gtest/gtest.h>

#include <cstring>

#include "card/directory_name.h"
#include "card/formats/save_bundle.h"
#include "card/maintenance.h"
#include "card/save_comments.h"
#include "card/single_save.h"
#include "support/card_builder.h"
#include "support/message_recorder.h"

using namespace test_support;

namespace {

using Messages = std::vector<RecordedMessage>;

// Writes a directory name into bytes 10..29 of the block's frame, NUL-padded.
void Name(CardImage& image, int block, const std::string& name) {
  auto frame = DirectoryFrameOf(image, block);
  std::fill(frame.begin() + 10, frame.begin() + 30, uint8_t{0});
  std::memcpy(frame.data() + 10, name.data(), name.size());
  UpdateDirectoryXor(image, block);
}

std::string NameBytes(const CardImage& image, int block) {
  auto frame = DirectoryFrameOf(image, block);
  return std::string(frame.begin() + 10, frame.begin() + 30);
}

// Block 1: "BASLUS-00001AAAA"; blocks 2..3: "BESLES-00002BBBB"; block 4 removed,
// "BISLPS-00003CCCC"; the rest free.
CardImage NamedCard() {
  CardImage image = BlankCard();
  PlaceSave(image, {.blocks = {1}, .seed = 1});
  PlaceSave(image, {.blocks = {2, 3}, .seed = 2});
  PlaceSave(image, {.blocks = {4}, .removed = true, .seed = 3});
  Name(image, 1, "BASLUS-00001AAAA");
  Name(image, 2, "BESLES-00002BBBB");
  Name(image, 4, "BISLPS-00003CCCC");
  return image;
}

struct RenameRow {
  const char* name;
  std::string new_name;
  const char* refusal;  // null: renamed
};

void PrintTo(const RenameRow& row, std::ostream* out) {
  *out << row.name;
}

class Rename : public testing::TestWithParam<RenameRow> {};

TEST_P(Rename, WritesTheNameOrLeavesTheCardByteIdentical) {
  CardImage image = NamedCard();
  const CardImage before = image;
  MessageRecorder recorder;
  const bool renamed = RenameSave(image, 1, GetParam().new_name);
  if (GetParam().refusal == nullptr) {
    EXPECT_TRUE(renamed);
    std::string expected = GetParam().new_name;
    expected.resize(20, '\0');
    EXPECT_EQ(NameBytes(image, 1), expected);
    EXPECT_TRUE(IsDirectoryXorValid(image, 1));
    EXPECT_TRUE(recorder.messages().empty());
  } else {
    EXPECT_FALSE(renamed);
    EXPECT_EQ(image, before);
    EXPECT_EQ(recorder.messages(), (Messages{{GetParam().refusal, "Erro"}}));
  }
}

const char* const kLength = "O nome do 'Save' deve ter de 1 a 20 caracteres.";
const char* const kAscii =
    "O nome do 'Save' só pode ter letras sem acento, algarismos, espaços e os sinais do ASCII "
    "(caracteres 0x20 a 0x7E).";

INSTANTIATE_TEST_SUITE_P(
    DirectoryName, Rename,
    testing::Values(RenameRow{"usual", "BASLUS-00067DRAX00", nullptr},
                    RenameRow{"twenty_characters", "BASLUS-00067DRAX0012", nullptr},
                    RenameRow{"space_and_tilde", "BA ~", nullptr},
                    RenameRow{"name_of_a_removed_save", "BISLPS-00003CCCC", nullptr},
                    RenameRow{"its_own_name", "BASLUS-00001AAAA", nullptr},
                    RenameRow{"name_of_a_save_in_use", "BESLES-00002BBBB",
                              "Já existe um 'Save' com o nome BESLES-00002BBBB."},
                    RenameRow{"empty", "", kLength},
                    RenameRow{"twenty_one_characters", "BASLUS-00067DRAX00123", kLength},
                    RenameRow{"delete_character", "BA\x7F", kAscii},
                    RenameRow{"control_character", "BA\x1F", kAscii},
                    RenameRow{"accented_letter", "caf\xE9", kAscii}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DirectoryName, OnlyTheFirstBlockOfASaveInUseIsRenamed) {
  for (int block : {3, 4, 9}) {  // last block, removed save, free block
    CardImage image = NamedCard();
    const CardImage before = image;
    MessageRecorder recorder;
    EXPECT_FALSE(RenameSave(image, block, "BASLUS-00067DRAX00"));
    EXPECT_EQ(image, before);
    EXPECT_EQ(recorder.messages(),
              (Messages{{"Selecione um bloco que seja o primeiro de uma série e esteja ocupado!",
                         "Atenção"}}));
  }
}

// A one-block save named name, with comment.
SaveContents NamedSave(const std::string& name, int blocks, const std::string& comment = {}) {
  CardImage source = BlankCard();
  std::vector<int> chain;
  for (int i = 0; i < blocks; ++i) chain.push_back(i + 1);
  PlaceSave(source, {.blocks = chain, .seed = 9});
  Name(source, 1, name);
  SaveContents save = *SaveOnCard(source, 1);
  save.comment = comment;
  return save;
}

class Placement : public testing::Test {
 protected:
  std::vector<int> Import(const std::vector<SaveContents>& saves, bool answer) {
    return ImportSaves(image_, comments_, saves, [&](const std::string& name) {
      asked_.push_back(name);
      return answer;
    });
  }
  CardImage image_ = NamedCard();
  SaveComments comments_{};
  std::vector<std::string> asked_;
  MessageRecorder recorder_;
};

TEST_F(Placement, ASaveWithAFreeNameIsPlacedWithoutAQuestion) {
  // Block 5, the first never used: the removed save in block 4 stays.
  EXPECT_EQ(Import({NamedSave("BISLPS-00003CCCC", 1)}, false), std::vector<int>{5});
  EXPECT_TRUE(asked_.empty());
}

TEST_F(Placement, NoKeepsTheCardAsItWas) {
  CommentAt(comments_, 1) = "velho";
  const CardImage before = image_;
  EXPECT_EQ(Import({NamedSave("BASLUS-00001AAAA", 1, "novo")}, false), std::vector<int>{0});
  EXPECT_EQ(asked_, std::vector<std::string>{"BASLUS-00001AAAA"});
  EXPECT_EQ(image_, before);
  EXPECT_EQ(CommentAt(comments_, 1), "velho");
}

TEST_F(Placement, YesRemovesTheOldSaveRestorablyAndPlacesTheNewOneElsewhere) {
  CommentAt(comments_, 2) = "velho";
  EXPECT_EQ(Import({NamedSave("BESLES-00002BBBB", 1, "novo")}, true), std::vector<int>{5});
  EXPECT_EQ(GetBlockState(image_, 2), 0xA1u);
  EXPECT_EQ(GetBlockState(image_, 3), 0xA3u);
  EXPECT_EQ(GetBlockState(image_, 5), 0x51u);
  EXPECT_EQ(CommentAt(comments_, 2), "velho");
  EXPECT_EQ(CommentAt(comments_, 5), "novo");
  RestoreSave(image_, 2);
  EXPECT_EQ(GetBlockState(image_, 2), 0x51u);
  EXPECT_TRUE(recorder_.messages().empty());
}

TEST_F(Placement, AReplacementTakesTheOldBlocksOnlyWhenNoOthersAreFree) {
  for (int block = 5; block <= 15; ++block) PlaceSave(image_, {.blocks = {block}});
  CommentAt(comments_, 2) = "velho";
  CommentAt(comments_, 4) = "do removido";
  // Free: 4, then the old save's 2 and 3; the save takes 4 and the lowest of those, ascending.
  EXPECT_EQ(Import({NamedSave("BESLES-00002BBBB", 2, "novo")}, true), (std::vector<int>{2}));
  EXPECT_EQ(GetBlockState(image_, 2), 0x51u);
  EXPECT_EQ(GetBlockState(image_, 4), 0x53u);
  EXPECT_EQ(GetBlockState(image_, 3), 0xA3u);
  EXPECT_EQ(CommentAt(comments_, 2), "novo");
  EXPECT_EQ(CommentAt(comments_, 4), "");
}

TEST_F(Placement, AReplacementThatDoesNotFitKeepsTheOldSave) {
  for (int block = 5; block <= 15; ++block) PlaceSave(image_, {.blocks = {block}});
  const CardImage before = image_;
  EXPECT_EQ(Import({NamedSave("BESLES-00002BBBB", 4)}, true), std::vector<int>{0});
  EXPECT_EQ(image_, before);
  EXPECT_EQ(recorder_.messages(),
            (Messages{{"São necessário(s) 4 bloco(s) livre(s). Encontrado(s) apenas 3 Bloco(s) "
                       "livre(s)!",
                       "Erro"}}));
}

TEST_F(Placement, SavesThatDoNotFitAreNamedAndTheRestPlaced) {
  for (int block = 8; block <= 15; ++block) PlaceSave(image_, {.blocks = {block}});
  // Free: 4 (removed), 5, 6, 7.
  EXPECT_EQ(Import({NamedSave("BASLUS-00010PRIMEIRO", 3), NamedSave("BASLUS-00011GRANDE", 2),
                    NamedSave("BASLUS-00012UM", 1)},
                   false),
            (std::vector<int>{5, 0, 4}));
  // Never-used blocks first: the removed save's block goes last, and the user is told.
  EXPECT_EQ(recorder_.messages(),
            (Messages{{"O 'save' removido do bloco 4 (BISLPS-00003CCCC) foi sobrescrito e não "
                       "pode mais ser restaurado.",
                       "Atenção"},
                      {"Não há blocos livres para: BASLUS-00011GRANDE.", "Erro"}}));
}

TEST_F(Placement, APlacedSaveBringsItsCommentAndClearsStaleOnes) {
  CommentAt(comments_, 4) = "do removido";
  CommentAt(comments_, 5) = "antigo";
  EXPECT_EQ(Import({NamedSave("BASLUS-00020DOIS", 2)}, false), std::vector<int>{5});
  EXPECT_EQ(CommentAt(comments_, 4), "do removido");  // the removed save is not touched
  EXPECT_EQ(CommentAt(comments_, 5), "");
}

TEST(SaveComments, APurgeDropsTheCommentsOfRemovedSavesOnly) {
  CardImage image = NamedCard();
  SaveComments comments{};
  CommentAt(comments, 1) = "vivo";
  CommentAt(comments, 4) = "removido";
  RemoveSave(image, 2);
  CommentAt(comments, 2) = "removido depois";
  PurgeRemovedSaves(image, comments);
  EXPECT_EQ(CommentAt(comments, 1), "vivo");
  EXPECT_EQ(CommentAt(comments, 2), "");
  EXPECT_EQ(CommentAt(comments, 4), "");
  EXPECT_EQ(GetBlockState(image, 2), 0xA0u);
}

TEST(SaveComments, ACommentIsSetOnlyWithinTheFieldOnASaveInUse) {
  struct Row {
    int block;
    std::string comment;
    RecordedMessage refusal;  // empty text: accepted
  };
  const Row rows[] = {
      {1, std::string(255, 'x'), {}},
      {1, "Fase 3, 99 vidas — ok", {}},
      {1, std::string(256, 'x'), {"O comentário deve ter no máximo 255 caracteres.", "Erro"}},
      {1, "linha\nnova", {"O comentário não pode ter caracteres de controle.", "Erro"}},
      {1, std::string("a\0b", 3), {"O comentário não pode ter caracteres de controle.", "Erro"}},
      {3,
       "x",
       {"Selecione um bloco que seja o primeiro de uma série e esteja ocupado!", "Atenção"}},
  };
  for (const Row& row : rows) {
    const CardImage image = NamedCard();
    SaveComments comments{};
    MessageRecorder recorder;
    const bool set = SetSaveComment(image, comments, row.block, row.comment);
    EXPECT_EQ(set, row.refusal.text.empty()) << row.comment;
    EXPECT_EQ(CommentAt(comments, row.block), set ? row.comment : "");
    EXPECT_EQ(recorder.messages(), set ? Messages{} : Messages{row.refusal});
  }
}

TEST(SaveBundle, CarriesSeveralSavesWithTheirCommentsInTheDocumentedLayout) {
  const std::vector<SaveContents> saves = {NamedSave("BASLUS-00001UM", 1, "abc"),
                                           NamedSave("BASLUS-00002DOIS", 2)};
  const std::vector<uint8_t> bytes = EncodeSaveBundle(saves);
  const std::vector<uint8_t> head = {'V', 'X', 'S', 'A', 'V',  'E',  'S', '1',
                                     2,   0,   0,   0,   0x80, 0x20, 0,   0,  // 8320 bytes of .mcs
                                     3,   0,   0,   0,   'a',  'b',  'c'};
  ASSERT_EQ(bytes.size(), 12u + 8 + 3 + 8320 + 8 + 16512);
  EXPECT_TRUE(std::equal(head.begin(), head.end(), bytes.begin()));
  EXPECT_EQ(bytes[23 + 128], 0x53);  // "SC" opens the first save's block
  const std::vector<uint8_t> second = {0x80, 0x40, 0, 0, 0, 0, 0, 0};  // 16512, no comment
  EXPECT_TRUE(std::equal(second.begin(), second.end(), bytes.begin() + 23 + 8320));

  MessageRecorder recorder;
  auto decoded = DecodeSaveBundle(bytes, "colados");
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ((*decoded)[i].frame, saves[i].frame);
    EXPECT_EQ((*decoded)[i].blocks, saves[i].blocks);
    EXPECT_EQ((*decoded)[i].comment, saves[i].comment);
  }
  EXPECT_TRUE(recorder.messages().empty());
}

TEST(SaveBundle, BytesThatAreNoBundleYieldNothingAndSayNothing) {
  const std::vector<uint8_t> good = EncodeSaveBundle(std::vector{NamedSave("BA1", 1)});
  auto with = [&](std::size_t offset, uint8_t value) {
    std::vector<uint8_t> bytes = good;
    bytes[offset] = value;
    return bytes;
  };
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  const std::vector<std::vector<uint8_t>> bad = {
      {},
      std::vector<uint8_t>(good.begin(), good.end() - 1),
      longer,
      with(0, 'W'),
      with(8, 0),      // no save
      with(8, 16),     // more saves than a card holds
      with(12, 0x81),  // a .mcs length that is not 128 + n * 8192
      with(16, 0xFF),  // a comment longer than its field
      with(9, 1),      // a count far beyond the bytes
  };
  MessageRecorder recorder;
  for (const auto& bytes : bad) EXPECT_FALSE(DecodeSaveBundle(bytes, "x")) << bytes.size();
  EXPECT_TRUE(recorder.messages().empty());
}

TEST(SaveBundle, ASaveWithoutItsMagicIsRefusedAsItsFileWouldBe) {
  std::vector<SaveContents> saves = {NamedSave("BA1", 1), NamedSave("BA2", 1)};
  saves[0].blocks[0] = 0;  // "SC" gone
  MessageRecorder recorder;
  auto decoded = DecodeSaveBundle(EncodeSaveBundle(saves), "colados");
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->size(), 1u);
  EXPECT_EQ(decoded->front().frame, saves[1].frame);
  EXPECT_EQ(recorder.messages(),
            (Messages{{"O arquivo colados apresentou um ID inválido!", "Erro"}}));
}

TEST(SaveComments, AnImageSavedAsGmeWritesTheCommentsItHeld) {
  CardContainer raw = NewCardContainer(CardFormat::Raw);
  CommentAt(raw.comments, 3) = "guardado";
  const std::vector<uint8_t> file =
      EncodeCardFile(BlankCard(), ContainerInFormat(raw, CardFormat::DexDrive));
  // Comment of block b at 0x40 + 256 * (b - 1).
  EXPECT_EQ(std::string(file.begin() + 0x240, file.begin() + 0x248), "guardado");
  EXPECT_EQ(file[0x248], 0);
}

}  // namespace
