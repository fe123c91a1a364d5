// separar, catalogo and the overwrite rule, on real files through the real executable.

#include <gtest/gtest.h>

#include <QString>
#include <filesystem>

#include "card/formats/card_file.h"
#include "cli_process.h"
#include "support/card_builder.h"
#include "support/temp_folder.h"

using test_support::BlankCard;
using test_support::PlaceSave;
using test_support::ReadBytes;
using test_support::SaveSpec;
using test_support::TempFolder;
using test_support::WriteBytes;

namespace {

namespace fs = std::filesystem;

class CollectionCommandTest : public ::testing::Test {
 protected:
  QString File(const std::string& name) const { return QString::fromStdString(folder_.File(name)); }
  QString Card(const std::string& name, const CardImage& card) const {
    WriteBytes(folder_.File(name), card);
    return File(name);
  }
  TempFolder folder_;
};

TEST_F(CollectionCommandTest, SepararPlansFirstThenWritesAndExitsOneForWhatWasLeftOut) {
  CardImage card = BlankCard();
  PlaceSave(card, SaveSpec{.blocks = {1}, .product_code = "SLUS-00594"});
  PlaceSave(card, SaveSpec{.blocks = {2, 3}, .product_code = "SLUS-00594", .removed = true});
  PlaceSave(card, SaveSpec{.blocks = {4}, .product_code = "SCESP00001"});
  const QString input = Card("compartilhado.mc", card);
  const QString destination = File("destino");
  const QString plan = input + " 1 → " + destination + "/SLUS-00594.mc\n" + input + " 4 → " +
                       destination + "/SCES-00001.mc\n";

  const CliResult simulated = RunCli({"separar", input, "--destino", destination, "--simular"});
  EXPECT_EQ(simulated.exit_code, 0);
  EXPECT_EQ(simulated.out, plan +
                               "A gravar: 2 em 2 cartões; idênticos: 0; não gravados: 0\n"
                               "Simulação: nada foi gravado.\n");
  EXPECT_FALSE(fs::exists(folder_.File("destino")));

  const CliResult written = RunCli({"separar", input, "--destino", destination});
  EXPECT_EQ(written.exit_code, 0);
  EXPECT_EQ(written.out, plan + "Gravados: 2 em 2 cartões; idênticos: 0; não gravados: 0\n");
  EXPECT_EQ(LoadCard(folder_.File("destino/SCES-00001.mc"))[128 + 12], 'S');

  // Again: nothing new, nothing replaced; a save that fits nowhere is reported by name.
  CardImage full = BlankCard();
  PlaceSave(full, SaveSpec{.blocks = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15},
                           .product_code = "SLUS-00594",
                           .game_id = "GRANDE"});
  const CliResult again = RunCli({"separar", input, Card("cheio.mc", full), "--destino",
                                  destination, "--layout", "duckstation", "--json"});
  EXPECT_EQ(again.exit_code, 0) << again.err.toStdString();
  const CliResult twice = RunCli(
      {"separar", input, File("cheio.mc"), "--destino", destination, "--layout", "duckstation"});
  EXPECT_EQ(twice.exit_code, 0);
  const CliResult beyond = RunCli({"separar", File("cheio.mc"), File("cheio.mc"), "--destino",
                                   destination, "--layout", "duckstation"});
  EXPECT_EQ(beyond.exit_code, 0);  // identical: written once
  full[1 * 8192 + 100] ^= 1;
  const CliResult other = RunCli(
      {"separar", Card("outro.mc", full), "--destino", destination, "--layout", "duckstation"});
  EXPECT_EQ(other.exit_code, 1);
  EXPECT_TRUE(other.out.contains(" 1 → não gravado: não cabe em nenhum dos 2 cartões permitidos"))
      << other.out.toStdString();
}

