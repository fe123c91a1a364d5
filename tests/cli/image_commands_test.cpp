#include <gtest/gtest.h>

#include <QString>
#include <filesystem>

#include "card/icon_file.h"
#include "card/image_file.h"
#include "cli_process.h"
#include "support/card_builder.h"
#include "support/message_recorder.h"
#include "support/temp_folder.h"

using test_support::ReadBytes;
using test_support::TempFolder;
using test_support::WriteBytes;

namespace {

// The sample card: saves in blocks 1, 3, 6, 8, 9, 10 and 7 -> 2 -> 12; a removed save in
// blocks 4 and 5; blocks 11, 13, 14 and 15 free.
constexpr int kScatteredSave = 7;
constexpr int kMiddleBlock = 2;
constexpr int kRemovedSave = 4;
constexpr int kFreeBlock = 11;

const QString kNotExportable =
    "Atenção: Selecione um bloco que seja o primeiro de uma série e esteja ocupado!\n";

// Table rows carry their own test names, also for printing.
template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row>& info) {
  return info.param.name;
}
template <typename Row>
requires requires(const Row& row) {
  row.name;
}
void PrintTo(const Row& row, std::ostream* out) {
  *out << row.name;
}

class ImageCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy_file(SamplePath("demo.mc"), card_);
    original_ = ReadBytes(card_);
  }
  QString Card() const { return QString::fromStdString(card_); }
  QString File(const std::string& name) const { return QString::fromStdString(folder_.File(name)); }
  bool CardUnchanged() const { return ReadBytes(card_) == original_; }
  CardImage CardNow() const { return LoadCard(card_); }

  TempFolder folder_;
  std::string card_ = folder_.File("cartao.mc");
  std::vector<uint8_t> original_;
};

TEST_F(ImageCommandTest, ListarShowsTheSampleCardAsTheWindowDoes) {
  CliResult result = RunCli({"listar", Card()});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            " 1  CASA NA COLINA  DIA 12\n"
            " 2  Continuação do Bloco\n"
            " 3  FOGUETE 1\n"
            " 4  TESTE DE MEMORIA  NIVEL 7 *\n"
            " 5  Continuação final do Bloco *\n"
            " 6  PEIXE-BOLA 2\n"
            " 7  CORRIDA NOTURNA  PISTA 4\n"
            " 8  Arvore do Quintal\n"
            " 9  Sol de Verao - dia 3\n"
            "10  Passaro Azul (voo livre)\n"
            "11  Livre\n"
            "12  Continuação final do Bloco\n"
            "13  Livre\n"
            "14  Livre\n"
            "15  Livre\n"
            "Fonte: 'cartao.mc'\n"
            "Blocos Usados: 9\n"
            "Blocos Livres: 6\n");
}

TEST_F(ImageCommandTest, ExportarWritesTheSaveInChainOrder) {
  CliResult result = RunCli({"exportar", Card(), "7", File("saida.mcs")});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  EXPECT_EQ(ReadBytes(folder_.File("saida.mcs")), ReadBytes(SamplePath("demo.mcs")));
}

TEST_F(ImageCommandTest, IconeWritesFrameOneOfTheIcon) {
  constexpr int kThreeFrameIcon = 3;
  CliResult result = RunCli({"icone", Card(), "3", File("foguete.ico")});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  IconFileImage expected{};
  BuildIconFile(CardNow(), kThreeFrameIcon, 1, expected);
  EXPECT_EQ(ReadBytes(folder_.File("foguete.ico")),
            std::vector<uint8_t>(expected.begin(), expected.end()));
}

// Both exports refuse every block that is not the first block of a save in use, and write
// nothing.
class ExportRefusalTest : public ImageCommandTest,
                          public ::testing::WithParamInterface<std::tuple<const char*, int>> {};

TEST_P(ExportRefusalTest, RefusesWithTheWindowsMessage) {
  const auto [command, block] = GetParam();
  CliResult result = RunCli({command, Card(), QString::number(block), File("saida")});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, kNotExportable);
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(std::filesystem::exists(folder_.File("saida")));
}

