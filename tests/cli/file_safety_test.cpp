// vexilor-cli against odd targets, shared images and hostile names: nothing the user has is lost
// and every failure says so.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QProcess>
#include <QString>
#include <filesystem>

#include "cli/listing.h"
#include "cli_process.h"
#include "support/card_builder.h"
#include "support/temp_folder.h"

using test_support::ReadBytes;
using test_support::TempFolder;

namespace {

namespace fs = std::filesystem;

// The sample card has saves starting in blocks 1, 3, 6 and 7.
class CliFileSafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(SamplePath("demo.mc"), card_);
    original_ = ReadBytes(card_);
  }
  QString Card() const { return QString::fromStdString(card_); }
  QString File(const std::string& name) const { return QString::fromStdString(folder_.File(name)); }

  TempFolder folder_;
  std::string card_ = folder_.File("cartao.mc");
  std::vector<uint8_t> original_;
};

TEST_F(CliFileSafetyTest, OutputsThatAreAnInputAndExistingCardsAreRefused) {
  fs::create_symlink(card_, folder_.File("outro nome.mc"));
  ASSERT_EQ(RunCli({"exportar", Card(), "7", File("save.mcs")}).exit_code, 0);
  const auto save = ReadBytes(folder_.File("save.mcs"));
  const struct {
    QStringList arguments;
    QString message;
  } kRefusals[] = {
      {{"exportar", Card(), "7", Card()}, "a saída " + Card() + " é o mesmo arquivo que a entrada"},
      {{"icone", Card(), "7", File("outro nome.mc")}, "é o mesmo arquivo que a entrada"},
      {{"importar", Card(), File("save.mcs"), "-o", File("save.mcs")},
       "é o mesmo arquivo que a entrada"},
      {{"converter", Card(), File("outro nome.mc"), "--formato", "gme", "--forcar"},
       "é o mesmo arquivo que a entrada"},
      {{"novo", Card()}, "o arquivo " + Card() + " já existe; use --forcar para substituí-lo"},
  };
  for (const auto& refusal : kRefusals) {
    SCOPED_TRACE(refusal.arguments.join(' ').toStdString());
    const CliResult result = RunCli(refusal.arguments);
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_TRUE(result.err.contains(refusal.message)) << result.err.toStdString();
  }
  EXPECT_EQ(ReadBytes(card_), original_);
  EXPECT_EQ(ReadBytes(folder_.File("save.mcs")), save);
  EXPECT_EQ(RunCli({"novo", Card(), "--forcar"}).exit_code, 0);
  EXPECT_EQ(ReadBytes(card_).size(), 131072u);
  EXPECT_NE(ReadBytes(card_), original_);
}