TEST_F(CollectionCommandTest, CatalogoListsEverySaveOfATreeAndCountsWhatItSkips) {
  fs::create_directories(folder_.File("arvore/sub"));
  CardImage card = BlankCard();
  PlaceSave(card, SaveSpec{.blocks = {2},
                           .title = test_support::SingleByteTitle("UM"),
                           .region = 'E',
                           .product_code = "SLES-01234",
                           .game_id = "ID1"});
  PlaceSave(card, SaveSpec{.blocks = {5, 6}, .product_code = "SLUS-00001", .removed = true});
  Card("arvore/sub/cartao.gme.mc", card);
  WriteBytes(folder_.File("arvore/leia.txt"), std::vector<uint8_t>{'o', 'i'});
  fs::create_symlink("laco", folder_.File("arvore/laco"));
  fs::create_directory_symlink("..", folder_.File("arvore/sub/acima"));

  const CliResult text = RunCli({"catalogo", File("arvore")});
  EXPECT_EQ(text.exit_code, 0);
  const QString file = File("arvore/sub/cartao.gme.mc");
  const QStringList lines = text.out.split(u'\n');
  ASSERT_EQ(lines.size(), 4) << text.out.toStdString();
  EXPECT_TRUE(lines[0].startsWith(file + "\tmc\t2\tEU\tSLES-01234\tID1\tUM\t1\tOcupado\t"));
  EXPECT_EQ(lines[0].section(u'\t', 9).size(), 64);
  EXPECT_TRUE(lines[1].startsWith(file + "\tmc\t5\tUS\tSLUS-00001\tSAVEGAME\t\t2\tRemovido\t"));
  EXPECT_EQ(lines[2],
            "Arquivos: 2 (cartões: 1, 'saves' avulsos: 0, ignorados: 1, recusados: 0); "
            "ilegíveis: 1; 'saves': 2");
  EXPECT_TRUE(text.err.contains("não foi possível ler " + File("arvore/laco")));

  const CliResult json = RunCli({"catalogo", file, "--json"});
  const QStringList rows = json.out.trimmed().split(u'\n');
  ASSERT_EQ(rows.size(), 2);
  EXPECT_TRUE(rows[0].startsWith("{\"arquivo\":\"" + file +
                                 "\",\"bloco\":2,\"blocos\":1,"
                                 "\"codigo_produto\":\"SLES-01234\",\"estado_save\":\"Ocupado\","
                                 "\"formato\":\"mc\",\"id_jogo\":\"ID1\",\"localidade\":\"EU\","
                                 "\"sha256\":\""));
  EXPECT_TRUE(rows[0].endsWith("\",\"titulo\":\"UM\"}"));
}

TEST_F(CollectionCommandTest, JuntarFillsCardsFirstFitKeepingNamesApartAndIdenticalSavesOnce) {
  CardImage first = BlankCard();
  PlaceSave(first, SaveSpec{.blocks = {1, 2, 3, 4, 5}, .game_id = "A"});
  PlaceSave(first, SaveSpec{.blocks = {6, 7, 8, 9, 10}, .game_id = "B"});
  PlaceSave(first, SaveSpec{.blocks = {11, 12, 13, 14, 15}, .game_id = "C"});
  CardImage second = BlankCard();
  PlaceSave(second, SaveSpec{.blocks = {3, 4, 5, 6, 7}, .game_id = "A"});  // the same bytes
  PlaceSave(second, SaveSpec{.blocks = {9}, .game_id = "A", .seed = 9});   // other bytes
  const std::vector<uint8_t> gme = EncodeCardFile(second, NewCardContainer(CardFormat::DexDrive));
  WriteBytes(folder_.File("segundo.gme"), gme);
  const QString one = Card("primeiro.mc", first);
  const QString two = File("segundo.gme");
  const QString out = File("junto.vgs");

  const CliResult merged = RunCli({"juntar", out, one, two});
  EXPECT_EQ(merged.exit_code, 0) << merged.err.toStdString();
  EXPECT_EQ(merged.out, one + " 1 → " + out + "\n" + one + " 6 → " + out + "\n" + one + " 11 → " +
                            out + "\n" + two + " 3 → " + out + " (idêntico, gravado uma vez)\n" +
                            two + " 9 → " + File("junto-2.vgs") + "\n" +
                            "Gravados: 4 em 2 cartões; idênticos: 1; não gravados: 0\n");
  // Written in the format of SAIDA: the 64-byte VGS header starts with "VgsM".
  EXPECT_EQ(ReadBytes(folder_.File("junto-2.vgs")).size(), 131136u);
  EXPECT_EQ(ReadBytes(folder_.File("junto-2.vgs"))[0], 'V');

  const CliResult again = RunCli({"juntar", out, one, two});
  EXPECT_EQ(again.exit_code, 2);
  EXPECT_TRUE(again.err.contains("o arquivo " + out + " já existe; use --forcar"));
  EXPECT_EQ(RunCli({"juntar", out, one, two, "--forcar"}).exit_code, 0);
  EXPECT_EQ(RunCli({"juntar", one, two, one, "--forcar"}).exit_code, 2);  // output is an input
}