INSTANTIATE_TEST_SUITE_P(Blocks, ExportRefusalTest,
                         ::testing::Combine(::testing::Values("exportar", "icone"),
                                            ::testing::Values(kMiddleBlock, kRemovedSave, 5,
                                                              kFreeBlock)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param)) + "_block" +
                                  std::to_string(std::get<1>(info.param));
                         });

TEST_F(ImageCommandTest, ImportarReplacesASaveOfTheSameNameOnlyWhenAsked) {
  // demo.mcs is the card's own save of blocks 7, 2 and 12, named BEDEME-00205PISTA004.
  const QString save = QString::fromStdString(SamplePath("demo.mcs"));
  CliResult refused = RunCli({"importar", Card(), save});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_EQ(refused.err,
            "Erro: Já existe um 'Save' com o nome BEDEME-00205PISTA004 na imagem. Use "
            "--substituir para substituí-lo.\n");
  EXPECT_TRUE(CardUnchanged());

  CliResult result = RunCli({"importar", Card(), save, "--substituir"});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  EXPECT_EQ(result.err, "");
  const CardImage image = CardNow();
  // The old save is removed, not purged; never-used blocks 11, 13 and 14 take the new one, so
  // the removed save in blocks 4 and 5 and the old save stay restorable.
  EXPECT_EQ(GetBlockState(image, 7), BlockState::RemovedFirst);
  EXPECT_EQ(GetBlockState(image, 12), BlockState::RemovedLast);
  EXPECT_EQ(GetBlockState(image, kRemovedSave), BlockState::RemovedFirst);
  EXPECT_EQ(GetBlockState(image, 11), BlockState::InUseFirst);
  EXPECT_EQ(GetNextLink(image, 11), 13 - 1);
  EXPECT_EQ(GetBlockState(image, 13), BlockState::InUseMiddle);
  EXPECT_EQ(GetNextLink(image, 13), 14 - 1);
  EXPECT_EQ(GetBlockState(image, 14), BlockState::InUseLast);
  EXPECT_EQ(GetSaveTitle(image, 11), GetSaveTitle(image, kScatteredSave));
}

TEST_F(ImageCommandTest, ExportarTakesTheFormatFromTheOptionThenTheExtension) {
  struct Case {
    QStringList extra;
    std::string file;
    std::size_t size;  // the three-block save of block 7 and its header
    std::size_t magic_offset;
  };
  const Case cases[] = {
      {{}, "saida.pda", 54 + 3 * 8192, 54},
      {{}, "saida.PSV", 0x84 + 3 * 8192, 0x84},
      {{}, "saida.xyz", 128 + 3 * 8192, 128},
      {{"--formato", "bruto"}, "saida.mcs", 3 * 8192, 0},
      {{"--formato", "PSV"}, "saida.bin", 0x84 + 3 * 8192, 0x84},
  };
  for (const Case& c : cases) {
    CliResult result = RunCli(QStringList{"exportar", Card(), "7", File(c.file)} + c.extra);
    EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
    const auto bytes = ReadBytes(folder_.File(c.file));
    ASSERT_EQ(bytes.size(), c.size) << c.file;
    EXPECT_EQ(bytes[c.magic_offset], 'S');
    EXPECT_EQ(bytes[c.magic_offset + 1], 'C');
  }
}

TEST_F(ImageCommandTest, ImportarTakesASaveFromAnotherCardAsFromItsMcs) {
  const QString other = File("outro.mc");
  std::filesystem::copy_file(SamplePath("demo.mc"), other.toStdString());
  ASSERT_EQ(RunCli({"importar", Card(), QString::fromStdString(SamplePath("demo.mcs")), "-o",
                    File("pelo-mcs.mc"), "--substituir"})
                .exit_code,
            0);
  CliResult result = RunCli({"importar", Card(), other, "--bloco", "7", "--substituir"});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  EXPECT_EQ(ReadBytes(card_), ReadBytes(folder_.File("pelo-mcs.mc")));

  CliResult refused = RunCli({"importar", Card(), other, "--bloco", "2", "-o", File("nada.mc")});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_EQ(refused.err, kNotExportable);
  EXPECT_FALSE(std::filesystem::exists(folder_.File("nada.mc")));
}