TEST_F(CliFileSafetyTest, TargetsThatAreNotFilesAreLeftAlone) {
  const std::string fifo = folder_.File("fila.mc");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const struct {
    QStringList arguments;
    std::string target;
    mode_t type;
  } kTargets[] = {
      {{"novo", QString::fromStdString(fifo)}, fifo, S_IFIFO},
      {{"exportar", Card(), "7", "/dev/null"}, "/dev/null", S_IFCHR},
      {{"novo", File("")}, folder_.File(""), S_IFDIR},
  };
  for (const auto& target : kTargets) {
    SCOPED_TRACE(target.target);
    const CliResult result = RunCli(target.arguments);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_TRUE(result.err.startsWith("Vexilor: Não foi possível ler ou gravar o arquivo "))
        << result.err.toStdString();
    struct stat status {};
    ASSERT_EQ(::stat(target.target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & S_IFMT, target.type);
  }
  EXPECT_TRUE(RunCli({"novo", QString::fromStdString(fifo)})
                  .err.endsWith("o caminho indica um dispositivo, FIFO ou socket, não um arquivo "
                                "comum.\n"));
}

// Three edits of one image at once: each waits for the one before, so all three changes land.
TEST_F(CliFileSafetyTest, SimultaneousEditsAllLand) {
  const QStringList edits[] = {
      {"remover", Card(), "1"}, {"remover", Card(), "3"}, {"localidade", Card(), "6", "EU"}};
  QProcess processes[3];
  for (int i = 0; i < 3; ++i) processes[i].start(QStringLiteral(VEXILOR_CLI_PATH), edits[i]);
  for (auto& process : processes) {
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
  }
  const auto card = ReadBytes(card_);
  EXPECT_EQ(card[128 * 1], 0xA1);       // block 1 removed
  EXPECT_EQ(card[128 * 3], 0xA1);       // block 3 removed
  EXPECT_EQ(card[128 * 6 + 11], 0x45);  // block 6 region 'E'
}

TEST_F(CliFileSafetyTest, AnEditWaitsForAHeldLockThenGivesUp) {
  const int held = ::open(card_.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  const CliResult result = RunCli({"remover", Card(), "1"});
  ::close(held);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "Erro: O arquivo " + Card() +
                            " está sendo alterado por outro comando; nada foi gravado. Tente de "
                            "novo.\n");
  EXPECT_EQ(ReadBytes(card_), original_);
}

TEST_F(CliFileSafetyTest, NamesThatAreNotUtf8PassAsTheirBytes) {
  const std::string name = folder_.File("na\xffme.mc");
  EXPECT_EQ(RunCliOnTerminal({"novo", name}, false).exit_code, 0);
  EXPECT_TRUE(fs::is_regular_file(fs::path(name)));
  const TerminalRun listing = RunCliOnTerminal({"listar", name}, false);
  EXPECT_EQ(listing.exit_code, 0);
  EXPECT_NE(listing.output.find("Blocos Livres: 15"), std::string::npos) << listing.output;
}

TEST_F(CliFileSafetyTest, FailuresToWriteTheResultAreFailures) {
  QProcess listing;
  listing.setStandardOutputFile(QStringLiteral("/dev/full"));
  listing.start(QStringLiteral(VEXILOR_CLI_PATH), {"listar", Card()});
  ASSERT_TRUE(listing.waitForFinished(30000));
  EXPECT_EQ(listing.exitCode(), 1);
  EXPECT_EQ(QString::fromUtf8(listing.readAllStandardError()),
            "Erro: Não foi possível escrever na saída padrão: não há espaço livre no disco.\n");

  // The output location is checked before the card is reached (here: before its file is read).
  const CliResult reading =
      RunCli({"ler", "/inexistente/x.mc", "--cartao-virtual", File("sem cartao.mc")});
  EXPECT_EQ(reading.exit_code, 1);
  EXPECT_EQ(reading.err,
            "Vexilor: Não foi possível ler ou gravar o arquivo /inexistente/x.mc: o arquivo ou a "
            "pasta não existe.\n");
}

TEST_F(CliFileSafetyTest, ARepeatedOptionIsWrongUsage) {
  const CliResult result =
      RunCli({"ler", File("x.mc"), "--cartao-virtual", Card(), "--cartao-virtual", Card()});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_TRUE(result.err.startsWith("vexilor-cli ler: opção repetida: --cartao-virtual"))
      << result.err.toStdString();
}

// ESC, BEL and CR in a title would retitle the terminal and forge lines.
TEST(ListingText, ShowsControlCharactersAsEscapes) {
  CardImage image = test_support::BlankCard();
  test_support::PlaceSave(
      image, {.blocks = {1}, .title = {'A', 0x1B, ']', '0', ';', 'X', 0x07, 'B', 0x0D, 'C'}});
  const QString text = ListingText(image, QStringLiteral("/cartões/a\nb.mc"));
  EXPECT_TRUE(text.contains(QStringLiteral("A\\x1B]0;X\\x07B\\x0DC"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("Fonte: 'a\\x0Ab.mc'"))) << text.toStdString();
  for (char16_t control : {u'\x1B', u'\x07', u'\r'}) EXPECT_FALSE(text.contains(QChar(control)));
}

}  // namespace