TEST_F(CollectionCommandTest, ListarTakesSeveralFilesEachHeadedByItsName) {
  const QString blank = Card("branco.mc", BlankCard());
  const CliResult two = RunCli({"listar", blank, blank});
  EXPECT_EQ(two.exit_code, 0);
  const QString listing = QStringLiteral(
      " 1  Livre\n 2  Livre\n 3  Livre\n 4  Livre\n 5  Livre\n 6  Livre\n 7  Livre\n 8  Livre\n"
      " 9  Livre\n10  Livre\n11  Livre\n12  Livre\n13  Livre\n14  Livre\n15  Livre\n"
      "Fonte: 'branco.mc'\nBlocos Usados: 0\nBlocos Livres: 15\n");
  EXPECT_EQ(two.out, blank + ":\n" + listing + "\n" + blank + ":\n" + listing);
  const CliResult json = RunCli({"listar", blank, File("falta.mc"), blank, "--json"});
  EXPECT_EQ(json.exit_code, 1);
  EXPECT_TRUE(json.out.startsWith("[\n    {\n"));
  EXPECT_EQ(json.out.count("\"fonte\": \"Fonte: 'branco.mc'\""), 2);
  EXPECT_TRUE(json.err.contains("falta.mc não encontrado!"));
}

TEST_F(CollectionCommandTest, ARawSaveIsNamedByItsFileNameOrByNome) {
  CardImage source = BlankCard();
  PlaceSave(source, SaveSpec{.blocks = {1}});
  const auto block = BlockOf(source, 1);
  const std::vector<uint8_t> raw(block.begin(), block.end());
  WriteBytes(folder_.File("meu save.srm"), raw);
  WriteBytes(folder_.File("Jogo-BASLUS-00958GS2-1.srm"), raw);
  const QString card = Card("cartao.mc", BlankCard());

  const CliResult refused = RunCli({"importar", card, File("meu save.srm")});
  EXPECT_EQ(refused.exit_code, 2);
  EXPECT_TRUE(refused.err.contains("informe-o com --nome NOME"));
  EXPECT_EQ(RunCli({"importar", card, File("meu save.srm"), "--nome", "BESLES-01234X"}).exit_code,
            0);
  EXPECT_EQ(RunCli({"importar", card, File("Jogo-BASLUS-00958GS2-1.srm")}).exit_code, 0);
  EXPECT_EQ(RunCli({"importar", card, File("meu save.srm"), "--nome", "nome grande demais: 21"})
                .exit_code,
            2);
  const CardImage result = LoadCard(folder_.File("cartao.mc"));
  EXPECT_EQ(std::string(result.begin() + 128 + 10, result.begin() + 128 + 23), "BESLES-01234X");
  EXPECT_EQ(std::string(result.begin() + 256 + 10, result.begin() + 256 + 27), "BASLUS-00958GS2-1");
}