TEST_F(ImageCommandTest, RenomearWritesTheWholeDirectoryNameOrRefusesAndKeepsTheImage) {
  CliResult result = RunCli({"renomear", Card(), "1", "BASLUS-00067DRAX00"});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  const CardImage image = CardNow();
  auto frame = DirectoryFrameOf(image, 1);
  EXPECT_EQ(std::string(frame.begin() + 10, frame.begin() + 30),
            std::string("BASLUS-00067DRAX00\0\0", 20));
  EXPECT_TRUE(IsDirectoryXorValid(image, 1));

  original_ = ReadBytes(card_);
  const struct {
    QStringList arguments;
    QString err;
  } refusals[] = {
      {{"3", "BEDEME-00205PISTA004"},
       "Erro: Já existe um 'Save' com o nome BEDEME-00205PISTA004.\n"},
      {{"3", "BISLPS-0031Ação"},
       "Erro: O nome do 'Save' só pode ter letras sem acento, algarismos, espaços e os sinais "
       "do ASCII (caracteres 0x20 a 0x7E).\n"},
      {{"3", "BISLPS-00310FOGUETE01X"}, "Erro: O nome do 'Save' deve ter de 1 a 20 caracteres.\n"},
      {{"2", "BISLPS-00310"}, kNotExportable},
  };
  for (const auto& refusal : refusals) {
    CliResult refused = RunCli(QStringList{"renomear", Card()} + refusal.arguments);
    EXPECT_EQ(refused.exit_code, 1);
    EXPECT_EQ(refused.err, refusal.err);
    EXPECT_TRUE(CardUnchanged());
  }
}

TEST_F(ImageCommandTest, ComentarioKeepsACommentWithItsSaveInADexDriveImage) {
  const QString gme = File("cartao.gme");
  CliResult refused = RunCli({"comentario", Card(), "7", "Pista 4"});
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_EQ(refused.err,
            "Erro: A imagem não guarda comentários: só o formato DexDrive (.gme) os guarda. "
            "Grave-a em .gme com -o SAIDA.gme.\n");
  EXPECT_TRUE(CardUnchanged());

  ASSERT_EQ(RunCli({"comentario", Card(), "7", "Pista 4 — ok", "-o", gme}).exit_code, 0);
  // Block 7's comment field is at 0x40 + 6 * 256, Windows-1252 (the dash is 0x97).
  const auto bytes = ReadBytes(gme.toStdString());
  EXPECT_EQ(std::string(bytes.begin() + 0x640, bytes.begin() + 0x64C), "Pista 4 \x97 ok");
  EXPECT_EQ(bytes[0x64C], 0);
  EXPECT_EQ(RunCli({"comentario", gme, "7"}).out, "Pista 4 — ok\n");

  // Taken to another card with its save; kept through removal; dropped by the purge.
  const QString other = File("outro.gme");
  ASSERT_EQ(RunCli({"converter", Card(), other}).exit_code, 0);
  ASSERT_EQ(RunCli({"remover", other, "7"}).exit_code, 0);
  ASSERT_EQ(RunCli({"limpar", other}).exit_code, 0);
  ASSERT_EQ(RunCli({"importar", other, gme, "--bloco", "7"}).exit_code, 0);
  EXPECT_EQ(RunCli({"comentario", other, "2"}).out, "Pista 4 — ok\n");  // lowest free block
  ASSERT_EQ(RunCli({"remover", gme, "7"}).exit_code, 0);
  EXPECT_EQ(RunCli({"comentario", gme, "7"}).out, "Pista 4 — ok\n");
  ASSERT_EQ(RunCli({"limpar", gme}).exit_code, 0);
  EXPECT_EQ(RunCli({"comentario", gme, "7"}).out, "");
}

