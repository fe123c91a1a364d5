#include "card/single_save.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "card/file_io.h"
#include "card/little_endian.h"
#include "support/card_builder.h"
#include "support/message_recorder.h"
#include "support/temp_folder.h"

using namespace test_support;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Concatenated(const CardImage& image, int first, const std::vector<int>& blocks) {
  auto frame = DirectoryFrameOf(image, first);
  Bytes bytes(frame.begin(), frame.end());
  for (int block : blocks) {
    auto content = BlockOf(image, block);
    bytes.insert(bytes.end(), content.begin(), content.end());
  }
  return bytes;
}

// A single-save file of n blocks with the "SC" magic and the given stored state and link.
Bytes SaveFile(int n, uint32_t state = BlockState::InUseFirst, uint16_t link = NoLink) {
  Bytes bytes(SingleSaveHeaderSize + static_cast<std::size_t>(n) * BlockSize, 0x33);
  WriteLe32(bytes, DirectoryFrame::StateOffset, state);
  WriteLe16(bytes, DirectoryFrame::LinkOffset, link);
  WriteLe16(bytes, SingleSaveHeaderSize, TitleFrame::Magic);
  return bytes;
}

class SingleSave : public testing::Test {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) {
    WriteBytes(folder_.File(name), bytes);
    return folder_.File(name);
  }
  TempFolder folder_;
  MessageRecorder recorder_;
};

TEST_F(SingleSave, ExportWritesTheFrameThenTheBlocksInChainOrder) {
  CardImage image = BlankCard();
  PlaceSave(image, {.blocks = {7, 2, 12}, .seed = 4});
  PlaceSave(image, {.blocks = {9}, .seed = 5});
  ExportSingleSave(image, 7, folder_.File("three.mcs"));
  ExportSingleSave(image, 9, folder_.File("one.mcs"));
  Bytes three = ReadBytes(folder_.File("three.mcs"));
  EXPECT_EQ(three.size(), 24704u);
  EXPECT_EQ(three, Concatenated(image, 7, {7, 2, 12}));
  EXPECT_EQ(ReadBytes(folder_.File("one.mcs")), Concatenated(image, 9, {9}));
  EXPECT_EQ(ReadBytes(folder_.File("one.mcs")).size(), 8320u);
  EXPECT_TRUE(recorder_.messages().empty());
}

TEST_F(SingleSave, ChainsWithoutAnEndAreNotExported) {
  for (uint16_t bad_link : {uint16_t{6}, uint16_t{15}, uint16_t{0xFFFE}}) {
    CardImage image = BlankCard();
    PlaceSave(image, {.blocks = {3, 5, 7}});
    SetLink(image, 7, bad_link);  // 6 leads back to block 7 itself
    std::string path = Write("old.mcs", Bytes{1, 2, 3});
    recorder_.Clear();
    ExportSingleSave(image, 3, path);
    EXPECT_EQ(ReadBytes(path), (Bytes{1, 2, 3}));
    EXPECT_EQ(recorder_.messages(),
              (std::vector<RecordedMessage>{
                  {"Não é possível exportar o Save. A checagem de consistência falhou!", "Erro"}}));
  }
}