TEST_F(CollectionCommandTest, ConverterNamesWhatTheTargetFormatDrops) {
  CardContainer container = NewCardContainer(CardFormat::DexDrive);
  container.comments[0] = "chefe final";
  WriteBytes(folder_.File("comentado.gme"), EncodeCardFile(BlankCard(), container));
  const CliResult result = RunCli({"converter", File("comentado.gme"), File("sem.mc")});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.err, "Atenção: O formato mc não guarda os comentários DexDrive: " +
                            File("sem.mc") + " tem o cartão inteiro, sem eles.\n");
  EXPECT_EQ(RunCli({"converter", File("sem.mc"), File("de-novo.gme")}).err, "");
}

TEST_F(CollectionCommandTest, ADexDriveCommentGoesWithItsSaveWhereTheCardCanHoldIt) {
  CardImage card = BlankCard();
  PlaceSave(card, SaveSpec{.blocks = {2}, .product_code = "SLUS-00594"});
  CardContainer container = NewCardContainer(CardFormat::DexDrive);
  container.comments[1] = "antes do chefe";
  WriteBytes(folder_.File("comentado.gme"), EncodeCardFile(card, container));
  const QString input = File("comentado.gme");

  EXPECT_EQ(RunCli({"juntar", File("junto.gme"), input}).exit_code, 0);
  CardImage merged;
  CardContainer kept;
  ASSERT_TRUE(LoadCardFile(merged, kept, folder_.File("junto.gme")));
  EXPECT_EQ(kept.comments[0], "antes do chefe");  // placed at block 1 now

  const CliResult split = RunCli({"separar", input, "--destino", File("destino")});
  EXPECT_EQ(split.exit_code, 0);
  EXPECT_EQ(split.out, input + " 2 → " + File("destino") +
                           "/SLUS-00594.mc (sem o comentário DexDrive)\n"
                           "Gravados: 1 em 1 cartões; idênticos: 0; não gravados: 0\n"
                           "Comentários DexDrive que o formato dos cartões não guarda: 1\n");
}

// Every command that writes a file other than the image it edits.
TEST_F(CollectionCommandTest, NoCommandReplacesAnExistingFileWithoutForcar) {
  fs::copy_file(SamplePath("demo.mc"), folder_.File("cartao.mc"));
  const QString card = File("cartao.mc");
  const QString output = File("saida.mc");
  const std::vector<uint8_t> text{'t', 'e', 'x', 't', 'o'};
  const QStringList commands[] = {
      {"exportar", card, "1", output},
      {"icone", card, "1", output},
      {"novo", output},
      {"converter", card, output},
      {"remover", card, "1", "-o", output},
      {"limpar", card, "-o", output},
      {"ler", output, "--cartao-virtual", card},
  };
  for (const QStringList& command : commands) {
    SCOPED_TRACE(command.first().toStdString());
    WriteBytes(folder_.File("saida.mc"), text);
    const CliResult refused = RunCli(command);
    EXPECT_EQ(refused.exit_code, 2);
    EXPECT_TRUE(
        refused.err.contains("o arquivo " + output + " já existe; use --forcar para substituí-lo"));
    EXPECT_EQ(ReadBytes(folder_.File("saida.mc")), text);
    EXPECT_EQ(RunCli(command + QStringList{"--forcar"}).exit_code, 0);
    EXPECT_NE(ReadBytes(folder_.File("saida.mc")), text);
  }
  const CliResult same = RunCli({"ler", card, "--cartao-virtual", card, "--forcar"});
  EXPECT_EQ(same.exit_code, 2);
  EXPECT_TRUE(same.err.contains("é o mesmo arquivo que a entrada"));
  // -o naming the edited image itself is an edit in place.
  EXPECT_EQ(RunCli({"remover", card, "3", "-o", card}).exit_code, 0);
}

}  // namespace