TEST_F(ImageCommandTest, EditsWithOutputOptionLeaveTheSourceAlone) {
  CliResult result = RunCli({"remover", Card(), "1", "-o", File("nova.mc")});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  EXPECT_TRUE(CardUnchanged());
  EXPECT_EQ(GetBlockState(LoadCard(folder_.File("nova.mc")), 1), BlockState::RemovedFirst);
}

TEST_F(ImageCommandTest, RemoverThenRestaurarGivesBackTheSameImage) {
  ASSERT_EQ(RunCli({"remover", Card(), "7"}).exit_code, 0);
  const CardImage removed = CardNow();
  EXPECT_EQ(GetBlockState(removed, 7), BlockState::RemovedFirst);
  EXPECT_EQ(GetBlockState(removed, 2), BlockState::RemovedMiddle);
  EXPECT_EQ(GetBlockState(removed, 12), BlockState::RemovedLast);
  ASSERT_EQ(RunCli({"restaurar", Card(), "7"}).exit_code, 0);
  EXPECT_TRUE(CardUnchanged());
}

TEST_F(ImageCommandTest, LimparFreesRemovedBlocksAndThenHasNothingToDo) {
  ASSERT_EQ(RunCli({"limpar", Card()}).exit_code, 0);
  const CardImage purged = CardNow();
  EXPECT_EQ(GetBlockState(purged, 4), BlockState::Free);
  EXPECT_EQ(GetBlockState(purged, 5), BlockState::Free);
  const auto after_first = ReadBytes(card_);

  CliResult again = RunCli({"limpar", Card(), "-o", File("limpo.mc")});
  EXPECT_EQ(again.exit_code, 0);
  EXPECT_EQ(again.err, "Nada foi alterado; a imagem não foi gravada.\n");
  EXPECT_EQ(ReadBytes(card_), after_first);
  EXPECT_FALSE(std::filesystem::exists(folder_.File("limpo.mc")));
}

TEST_F(ImageCommandTest, ExportarOfABrokenChainWritesNothing) {
  CardImage looping = CardNow();
  test_support::SetLink(looping, kScatteredSave, kScatteredSave - 1);  // 7 leads back to 7
  WriteBytes(card_, looping);
  CliResult result = RunCli({"exportar", Card(), "7", File("saida.mcs")});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_TRUE(result.err.startsWith("Erro: ")) << result.err.toStdString();
  EXPECT_FALSE(std::filesystem::exists(folder_.File("saida.mcs")));
}

TEST_F(ImageCommandTest, LocalidadeRewritesTheRegionAndItsXor) {
  ASSERT_EQ(RunCli({"localidade", Card(), "7", "jp"}).exit_code, 0);
  const CardImage image = CardNow();
  EXPECT_EQ(GetRegion(image, 7), "JP");
  EXPECT_TRUE(IsDirectoryXorValid(image, 7));
}

TEST_F(ImageCommandTest, NovoWritesABlankCard) {
  ASSERT_EQ(RunCli({"novo", File("branco.mc")}).exit_code, 0);
  CardImage blank{};
  FormatImage(blank);
  EXPECT_EQ(ReadBytes(folder_.File("branco.mc")), std::vector<uint8_t>(blank.begin(), blank.end()));
}

// Refusals of the card operations: their own message on stderr, status 1, image untouched.
struct Refusal {
  const char* name;
  QStringList arguments;  // the command, then what follows the card
  QString message;
};

class RefusalTest : public ImageCommandTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, PrintsTheMessageAndKeepsTheImage) {
  QStringList arguments = GetParam().arguments;
  arguments.insert(1, Card());
  CliResult result = RunCli(arguments);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, GetParam().message + "\n");
  EXPECT_TRUE(CardUnchanged());
}