TEST_F(SingleSave, ImportTakesNeverUsedBlocksFirstAndRelinksThem) {
  CardImage source = BlankCard();
  PlaceSave(source, {.blocks = {7, 2, 12},
                     .region = 'I',
                     .product_code = "SLPS-99999",
                     .game_id = "JAPAN001",
                     .seed = 8});
  std::string path = folder_.File("three.mcs");
  ExportSingleSave(source, 7, path);

  struct Case {
    std::vector<int> available;  // the others hold saves in use
    std::vector<int> expected;
  };
  // Never-used blocks first: the removed saves in even blocks give way only when needed.
  for (const Case& c : {Case{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {1, 3, 5}},
                        Case{{4, 9, 15}, {4, 9, 15}}}) {
    CardImage image = BlankCard();
    for (int block = 1; block <= 15; ++block) {
      if (std::ranges::find(c.available, block) == c.available.end()) {
        PlaceSave(image, {.blocks = {block}});
      } else if (block % 2 == 0) {
        PlaceSave(image, {.blocks = {block}, .removed = true});  // removed saves give way too
      }
    }
    ASSERT_TRUE(ImportSingleSave(image, path));
    const auto& to = c.expected;
    EXPECT_EQ(GetBlockState(image, to[0]), BlockState::InUseFirst);
    EXPECT_EQ(GetBlockState(image, to[1]), BlockState::InUseMiddle);
    EXPECT_EQ(GetBlockState(image, to[2]), BlockState::InUseLast);
    EXPECT_EQ(GetNextLink(image, to[0]), to[1] - 1);
    EXPECT_EQ(GetNextLink(image, to[1]), to[2] - 1);
    EXPECT_EQ(GetNextLink(image, to[2]), NoLink);
    EXPECT_EQ(GetSaveSize(image, to[0]), 3 * BlockSize);
    EXPECT_EQ(GetRegion(image, to[0]), "JP");
    EXPECT_EQ(GetProductCode(image, to[0]), "SLPS-99999");
    EXPECT_EQ(GetGameId(image, to[0]), "JAPAN001");
    EXPECT_EQ(GetSaveSize(image, to[1]), 0u);  // continuation frames carry state and link only
    EXPECT_EQ(GetProductCode(image, to[2]), std::string(10, '\0'));
    EXPECT_TRUE(AllDirectoryXorsValid(image));
    EXPECT_TRUE(std::ranges::equal(BlockOf(image, to[1]), BlockOf(source, 2)));
    EXPECT_TRUE(std::ranges::equal(BlockOf(image, to[2]), BlockOf(source, 12)));
  }
  EXPECT_EQ(recorder_.messages(),
            (std::vector<RecordedMessage>{{"O 'save' removido do bloco 4 (ASLUS-01234SAVEGAME) foi "
                                           "sobrescrito e não pode mais ser restaurado.",
                                           "Atenção"}}));
}

TEST_F(SingleSave, ExportImportExportKeepsEverythingButTheLinks) {
  for (uint32_t seed = 20; seed < 26; ++seed) {
    CardImage source = RandomCard(seed);
    for (int first : FirstBlocks(source)) {
      if (GetBlockState(source, first) != BlockState::InUseFirst) continue;
      std::string exported = folder_.File("a.mcs"), again = folder_.File("b.mcs");
      ExportSingleSave(source, first, exported);
      CardImage target = BlankCard();
      ASSERT_TRUE(ImportSingleSave(target, exported));
      ExportSingleSave(target, 1, again);  // a blank card gives the save block 1 onwards
      Bytes before = ReadBytes(exported), after = ReadBytes(again);
      ASSERT_EQ(before.size(), after.size());
      for (std::size_t i : {DirectoryFrame::LinkOffset, DirectoryFrame::LinkOffset + 1,
                            DirectoryFrame::XorOffset}) {
        before[i] = after[i] = 0;
      }
      EXPECT_EQ(before, after) << "seed " << seed << " block " << first;
    }
  }
}

TEST_F(SingleSave, FramesThatDisagreeWithTheFileAreRepaired) {
  struct Case {
    int n;
    uint32_t stored_state;
    uint16_t stored_link;
  };
  for (const Case& c : {Case{1, BlockState::InUseFirst, 3}, Case{1, BlockState::Free, 0xFFFE},
                        Case{2, BlockState::InUseFirst, NoLink}, Case{3, BlockState::Free, NoLink},
                        Case{2, 0x1234, 0}}) {
    Bytes file = SaveFile(c.n, c.stored_state, c.stored_link);
    file[DirectoryFrame::RegionOffset] = 'E';
    file[40] = 0x77;  // an uninterpreted byte
    std::string path = Write("odd.mcs", file);
    // Only as many blocks as the save needs are available, so a wrong link has nowhere to go.
    CardImage image = BlankCard();
    for (int block = c.n + 1; block <= 15; ++block) PlaceSave(image, {.blocks = {block}});
    ASSERT_TRUE(ImportSingleSave(image, path));
    EXPECT_EQ(GetBlockState(image, 1), BlockState::InUseFirst);
    EXPECT_EQ(GetNextLink(image, 1), c.n == 1 ? NoLink : 1);
    EXPECT_EQ(GetBlockState(image, c.n), c.n == 1 ? BlockState::InUseFirst : BlockState::InUseLast);
    EXPECT_EQ(GetNextLink(image, c.n), NoLink);
    EXPECT_EQ(GetRegion(image, 1), "EU");
    EXPECT_EQ(DirectoryFrameOf(image, 1)[40], 0x77);
    EXPECT_TRUE(AllDirectoryXorsValid(image));
  }
}

