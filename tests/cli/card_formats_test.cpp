#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>

#include "card/formats/sha1.h"
#include "cli_process.h"
#include "support/card_builder.h"
#include "support/hex_bytes.h"
#include "support/temp_folder.h"

using namespace test_support;

namespace {

using Bytes = std::vector<uint8_t>;

// SHA-1 of the blank card, and of its VMP with the seed 00 01 .. 13, as published with the
// format.
constexpr char kBlankCardSha1[] = "5d9d9bef149fccf67b8a661b6cd5650dfbed938e";
constexpr char kBlankVmpSha1[] = "1ba9fbd25ec2091d034760df9a1e036f7b3b6faf";

class CardFormatCommandTest : public ::testing::Test {
 protected:
  QString File(const std::string& name) const { return QString::fromStdString(folder_.File(name)); }
  Bytes Read(const std::string& name) const { return ReadBytes(folder_.File(name)); }
  std::string Sha1(const std::string& name) const { return ToHex(Sha1Of(Read(name))); }
  QString FormatListed(const std::string& name) const {
    CliResult result = RunCli({"listar", File(name), "--json"});
    EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
    return QJsonDocument::fromJson(result.out.toUtf8()).object()["formato"].toString();
  }
  TempFolder folder_;
};

TEST_F(CardFormatCommandTest, NovoWritesTheFormatOfTheExtension) {
  struct Case {
    std::string name;
    std::size_t size;
    std::string start;  // the file's first bytes
    const char* listed;
  } cases[] = {
      {"a.mc", 131072, "4d43", "mc"},
      {"b.mcr", 131072, "4d43", "mc"},
      {"c.gme", 134976, "3132332d3435362d53544400000000000000010001", "gme"},
      {"d.mem", 131136, "5667734d010000000100000001000000", "vgs"},
      {"e.VMP", 131200, "00504d5680000000", "vmp"},
      {"f.psx", 131328, "505356", "psx"},
      {"g.bin", 131072, "4d43", "mc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CliResult result = RunCli({"novo", File(c.name)});
    ASSERT_EQ(result.exit_code, 0) << result.err.toStdString();
    Bytes file = Read(c.name);
    EXPECT_EQ(file.size(), c.size);
    EXPECT_EQ(ToHex(std::span(file).first(c.start.size() / 2)), c.start);
    EXPECT_EQ(FormatListed(c.name), c.listed);
  }
  EXPECT_EQ(Sha1("a.mc"), kBlankCardSha1);
  EXPECT_EQ(Sha1("e.VMP"), kBlankVmpSha1);
}

TEST_F(CardFormatCommandTest, ConverterTakesTheOptionThenTheExtension) {
  ASSERT_EQ(RunCli({"novo", File("blank.gme")}).exit_code, 0);
  struct Case {
    QStringList arguments;
    std::string output;
    std::string sha1;
  } cases[] = {
      {{"converter", File("blank.gme"), File("a.vmp")}, "a.vmp", kBlankVmpSha1},
      {{"converter", File("a.vmp"), File("b.mc")}, "b.mc", kBlankCardSha1},
      {{"converter", File("b.mc"), File("c.dat"), "--formato", "vmp"}, "c.dat", kBlankVmpSha1},
      {{"converter", File("c.dat"), File("d.vmp"), "--formato", "mcr"}, "d.vmp", kBlankCardSha1},
  };
  for (const Case& c : cases) {
    CliResult result = RunCli(c.arguments);
    ASSERT_EQ(result.exit_code, 0) << result.err.toStdString();
    EXPECT_EQ(Sha1(c.output), c.sha1) << c.output;
  }
}

TEST_F(CardFormatCommandTest, ConverterRefusesAnOutputOfNoKnownFormat) {
  ASSERT_EQ(RunCli({"novo", File("blank.mc")}).exit_code, 0);
  CliResult no_format = RunCli({"converter", File("blank.mc"), File("saida")});
  EXPECT_EQ(no_format.exit_code, 2);
  EXPECT_TRUE(no_format.err.startsWith("vexilor-cli converter: a extensão de " + File("saida") +
                                       " não indica um formato; use --formato"))
      << no_format.err.toStdString();
  CliResult bad_option =
      RunCli({"converter", File("blank.mc"), File("saida.gme"), "--formato", "zip"});
  EXPECT_EQ(bad_option.exit_code, 2);
  EXPECT_TRUE(bad_option.err.contains("\"zip\"")) << bad_option.err.toStdString();
  // A file name is no format name, even when its extension is one.
  EXPECT_EQ(
      RunCli({"converter", File("blank.mc"), File("saida.gme"), "--formato", "foo.gme"}).exit_code,
      2);
  EXPECT_FALSE(std::filesystem::exists(folder_.File("saida")));
  EXPECT_FALSE(std::filesystem::exists(folder_.File("saida.gme")));
}

// An edit of a DexDrive file writes a DexDrive file back: comments kept, copies refreshed.
TEST_F(CardFormatCommandTest, EditsKeepTheContainer) {
  CardImage card = BlankCard();
  PlaceSave(card, {.blocks = {2}});
  Bytes gme(0xF40, 0);
  const std::string magic = "123-456-STD";
  std::copy(magic.begin(), magic.end(), gme.begin());
  gme[0x12] = gme[0x14] = 1;
  gme[0x15] = 'M';
  for (std::size_t block = 1; block <= 15; ++block) {
    gme[0x15 + block] = block == 2 ? 0x51 : 0xA0;
    gme[0x25 + block] = 0xFF;
  }
  const std::string comment = "nota do bloco 2";
  std::copy(comment.begin(), comment.end(), gme.begin() + 0x40 + 256);
  gme.resize(0xF40 + CardSize);
  std::copy(card.begin(), card.end(), gme.begin() + 0xF40);
  WriteBytes(folder_.File("cartao.gme"), gme);

  CliResult result = RunCli({"remover", File("cartao.gme"), "2"});
  ASSERT_EQ(result.exit_code, 0) << result.err.toStdString();
  Bytes saved = Read("cartao.gme");
  ASSERT_EQ(saved.size(), gme.size());
  EXPECT_EQ(saved[0x15 + 2], 0xA1);
  EXPECT_EQ(saved[0xF40 + 2 * 128], 0xA1);
  EXPECT_EQ(std::string(saved.begin() + 0x140, saved.begin() + 0x140 + comment.size()), comment);
  EXPECT_EQ(FormatListed("cartao.gme"), "gme");
}

// The card inside is sound: the spoilt signature is only a warning. Only a command that writes
// that very file back promises a new signature; one that only reads it says it does not verify.
TEST_F(CardFormatCommandTest, ABadVmpSignatureIsPromisedANewOneOnlyWhenTheFileIsWritten) {
  CardImage card = BlankCard();
  PlaceSave(card, {.blocks = {3}});
  WriteBytes(folder_.File("fonte.mc"), Bytes(card.begin(), card.end()));
  ASSERT_EQ(RunCli({"converter", File("fonte.mc"), File("a.vmp")}).exit_code, 0);
  Bytes vmp = Read("a.vmp");
  vmp[0x20] ^= 0xFF;  // first byte of the signature
  WriteBytes(folder_.File("a.vmp"), vmp);
  ASSERT_EQ(RunCli({"novo", File("destino.mc")}).exit_code, 0);
  ASSERT_EQ(RunCli({"novo", File("virtual.mc")}).exit_code, 0);

  const std::string warning = "Atenção: Arquivo " + folder_.File("a.vmp") + ": ";
  const std::string only_read = "a assinatura VMP não confere.";
  const std::string resigned =
      "assinatura VMP inválida; o arquivo será assinado de novo ao salvar.";
  const QString vmp_path = File("a.vmp");
  const std::pair<QStringList, std::string> commands[] = {
      {{"listar", vmp_path}, only_read},
      {{"listar", vmp_path, "--json"}, only_read},
      {{"verificar", vmp_path}, only_read},
      {{"exportar", vmp_path, "3", File("s.mcs")}, only_read},
      {{"icone", vmp_path, "3", File("i.ico")}, only_read},
      {{"comentario", vmp_path, "3"}, only_read},
      {{"converter", vmp_path, File("c.mc")}, only_read},
      {{"gravar", vmp_path, "--cartao-virtual", File("virtual.mc"), "--delay", "1"}, only_read},
      {{"importar", File("destino.mc"), vmp_path, "--bloco", "3"}, only_read},
      {{"remover", vmp_path, "3", "-o", File("r.mc")}, only_read},
      {{"reparar", vmp_path, "-o", File("p.vmp")}, only_read},
      // Last: writing the file back signs it anew.
      {{"localidade", vmp_path, "3", "JP"}, resigned},
  };
  for (const auto& [command, said] : commands) {
    SCOPED_TRACE(command.join(' ').toStdString());
    CliResult result = RunCli(command);
    EXPECT_EQ(result.exit_code, 0);
    const std::string err = result.err.toStdString();
    EXPECT_NE(err.find(warning + said), std::string::npos) << err;
    EXPECT_EQ(err.find(said == only_read ? "assinado de novo" : "não confere"), std::string::npos)
        << err;
  }
  EXPECT_EQ(Read("destino.mc")[128], 0x51);         // block 1 of the destination now holds the save
  EXPECT_EQ(Read("virtual.mc")[0x180], 0x51);       // so does block 3 of the card written
  EXPECT_EQ(RunCli({"listar", vmp_path}).err, "");  // signed anew when written back
}

}  // namespace