INSTANTIATE_TEST_SUITE_P(
    Operations, RefusalTest,
    ::testing::Values(
        Refusal{"RemovedSave", {"remover", "4"}, "Atenção: Este bloco já foi removido!"},
        Refusal{"MiddleBlock",
                {"remover", "2"},
                "Atenção: Você deve selecionar o primeiro bloco do Save. Não foi possível "
                "removê-lo!"},
        Refusal{"FreeBlock", {"remover", "11"}, "Atenção: Este bloco já encontra-se livre!"},
        Refusal{"SaveInUse", {"restaurar", "1"}, "Atenção: Este bloco não foi removido!"},
        Refusal{"RemovedMiddle",
                {"restaurar", "5"},
                "Atenção: Você deve selecionar o primeiro bloco do Save. Não foi possível "
                "restaurá-lo!"},
        Refusal{"FreeRestore",
                {"restaurar", "13"},
                "Atenção: Não é possível restaurar um bloco livre!"},
        Refusal{"RegionOfLastBlock",
                {"localidade", "12", "US"},
                "Erro: Não é possível alterar a localidade para este tipo de bloco!"}),
    RowName<Refusal>);

TEST_F(ImageCommandTest, ImportarIntoAFullCardIsRefused) {
  CardImage full = test_support::BlankCard();
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    test_support::PlaceSave(full, {.blocks = {block}, .title = test_support::SingleByteTitle("X")});
  }
  WriteBytes(card_, full);
  CliResult result = RunCli({"importar", Card(), QString::fromStdString(SamplePath("demo.mcs"))});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err,
            "Erro: São necessário(s) 3 bloco(s) livre(s). Encontrado(s) apenas 0 Bloco(s) "
            "livre(s)!\n");
  EXPECT_EQ(ReadBytes(card_), std::vector<uint8_t>(full.begin(), full.end()));
}

TEST_F(ImageCommandTest, FileProblemsNameThePath) {
  const QString missing = File("nada.mc");
  CliResult not_found = RunCli({"listar", missing});
  EXPECT_EQ(not_found.exit_code, 1);
  EXPECT_EQ(not_found.err, "Erro: Arquivo " + missing + " não encontrado!\n");

  WriteBytes(folder_.File("curto.mc"), std::vector<uint8_t>(CardSize - 1));
  CliResult short_file = RunCli({"remover", File("curto.mc"), "1"});
  EXPECT_EQ(short_file.exit_code, 1);
  EXPECT_EQ(short_file.err, "Erro: Tamanho do arquivo " + File("curto.mc") + " inválido!\n");

  const QString unreachable = File("sem-pasta/novo.mc");
  CliResult io_error = RunCli({"novo", unreachable});
  EXPECT_EQ(io_error.exit_code, 1);
  EXPECT_EQ(io_error.err, "Vexilor: Não foi possível ler ou gravar o arquivo " + unreachable +
                              ": o arquivo ou a pasta não existe.\n");

  CliResult write_back = RunCli({"remover", Card(), "1", "-o", unreachable});
  EXPECT_EQ(write_back.exit_code, 1);
  EXPECT_TRUE(write_back.err.startsWith("Vexilor: Não foi possível ler ou gravar o arquivo " +
                                        unreachable));
  EXPECT_TRUE(CardUnchanged());
}

// Wrong usage: status 2, the reason and the command's usage line, and nothing read or written.
struct Misuse {
  const char* name;
  QStringList arguments;  // "CARD" stands for the card's path, "OUT" for an output file
  QString reason;         // the start of the first line on stderr
};

class MisuseTest : public ImageCommandTest, public ::testing::WithParamInterface<Misuse> {};