TEST_F(SingleSave, FilesAreCheckedForPresenceSizeAndIdInThatOrder) {
  Bytes no_id = SaveFile(1);
  no_id[128] = no_id[129] = 0;
  Bytes both_bad = no_id;
  both_bad.push_back(0);
  Bytes id_only(130, 0);
  WriteLe16(id_only, 128, TitleFrame::Magic);
  std::filesystem::create_directory(folder_.path() / "folder.mcs");
  const std::string size = "tamanho", id = "ID";
  const std::tuple<std::string, Bytes, std::string> cases[] = {
      {"extra.mcs", Bytes(SaveFile(1).size() + 1), size},
      {"no id.mcs", no_id, id},
      {"both.mcs", both_bad, size},
      {"empty.mcs", {}, size},
      {"header only.mcs", Bytes(128), id},  // too short to carry an ID: no read error
      {"short.mcs", Bytes(129, 0x53), size},
      {"id only.mcs", id_only, size},
  };
  for (const auto& [name, bytes, failure] : cases) {
    std::string path = Write(name, bytes);
    RecordedMessage expected{"O arquivo " + path + " apresentou um " +
                                 (failure == size ? "tamanho inválido!" : "ID inválido!"),
                             "Erro"};
    recorder_.Clear();
    EXPECT_EQ(CheckSingleSaveFile(path), -1) << name;
    CardImage image = BlankCard();
    EXPECT_FALSE(ImportSingleSave(image, path));
    EXPECT_EQ(image, BlankCard());
    EXPECT_EQ(recorder_.messages(), std::vector<RecordedMessage>(2, expected)) << name;
  }
  std::vector<std::pair<std::string, std::string>> not_files{
      {folder_.File("missing.mcs"), " não encontrado!"},
      {folder_.File("folder.mcs"), " é uma pasta, não um arquivo!"}};
#ifndef _WIN32  // Windows has no device with a path of its own to name here
  not_files.emplace_back("/dev/null", " é um dispositivo, não um arquivo!");
#endif
  for (const auto& [missing, ending] : not_files) {
    recorder_.Clear();
    CardImage image = BlankCard();
    EXPECT_EQ(CheckSingleSaveFile(missing), -1);
    EXPECT_FALSE(ImportSingleSave(image, missing));
    EXPECT_EQ(recorder_.messages(),
              std::vector<RecordedMessage>(2, {"Arquivo " + missing + ending, "Erro"}));
  }
}

// A save whose chain runs into another save's first block is refused by export and by a copy
// between cards, as removal refuses it; nothing is written.
TEST_F(SingleSave, AChainIntoAnotherSaveIsNeitherExportedNorCopied) {
  CardImage source = BlankCard();
  PlaceSave(source, {.blocks = {2}});
  PlaceSave(source, {.blocks = {4, 7}, .seed = 3});
  SetLink(source, 4, 1);  // block 4 now leads to block 2, the other save's first block
  const std::string path = folder_.File("out.mcs");
  ExportSingleSave(source, 4, path);
  CardImage destination = BlankCard();
  EXPECT_FALSE(ImportSaveFromCard(destination, source, 4, "card.mc"));
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(destination, BlankCard());
  EXPECT_EQ(recorder_.messages(),
            std::vector<RecordedMessage>(
                2, {"Não é possível exportar o Save. A checagem de consistência falhou!", "Erro"}));
}

