#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "card/formats/raw_save.h"
#include "card/single_save.h"
#include "support/card_builder.h"
#include "support/hex_bytes.h"
#include "support/message_recorder.h"
#include "support/temp_folder.h"

using namespace test_support;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

// A card whose only save, in block 1, is the one-block save of the published .PSV example:
// byte i of the block is i & 0xFF, then "SC"; directory name "BASLUS-00000TESTSAVE".
CardImage PublishedExampleCard() {
  CardImage card = BlankCard();
  PlaceSave(card, {.blocks = {1}});
  auto block = BlockOf(card, 1);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i & 0xFF);
  block[0] = 'S';
  block[1] = 'C';
  auto frame = DirectoryFrameOf(card, 1);
  const std::string name = "BASLUS-00000TESTSAVE";
  std::ranges::copy(name, frame.begin() + 10);
  UpdateDirectoryXor(card, 1);
  return card;
}

// A three-block save on the chain 7 -> 2 -> 12, named as games name them.
CardImage ScatteredSaveCard(uint8_t magic_first, uint8_t magic_second) {
  CardImage card = BlankCard();
  PlaceSave(card, {.blocks = {7, 2, 12},
                   .title = SingleByteTitle("MEGA SAVE"),
                   .product_code = "SLUS-00561",
                   .game_id = "MMX4DATA",
                   .seed = 9});
  DirectoryFrameOf(card, 7)[10] = 'B';
  UpdateDirectoryXor(card, 7);
  BlockOf(card, 7)[0] = magic_first;
  BlockOf(card, 7)[1] = magic_second;
  return card;
}

class SingleSaveFormats : public testing::Test {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) {
    WriteBytes(folder_.File(name), bytes);
    return folder_.File(name);
  }
  CardImage Imported(const std::string& path) {
    CardImage card = BlankCard();
    EXPECT_TRUE(ImportSingleSave(card, path)) << path;
    return card;
  }
  TempFolder folder_;
  MessageRecorder recorder_;
};

TEST_F(SingleSaveFormats, EveryFormatLandsOnTheCardAsItsMcsWould) {
  for (auto [first, second] : {std::pair<uint8_t, uint8_t>{'S', 'C'}, {'s', 'c'}}) {
    const CardImage source = ScatteredSaveCard(first, second);
    ExportSingleSave(source, 7, folder_.File("reference.mcs"));
    const CardImage reference = Imported(folder_.File("reference.mcs"));
    for (auto format :
         {SingleSaveFormat::RawSave, SingleSaveFormat::ActionReplay, SingleSaveFormat::Psv}) {
      Frame frame;
      std::ranges::copy(DirectoryFrameOf(source, 7), frame.begin());
      const std::string path = folder_.File(ProposedSingleSaveFileName(frame, format));
      ExportSingleSave(source, 7, path, format);
      EXPECT_EQ(Imported(path), reference) << path;
    }
    CardImage from_card = BlankCard();
    ASSERT_TRUE(ImportSaveFromCard(from_card, source, 7, folder_.File("outro.mc")));
    EXPECT_EQ(from_card, reference);
  }
  EXPECT_EQ(GetProductCode(Imported(folder_.File("BASLUS-00561MMX4DATA")), 1), "SLUS-00561");
  EXPECT_TRUE(recorder_.messages().empty());
}

TEST_F(SingleSaveFormats, PsvExportIsThePublishedExample) {
  const CardImage card = PublishedExampleCard();
  Frame frame;
  std::ranges::copy(DirectoryFrameOf(card, 1), frame.begin());
  EXPECT_EQ(ProposedSingleSaveFileName(frame, SingleSaveFormat::Psv),
            "BASLUS-000005445535453415645.PSV");
  EXPECT_EQ(ProposedSingleSaveFileName(frame, SingleSaveFormat::RawSave), "BASLUS-00000TESTSAVE");
  const std::string path = folder_.File("example.psv");
  ExportSingleSave(card, 1, path, SingleSaveFormat::Psv);
  Bytes file = ReadBytes(path);
  ASSERT_EQ(file.size(), 8324u);
  EXPECT_EQ(Bytes(file.begin() + 0x1C, file.begin() + 0x30),
            FromHex("673dbe132d064cf2b7d1cd9a20054528c603643f"));
  std::fill(file.begin() + 0x1C, file.begin() + 0x30, uint8_t{0});
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 0x84),
            FromHex("0056535000000000000102030405060708090a0b0c0d0e0f1011121300000000000000000000"
                    "0000000000000000000000000000000000001400000001000000002000008400000000020000"
                    "0000000000000000000000000000000000200000039000004241534c55532d30303030305445"
                    "535453415645000000000000000000000000"));
}