TEST_P(MisuseTest, IsAUsageError) {
  QStringList arguments = GetParam().arguments;
  arguments.replaceInStrings("CARD", Card());
  arguments.replaceInStrings("OUT", File("saida"));
  CliResult result = RunCli(arguments);
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_TRUE(result.err.startsWith(GetParam().reason)) << result.err.toStdString();
  EXPECT_TRUE(result.err.contains("Uso: vexilor-cli")) << result.err.toStdString();
  EXPECT_TRUE(CardUnchanged());
  EXPECT_FALSE(std::filesystem::exists(folder_.File("saida")));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, MisuseTest,
    ::testing::Values(
        Misuse{"NoCommand", {}, "Uso: vexilor-cli COMANDO"},
        Misuse{"UnknownCommand", {"copiar", "CARD"}, "vexilor-cli: comando desconhecido: copiar"},
        Misuse{"MissingArgument", {"listar"}, "vexilor-cli listar: falta o argumento IMAGEM"},
        Misuse{
            "ExtraArgument", {"limpar", "CARD", "OUT"}, "vexilor-cli limpar: argumento a mais: "},
        Misuse{"UnknownOption",
               {"listar", "CARD", "--csv"},
               "vexilor-cli listar: opção desconhecida: --csv"},
        Misuse{"BlockZero",
               {"remover", "CARD", "0"},
               "vexilor-cli remover: BLOCO deve ser um número de 1 a 15, não \"0\""},
        Misuse{"BlockSixteen",
               {"remover", "CARD", "16"},
               "vexilor-cli remover: BLOCO deve ser um número"},
        Misuse{"BlockNotANumber",
               {"exportar", "CARD", "sete", "OUT"},
               "vexilor-cli exportar: BLOCO deve ser"},
        Misuse{"BlockNegative", {"icone", "CARD", "-1", "OUT"}, "vexilor-cli icone: "},
        Misuse{"CardWithoutBlock",
               {"importar", "CARD", "CARD"},
               "vexilor-cli importar: ARQUIVO é uma imagem de Memory Card: escolha o 'save' com "
               "--bloco"},
        Misuse{"BlockForASingleSave",
               {"importar", "CARD", "OUT", "--bloco", "3"},
               "vexilor-cli importar: --bloco só vale quando ARQUIVO é uma imagem"},
        Misuse{"UnknownFormat",
               {"exportar", "CARD", "7", "OUT", "--formato", "zip"},
               "vexilor-cli exportar: --formato deve ser mcs, bruto, ar ou psv, não \"zip\""},
        Misuse{"UnknownRegion",
               {"localidade", "CARD", "1", "BR"},
               "vexilor-cli localidade: a localidade deve ser US, EU ou JP, não \"BR\""},
        Misuse{"OptionWithoutValue",
               {"remover", "CARD", "1", "-o"},
               "vexilor-cli remover: linha de comando inválida"},
        Misuse{"UnknownPort",
               {"ler", "OUT", "--porta", "LPT4"},
               "vexilor-cli ler: --porta deve ser LPT1, LPT2 ou LPT3"},
        Misuse{"DelayZero",
               {"ler", "OUT", "--delay", "0"},
               "vexilor-cli ler: --delay deve ser um número de 1 a 10"},
        Misuse{"DelayEleven",
               {"gravar", "CARD", "--delay", "11"},
               "vexilor-cli gravar: --delay deve ser"},
        Misuse{"PortAndVirtualCard",
               {"formatar", "--porta", "LPT1", "--cartao-virtual", "CARD"},
               "vexilor-cli formatar: use --porta ou --cartao-virtual, não os dois"}),
    RowName<Misuse>);

class HelpTest : public ::testing::TestWithParam<const char*> {};

TEST_P(HelpTest, EveryCommandHasHelp) {
  CliResult result = RunCli({GetParam(), "--help"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_TRUE(result.out.startsWith(QStringLiteral("Uso: vexilor-cli %1").arg(GetParam())));
  EXPECT_TRUE(result.out.contains("--help"));
}

INSTANTIATE_TEST_SUITE_P(Commands, HelpTest,
                         ::testing::Values("listar", "exportar", "importar", "remover", "restaurar",
                                           "limpar", "localidade", "icone", "novo", "ler", "gravar",
                                           "formatar"),
                         [](const auto& info) { return std::string(info.param); });

}  // namespace