// An .mcs whose size field says 15 blocks but which holds one is placed with the size of the
// block it holds, and the user is told.
TEST_F(SingleSave, ASizeFieldThatLiesIsMendedFromTheBlocks) {
  Bytes file = SaveFile(1);
  WriteLe32(file, DirectoryFrame::SizeOffset, 15 * 8192);
  const std::string path = Write("lies.mcs", file);
  CardImage image = BlankCard();
  ASSERT_TRUE(ImportSingleSave(image, path));
  EXPECT_EQ(GetSaveSize(image, 1), 8192u);
  EXPECT_EQ(recorder_.messages(),
            (std::vector<RecordedMessage>{{"O arquivo " + path +
                                               " diz que o 'save' tem 122880 bytes, mas traz "
                                               "8192; o tamanho foi corrigido.",
                                           "Atenção"}}));
}

TEST_F(SingleSave, ALowercaseScTitleMagicRoundTrips) {
  // A save of SLUS-00561 as found on cards: title frame magic 0x73 0x63 ("sc").
  CardImage source = BlankCard();
  PlaceSave(source, {.blocks = {4, 9}, .product_code = "SLUS-00561", .seed = 3});
  BlockOf(source, 4)[0] = 0x73;
  BlockOf(source, 4)[1] = 0x63;
  std::string path = folder_.File("BASLUS-00561.mcs");
  ExportSingleSave(source, 4, path);
  EXPECT_EQ(CheckSingleSaveFile(path), 2);
  CardImage target = BlankCard();
  ASSERT_TRUE(ImportSingleSave(target, path));
  EXPECT_TRUE(std::ranges::equal(BlockOf(target, 1), BlockOf(source, 4)));
  EXPECT_TRUE(std::ranges::equal(BlockOf(target, 2), BlockOf(source, 9)));
  EXPECT_EQ(GetProductCode(target, 1), "SLUS-00561");
  EXPECT_TRUE(recorder_.messages().empty());

  // Only the two cases count: "Sc", "sC" and "CS" are still not a title frame.
  const std::pair<uint8_t, uint8_t> not_magic[] = {{0x53, 0x63}, {0x73, 0x43}, {0x43, 0x53}};
  for (auto [first, second] : not_magic) {
    Bytes file = ReadBytes(path);
    file[128] = first;
    file[129] = second;
    std::string odd = Write("odd.mcs", file);
    recorder_.Clear();
    EXPECT_EQ(CheckSingleSaveFile(odd), -1);
    EXPECT_EQ(recorder_.messages(),
              (std::vector<RecordedMessage>{
                  {"O arquivo " + odd + " apresentou um ID inválido!", "Erro"}}));
  }
}

TEST_F(SingleSave, ImportNeedsEnoughAvailableBlocks) {
  std::string sixteen = Write("sixteen.mcs", SaveFile(16));
  EXPECT_EQ(CheckSingleSaveFile(sixteen), 16);
  std::string two = Write("two.mcs", SaveFile(2, BlockState::InUseFirst, 4));
  EXPECT_EQ(CheckSingleSaveFile(two), 2);
  recorder_.Clear();

  CardImage blank = BlankCard();
  EXPECT_FALSE(ImportSingleSave(blank, sixteen));
  CardImage almost_full = RandomCard(1);
  for (int block = 1; block <= 15; ++block) SetState(almost_full, block, BlockState::InUseMiddle);
  SetState(almost_full, 6, BlockState::RemovedLast);
  const CardImage before = almost_full;
  EXPECT_FALSE(ImportSingleSave(almost_full, two));
  EXPECT_EQ(blank, BlankCard());
  EXPECT_EQ(almost_full, before);
  auto text = [](int n, int f) {
    return "São necessário(s) " + std::to_string(n) + " bloco(s) livre(s). Encontrado(s) apenas " +
           std::to_string(f) + " Bloco(s) livre(s)!";
  };
  EXPECT_EQ(recorder_.messages(),
            (std::vector<RecordedMessage>{{text(16, 15), "Erro"}, {text(2, 1), "Erro"}}));
}

}  // namespace