TEST_F(SingleSaveFormats, ActionReplayHeaderCarriesNameAndTitle) {
  const CardImage card = ScatteredSaveCard('S', 'C');
  const std::string path = folder_.File("save.pda");
  ExportSingleSave(card, 7, path, SingleSaveFormat::ActionReplay);
  const Bytes file = ReadBytes(path);
  ASSERT_EQ(file.size(), 54u + 3 * 8192);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 21),
            Text(std::string("BASLUS-00561MMX4DATA\0", 21)));
  EXPECT_EQ(Bytes(file.begin() + 0x15, file.begin() + 0x1F), Text(std::string("MEGA SAVE\0", 10)));
  EXPECT_EQ(Bytes(file.begin() + 0x36, file.begin() + 0x38), Text("SC"));
}

// A save of all 15 blocks, as a .mcs (122,948 bytes) and as a raw save (122,880 bytes), fills a
// blank card.
TEST_F(SingleSaveFormats, AFifteenBlockSaveFillsABlankCard) {
  CardImage card = BlankCard();
  PlaceSave(card, {.blocks = {15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}});
  for (auto [format, size] : {std::pair{SingleSaveFormat::Mcs, 122880u + 128u},
                              std::pair{SingleSaveFormat::RawSave, 122880u}}) {
    const std::string path = folder_.File("BASLUS-01234SAVEGAME");
    ExportSingleSave(card, 15, path, format);
    ASSERT_EQ(ReadBytes(path).size(), size);
    const CardImage placed = Imported(path);
    EXPECT_EQ(CountFreeBlocks(placed), 0);
    EXPECT_EQ(GetBlockState(placed, 15), BlockState::InUseLast);
    EXPECT_TRUE(std::ranges::equal(BlockOf(placed, 15), BlockOf(card, 1)));
  }
}

// A title of 64 characters fills the 54-byte header's 32-character title field, and the field's
// last byte stays NUL.
TEST_F(SingleSaveFormats, ActionReplayTitleKeepsItsNul) {
  CardImage card = BlankCard();
  PlaceSave(card, {.blocks = {1}, .title = SingleByteTitle(std::string(64, 'T'))});
  const std::string path = folder_.File("save.psx");
  ExportSingleSave(card, 1, path, SingleSaveFormat::ActionReplay);
  const Bytes file = ReadBytes(path);
  EXPECT_EQ(Bytes(file.begin() + 0x15, file.begin() + 0x36), Text(std::string(32, 'T') + '\0'));
}

TEST_F(SingleSaveFormats, ContentDecidesWhateverTheExtension) {
  const CardImage card = ScatteredSaveCard('S', 'C');
  struct Case {
    SingleSaveFormat written_as;
    std::string name;
    std::string expected_name;  // of the save on the card
  };
  const Case cases[] = {
      {SingleSaveFormat::Psv, "psv-content.mcs", "BASLUS-00561MMX4DATA"},
      {SingleSaveFormat::ActionReplay, "ar-content.PSV", "BASLUS-00561MMX4DATA"},
      {SingleSaveFormat::Mcs, "mcs-content.psx", "BASLUS-00561MMX4DATA"},
      {SingleSaveFormat::RawSave, "BASLUS-00561MMX4DATA.mcs", "BASLUS-00561MMX4DATA"},
      {SingleSaveFormat::RawSave, "BESCES-00984.sav", "BESCES-00984"},
  };
  for (const Case& c : cases) {
    const std::string path = folder_.File(c.name);
    ExportSingleSave(card, 7, path, c.written_as);
    EXPECT_EQ(CheckSingleSaveFile(path), 3) << c.name;
    const CardImage imported = Imported(path);
    const auto frame = DirectoryFrameOf(imported, 1);
    EXPECT_EQ(std::string(frame.begin() + 10, frame.begin() + 10 + c.expected_name.size()),
              c.expected_name);
    EXPECT_EQ(GetSaveTitle(imported, 1), "MEGA SAVE") << c.name;
    EXPECT_EQ(GetSaveSize(imported, 1), 3u * 8192) << c.name;
  }
  EXPECT_TRUE(recorder_.messages().empty());
}

