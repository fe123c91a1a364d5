#include "card/formats/card_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "card/formats/conversion_losses.h"
#include "card/formats/sha1.h"
#include "card/save_source.h"
#include "card/single_save.h"
#include "support/card_builder.h"
#include "support/hex_bytes.h"
#include "support/message_recorder.h"
#include "support/temp_folder.h"

using namespace test_support;

namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& bytes, std::size_t offset, const std::string& text) {
  std::copy(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
}

Bytes WithCard(const Bytes& header, const CardImage& card) {
  Bytes file(header.size() + card.size());
  std::copy(header.begin(), header.end(), file.begin());
  std::copy(card.begin(), card.end(), file.begin() + static_cast<std::ptrdiff_t>(header.size()));
  return file;
}

// A DexDrive file as its documentation lays it out: magic, the two 1 flags, copies of byte 0
// and byte 8 of directory frames 0..15, comments of 256 bytes from 0x40, the card at 0xF40.
Bytes GmeFile(const CardImage& card) {
  Bytes header(3904, 0);
  Put(header, 0, "123-456-STD");
  header[0x0C] = 0x7E;  // garbage some writers leave; it must survive a save
  header[0x12] = 1;
  header[0x14] = 1;
  for (std::size_t frame = 0; frame < 16; ++frame) {
    header[0x15 + frame] = card[frame * 128];
    header[0x25 + frame] = card[frame * 128 + 8];
  }
  Put(header, 0x40 + 0 * 256, "primeiro");
  Put(header, 0x40 + 2 * 256, "terceiro");
  header[0x40 + 2 * 256 + 100] = 0x55;  // bytes after a comment's NUL
  return WithCard(header, card);
}

Bytes VgsFile(const CardImage& card) {
  Bytes header = FromHex("5667734d 01000000 01000000 01000000 00020000");
  header.resize(64, 0);
  header[0x30] = 0x99;  // a reserved byte that is not zero
  return WithCard(header, card);
}

Bytes PsxCardFile(const CardImage& card) {
  Bytes header(256, 0x21);
  Put(header, 0, "PSV");
  return WithCard(header, card);
}

// The blank card's VMP with seed 00 01 .. 13 and its signature, as published with the format.
Bytes SignedBlankVmp() {
  Bytes header = FromHex("00504d56 80000000 00000000");
  for (uint8_t i = 0; i < 20; ++i) header.push_back(i);
  Bytes signature = FromHex("53e09f0a5fad85a88da4c8adedcd0c4bb0893434");
  header.insert(header.end(), signature.begin(), signature.end());
  header.resize(0x80, 0);
  return WithCard(header, BlankCard());
}

constexpr char kSignedBlankVmpSha1[] = "1ba9fbd25ec2091d034760df9a1e036f7b3b6faf";

class CardFile : public testing::Test {
 protected:
  std::string Write(const std::string& name, const Bytes& bytes) {
    WriteBytes(folder_.File(name), bytes);
    return folder_.File(name);
  }
  // Loads path, saves it under another name, returns what was saved.
  Bytes Resave(const std::string& path, CardFormat expected) {
    CardImage image{};
    CardContainer container;
    EXPECT_TRUE(LoadCardFile(image, container, path)) << path;
    EXPECT_EQ(container.format, expected) << path;
    SaveCardFile(image, container, folder_.File("resaved"));
    return ReadBytes(folder_.File("resaved"));
  }
  TempFolder folder_;
  MessageRecorder recorder_;
};

TEST_F(CardFile, EveryFormatComesBackByteForByte) {
  CardImage card = RandomCard(7, true);
  struct Case {
    std::string name;
    Bytes file;
    CardFormat format;
    std::size_t card_offset;
  } cases[] = {
      {"card.mcr", WithCard({}, card), CardFormat::Raw, 0},
      {"card.gme", GmeFile(card), CardFormat::DexDrive, 3904},
      {"card.mem", VgsFile(card), CardFormat::Vgs, 64},
      {"card.psx", PsxCardFile(card), CardFormat::PsxCard, 256},
      {"blank.vmp", SignedBlankVmp(), CardFormat::Vmp, 128},
  };
  for (const Case& c : cases) {
    std::string path = Write(c.name, c.file);
    CardImage image{};
    CardContainer container;
    ASSERT_TRUE(LoadCardFile(image, container, path)) << c.name;
    EXPECT_TRUE(std::equal(image.begin(), image.end(), c.file.begin() + c.card_offset)) << c.name;
    EXPECT_EQ(Resave(path, c.format), c.file) << c.name;
  }
  EXPECT_TRUE(recorder_.messages().empty());
}

TEST_F(CardFile, ContentDecidesNotTheExtension) {
  CardImage card = RandomCard(3);
  struct Case {
    std::string name;
    Bytes file;
    CardFormat format;
  } cases[] = {
      {"really-dexdrive.mc", GmeFile(card), CardFormat::DexDrive},
      {"really-raw.gme", WithCard({}, card), CardFormat::Raw},
      {"really-vmp.mem", SignedBlankVmp(), CardFormat::Vmp},
      {"really-vgs.VMP", VgsFile(card), CardFormat::Vgs},
      {"no-extension", PsxCardFile(card), CardFormat::PsxCard},
  };
  for (const Case& c : cases) EXPECT_EQ(Resave(Write(c.name, c.file), c.format), c.file);
  EXPECT_TRUE(recorder_.messages().empty());
}

TEST_F(CardFile, DexDriveCommentsAndDirectoryCopies) {
  CardImage card = BlankCard();
  std::string path = Write("card.gme", GmeFile(card));
  CardImage image{};
  CardContainer container;
  ASSERT_TRUE(LoadCardFile(image, container, path));
  EXPECT_EQ(container.comments[0], "primeiro");
  EXPECT_EQ(container.comments[1], "");
  EXPECT_EQ(container.comments[2], "terceiro");

  // A two-block save in blocks 4 and 9, and a new comment for block 2.
  PlaceSave(image, {.blocks = {4, 9}});
  container.comments[1] = "novo";
  container.comments[2] = "";
  SaveCardFile(image, container, path);
  Bytes saved = ReadBytes(path);
  ASSERT_EQ(saved.size(), 134976u);
  EXPECT_EQ(saved[0x15], 'M');
  EXPECT_EQ(saved[0x15 + 4], 0x51);
  EXPECT_EQ(saved[0x15 + 9], 0x53);
  EXPECT_EQ(saved[0x15 + 5], 0xA0);
  EXPECT_EQ(saved[0x25 + 4], 8);  // link to block 9 is stored as 9 - 1
  EXPECT_EQ(saved[0x25 + 9], 0xFF);
  EXPECT_EQ(std::string(saved.begin() + 0x140, saved.begin() + 0x145), std::string("novo\0", 5));
  EXPECT_EQ(std::count(saved.begin() + 0x240, saved.begin() + 0x340, 0), 256);
  EXPECT_EQ(saved[0x0C], 0x7E);
}

TEST_F(CardFile, DexDriveFilesCutShortOrWithABlankMagic) {
  // Header + block 0 + block 1, and header + block 0 alone.
  CardImage one_save = BlankCard();
  PlaceSave(one_save, {.blocks = {1}});
  for (auto [size, card] : {std::pair{20288u, one_save}, {12096u, BlankCard()}}) {
    Bytes full = GmeFile(card);
    std::string path = Write("short.gme", Bytes(full.begin(), full.begin() + size));
    CardImage image = RandomCard(2);
    CardContainer container;
    ASSERT_TRUE(LoadCardFile(image, container, path)) << size;
    EXPECT_EQ(container.format, CardFormat::DexDrive);
    EXPECT_EQ(image, card) << size;  // the missing blocks are zero, like the blank card's
  }
  Bytes full = GmeFile(one_save);
  Bytes blank_magic = full;
  std::fill(blank_magic.begin(), blank_magic.begin() + 12, 0);
  EXPECT_EQ(Resave(Write("blank.gme", blank_magic), CardFormat::DexDrive), full);
  EXPECT_TRUE(recorder_.messages().empty());
}

// A .gme three blocks long ends inside the save in block 6: it opens with a warning naming that
// save, which can then be neither exported nor copied; the save in block 1 still can.
TEST_F(CardFile, DexDriveFileCutInsideASaveSaysWhichSavesLostData) {
  CardImage card = BlankCard();
  PlaceSave(card, {.blocks = {1}});
  PlaceSave(card, {.blocks = {6}, .game_id = "CUTSAVE"});
  const Bytes full = GmeFile(card);
  const std::string path = Write("cut.gme", Bytes(full.begin(), full.begin() + 3904 + 3 * 8192));
  CardImage image{};
  CardContainer container;
  ASSERT_TRUE(LoadCardFile(image, container, path));
  EXPECT_EQ(recorder_.messages(),
            (std::vector<RecordedMessage>{
                {"Arquivo " + path +
                     ": o arquivo termina antes do fim do cartão; perderam dados os 'saves' dos "
                     "blocos 6 (ASLUS-01234CUTSAVE).",
                 "Atenção"}}));
  recorder_.Clear();
  ExportSingleSave(image, 6, folder_.File("6.mcs"), SingleSaveFormat::Mcs, container.card_bytes);
  CardImage destination = BlankCard();
  EXPECT_FALSE(ImportSaveFromCard(destination, image, 6, path, container.card_bytes));
  EXPECT_EQ(destination, BlankCard());
  EXPECT_FALSE(std::filesystem::exists(folder_.File("6.mcs")));
  EXPECT_EQ(recorder_.messages(),
            std::vector<RecordedMessage>(
                2, {"Não é possível exportar o Save. A checagem de consistência falhou!", "Erro"}));
  recorder_.Clear();
  ExportSingleSave(image, 1, folder_.File("1.mcs"), SingleSaveFormat::Mcs, container.card_bytes);
  EXPECT_EQ(ReadBytes(folder_.File("1.mcs")).size(), 8320u);
  EXPECT_TRUE(recorder_.messages().empty());
}

TEST_F(CardFile, DamagedAndUnknownFilesAreRefusedByName) {
  Bytes no_card = GmeFile(BlankCard());
  no_card[3904] = 'X';
  Bytes vmp_offset = SignedBlankVmp();
  vmp_offset[4] = 0x40;
  Bytes gme_too_short = GmeFile(BlankCard());
  gme_too_short.resize(3904 + 8192 - 1);
  Bytes gme_one_byte_long = GmeFile(BlankCard());
  gme_one_byte_long.push_back(0);
  Bytes vgs_bad_card = VgsFile(BlankCard());
  vgs_bad_card[64 + 127] = 0;
  struct Case {
    std::string name;
    Bytes file;
    std::string text;  // after the path
  } cases[] = {
      {"a.gme", Bytes(134976, 0), ": cabeçalho DexDrive danificado!"},
      {"b.mem", Bytes(131136, 0), ": cabeçalho VGS danificado!"},
      {"c.vmp", Bytes(131200, 0), ": cabeçalho VMP danificado!"},
      {"d.psx", Bytes(131328, 0), ": cabeçalho PSX danificado!"},
      {"e.vmp", vmp_offset, ": cabeçalho VMP danificado!"},
      {"f.gme", gme_too_short, ": tamanho inválido para um arquivo DexDrive!"},
      {"f.gme", gme_one_byte_long, ": tamanho inválido para um arquivo DexDrive!"},
      {"g.mem", WithCard(VgsFile(BlankCard()), {}), ": tamanho inválido para um arquivo VGS!"},
  };
  for (const Case& c : cases) {
    std::string path = Write(c.name, c.file);
    recorder_.Clear();
    CardImage image = RandomCard(4);
    CardContainer container;
    EXPECT_FALSE(LoadCardFile(image, container, path)) << c.name;
    EXPECT_EQ(image, RandomCard(4)) << c.name;
    EXPECT_EQ(recorder_.messages(),
              (std::vector<RecordedMessage>{{"Arquivo " + path + c.text, "Erro"}}));
  }
  // What the raw card file has always said.
  // A header frame whose only fault is its check byte says so: the card can be repaired.
  const std::string repairable =
      " Falha no frame 0: byte de verificação 0x00, deveria ser 0x0E. O diretório está íntegro: "
      "o cartão pode ser reparado.";
  const std::tuple<std::string, Bytes, std::string> usual[] = {
      {"Tamanho do arquivo ", Bytes(131073, 0), ""},
      {"Frame de identificação no arquivo ", no_card, ""},
      {"Frame de identificação no arquivo ", vgs_bad_card, repairable},
  };
  for (const auto& [text, file, ending] : usual) {
    std::string path = Write("h.gme", file);
    recorder_.Clear();
    CardImage image{};
    CardContainer container;
    EXPECT_FALSE(LoadCardFile(image, container, path));
    EXPECT_EQ(recorder_.messages(),
              (std::vector<RecordedMessage>{{text + path + " inválido!" + ending, "Erro"}}));
  }
}

TEST_F(CardFile, AVmpThatDoesNotVerifyLoadsWithOneWarningAndIsSignedOnSave) {
  Bytes file = SignedBlankVmp();
  file[0x20] ^= 0xFF;
  std::string path = Write("card.vmp", file);
  CardImage image{};
  CardContainer container;
  ASSERT_TRUE(LoadCardFile(image, container, path));
  EXPECT_FALSE(container.signature_valid);
  EXPECT_EQ(recorder_.messages(),
            (std::vector<RecordedMessage>{
                {"Arquivo " + path +
                     ": assinatura VMP inválida; o arquivo será assinado de novo ao salvar.",
                 "Atenção"}}));
  SaveCardFile(image, container, path);
  EXPECT_EQ(ToHex(Sha1Of(ReadBytes(path))), kSignedBlankVmpSha1);

  // A card a save is only taken from is never saved: no promise to sign it.
  file = SignedBlankVmp();
  file[0x20] ^= 0xFF;
  Write("card.vmp", file);
  recorder_.Clear();
  ASSERT_TRUE(LoadSourceCard(image, path));
  EXPECT_EQ(recorder_.messages(),
            (std::vector<RecordedMessage>{
                {"Arquivo " + path + ": a assinatura VMP não confere.", "Atenção"}}));
}

TEST_F(CardFile, NewContainersWriteTheUsualHeaders) {
  CardImage blank = BlankCard();
  Bytes gme = EncodeCardFile(blank, NewCardContainer(CardFormat::DexDrive));
  Bytes expected_gme(0x40, 0);
  Put(expected_gme, 0, "123-456-STD");
  expected_gme[0x12] = expected_gme[0x14] = 1;
  expected_gme[0x15] = 'M';
  std::fill(expected_gme.begin() + 0x16, expected_gme.begin() + 0x25, 0xA0);
  std::fill(expected_gme.begin() + 0x26, expected_gme.begin() + 0x35, 0xFF);
  ASSERT_EQ(gme.size(), 134976u);
  EXPECT_EQ(Bytes(gme.begin(), gme.begin() + 0x40), expected_gme);
  EXPECT_EQ(std::count(gme.begin() + 0x40, gme.begin() + 0xF40, 0), 0xF00);

  Bytes vgs_header = FromHex("5667734d 01000000 01000000 01000000 00020000");
  vgs_header.resize(64, 0);
  EXPECT_EQ(EncodeCardFile(blank, NewCardContainer(CardFormat::Vgs)), WithCard(vgs_header, blank));
  EXPECT_EQ(ToHex(Sha1Of(EncodeCardFile(blank, NewCardContainer(CardFormat::Vmp)))),
            kSignedBlankVmpSha1);
  EXPECT_EQ(EncodeCardFile(blank, NewCardContainer(CardFormat::Raw)), WithCard({}, blank));
}

TEST_F(CardFile, ConversionsNameWhatTheTargetFormatCannotHold) {
  CardImage image{};
  CardContainer gme;  // comments "primeiro" and "terceiro", a stray 0x7E at 0x0C
  ASSERT_TRUE(LoadCardFile(image, gme, Write("card.gme", GmeFile(BlankCard()))));
  CardContainer vgs = NewCardContainer(CardFormat::Vgs);
  vgs.header[0x20] = 0x55;  // inside the 44 zero bytes at 0x14
  CardContainer commented = NewCardContainer(CardFormat::DexDrive);
  commented.comments[4] = "x";
  using Losses = std::vector<std::string>;
  const struct {
    CardContainer from;
    CardFormat to;
    Losses losses;
  } cases[] = {
      {gme,
       CardFormat::Raw,
       {"os comentários DexDrive", "o cabeçalho DexDrive do arquivo de origem"}},
      {gme, CardFormat::DexDrive, {}},
      {vgs, CardFormat::Vmp, {"o cabeçalho VGS do arquivo de origem"}},
      {commented, CardFormat::PsxCard, {"os comentários DexDrive"}},
      {NewCardContainer(CardFormat::Vmp), CardFormat::Raw, {}},
      {NewCardContainer(CardFormat::PsxCard), CardFormat::Vgs, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ConversionLosses(image, c.from, c.to), c.losses) << InfoOf(c.to).name;
  }
  recorder_.Clear();
  WarnOfConversionLosses(image, gme, CardFormat::Raw, "saida.mc");
  WarnOfConversionLosses(image, gme, CardFormat::DexDrive, "saida.gme");
  EXPECT_EQ(recorder_.messages(),
            (std::vector<RecordedMessage>{
                {"O formato mc não guarda os comentários DexDrive nem o cabeçalho DexDrive do "
                 "arquivo de origem: saida.mc tem o cartão inteiro, sem eles.",
                 "Atenção"}}));
}

TEST(CardFormatExtension, NamesTheFormatWhateverTheCase) {
  const std::pair<std::string, std::optional<CardFormat>> cases[] = {
      {"a/b.mc", CardFormat::Raw}, {"B.MCR", CardFormat::Raw},      {"c.mcd", CardFormat::Raw},
      {"d.srm", CardFormat::Raw},  {"e.GME", CardFormat::DexDrive}, {"f.mem", CardFormat::Vgs},
      {"g.vgs", CardFormat::Vgs},  {"h.VMP", CardFormat::Vmp},      {"i.psx", CardFormat::PsxCard},
      {"j.txt", std::nullopt},     {"k.gme/card", std::nullopt},    {"noextension", std::nullopt},
  };
  for (const auto& [path, format] : cases) EXPECT_EQ(CardFormatFromExtension(path), format) << path;
}

}  // namespace