TEST_F(SingleSaveFormats, DamagedHeadersAreRefusedOrWarnedAbout) {
  const CardImage card = PublishedExampleCard();
  const std::string psv_path = folder_.File("good.psv"), ar_path = folder_.File("good.psx");
  ExportSingleSave(card, 1, psv_path, SingleSaveFormat::Psv);
  ExportSingleSave(card, 1, ar_path, SingleSaveFormat::ActionReplay);
  const Bytes psv = ReadBytes(psv_path), ar = ReadBytes(ar_path);
  struct Case {
    std::string name;
    const Bytes& base;
    std::size_t offset;
    uint8_t value;
    std::string message;  // %: the path
    bool imported;
  };
  const Case cases[] = {
      {"type 2.psv", psv, 0x3C, 0x02, "Erro: O arquivo % apresentou um cabeçalho PSV inválido!",
       false},
      {"size.psv", psv, 0x41, 0x40, "Erro: O arquivo % apresentou um cabeçalho PSV inválido!",
       false},
      {"offset.psv", psv, 0x44, 0x80, "Erro: O arquivo % apresentou um cabeçalho PSV inválido!",
       false},
      {"no magic.psv", psv, 0x84, 'X', "Erro: O arquivo % apresentou um ID inválido!", false},
      {"signature.psv", psv, 0x1C, 0x00,
       "Atenção: A assinatura do arquivo % não confere; o 'save' foi aberto mesmo assim.", true},
      {"data.psv", psv, 0x2000, 0x00,
       "Atenção: A assinatura do arquivo % não confere; o 'save' foi aberto mesmo assim.", true},
      {"no magic.psx", ar, 0x36, 'X', "Erro: O arquivo % apresentou um tamanho inválido!", false},
  };
  for (const Case& c : cases) {
    Bytes bytes = c.base;
    bytes[c.offset] = c.value;
    const std::string path = Write(c.name, bytes);
    recorder_.Clear();
    CardImage target = BlankCard();
    EXPECT_EQ(ImportSingleSave(target, path), c.imported) << c.name;
    EXPECT_EQ(target == BlankCard(), !c.imported) << c.name;
    ASSERT_EQ(recorder_.messages().size(), 1u) << c.name;
    std::string expected = c.message;
    expected.replace(expected.find('%'), 1, path);
    const auto& got = recorder_.messages().front();
    EXPECT_EQ(got.caption + ": " + got.text, expected);
  }
}

TEST_F(SingleSaveFormats, SavesFromAnotherCardPassTheMcsChecks) {
  CardImage source = ScatteredSaveCard('X', 'X');
  const CardImage before = BlankCard();
  CardImage target = before;
  const std::string card_path = folder_.File("outro.mc");
  EXPECT_FALSE(ImportSaveFromCard(target, source, 7, card_path));
  EXPECT_EQ(target, before);
  EXPECT_EQ(recorder_.messages(),
            (std::vector<RecordedMessage>{
                {"O arquivo " + card_path + " apresentou um ID inválido!", "Erro"}}));
}

}  // namespace

namespace {

TEST(RawSaveName, IsFoundAnywhereInTheFileName) {
  const struct {
    const char* file;
    std::optional<std::string> name;
  } cases[] = {
      {"/a/Game Name-BASLUS-00958GS2-1.srm", "BASLUS-00958GS2-1"},
      {"BESCES-00984.sav", "BESCES-00984"},
      {"BISLPSP91154BEST0400", "BISLPSP91154BEST0400"},  // PocketStation form, 8-character ID
      {"copia de BASLUS-00594ABC (1).srm", "BASLUS-00594ABC"},
      {"BASLUS-00594ABCDEFGHIJ.mcr", "BASLUS-00594ABCDEFGH"},  // the ID has 8 characters at most
      {"meu save.srm", std::nullopt},
      {"BXSLUS-00594ABC.srm", std::nullopt},  // no such region
      {"BASLUS-0059.srm", std::nullopt},
      {"BAslus-00594ABC.srm", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(DirectoryNameInFileName(c.file), c.name) << c.file;
}

TEST_F(SingleSaveFormats, ARawSaveWithoutANameInItsFileNameNeedsOne) {
  const CardImage card = PublishedExampleCard();
  const std::string path = folder_.File("meu save.srm");
  ExportSingleSave(card, 1, path, SingleSaveFormat::RawSave);
  EXPECT_TRUE(IsUnnamedRawSave(path));
  CardImage target = BlankCard();
  EXPECT_FALSE(ImportSingleSave(target, path));
  EXPECT_EQ(recorder_.messages(),
            (std::vector<RecordedMessage>{
                {"O nome do arquivo " + path +
                     " não traz o nome do 'save' (como BASLUS-00958GAME); informe-o!",
                 "Erro"}}));
  EXPECT_EQ(target, BlankCard());
  ASSERT_TRUE(ImportSingleSave(target, path, "BASLUS-00958GS2-1"));
  EXPECT_EQ(std::string(target.begin() + 128 + 10, target.begin() + 128 + 30),
            std::string("BASLUS-00958GS2-1\0\0\0", 20));
}

}  // namespace
