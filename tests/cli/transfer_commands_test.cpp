#include <gtest/gtest.h>

#include <filesystem>

#include "card/image_file.h"
#include "cli_process.h"
#include "support/temp_folder.h"

namespace {

using test_support::ReadBytes;
using test_support::TempFolder;

std::vector<uint8_t> BlankCardBytes() {
  CardImage blank{};
  FormatImage(blank);
  return {blank.begin(), blank.end()};
}

class TransferCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::copy_file(SamplePath("demo.mc"), virtual_card_); }
  QString VirtualCard() const { return QString::fromStdString(virtual_card_); }
  QString File(const std::string& name) const { return QString::fromStdString(folder_.File(name)); }

  TempFolder folder_;
  std::string virtual_card_ = folder_.File("cartao-virtual.mc");
};

TEST_F(TransferCommandTest, LerCopiesTheCardAndLeavesItAsItWas) {
  CliResult result = RunCli({"ler", File("lido.mc"), "--cartao-virtual", VirtualCard()});
  EXPECT_EQ(result.exit_code, 0) << result.err.toStdString();
  EXPECT_EQ(result.err, "");  // no progress bar when stderr is not a terminal
  EXPECT_EQ(ReadBytes(folder_.File("lido.mc")), ReadBytes(SamplePath("demo.mc")));
  EXPECT_EQ(ReadBytes(virtual_card_), ReadBytes(SamplePath("demo.mc")));
}

TEST_F(TransferCommandTest, FormatarThenGravarThenLerRoundTrip) {
  CliResult formatted = RunCli({"formatar", "--cartao-virtual", VirtualCard(), "--delay", "1"});
  EXPECT_EQ(formatted.exit_code, 0) << formatted.err.toStdString();
  EXPECT_EQ(formatted.out, "Memory Card formatado com sucesso!\n");
  EXPECT_EQ(ReadBytes(virtual_card_), BlankCardBytes());

  const QString sample = QString::fromStdString(SamplePath("demo.mc"));
  CliResult written =
      RunCli({"gravar", sample, "--cartao-virtual", VirtualCard(), "--delay", "10"});
  EXPECT_EQ(written.exit_code, 0) << written.err.toStdString();
  EXPECT_EQ(written.out, "Memory Card gravado com sucesso!\n");
  EXPECT_EQ(ReadBytes(virtual_card_), ReadBytes(SamplePath("demo.mc")));

  ASSERT_EQ(RunCli({"ler", File("de-volta.mc"), "--cartao-virtual", VirtualCard()}).exit_code, 0);
  EXPECT_EQ(ReadBytes(folder_.File("de-volta.mc")), ReadBytes(SamplePath("demo.mc")));
}

TEST_F(TransferCommandTest, AVirtualCardFileMustExistAndHoldAWholeCard) {
  const QString missing = File("nenhum.mc");
  CliResult not_found = RunCli({"ler", File("lido.mc"), "--cartao-virtual", missing});
  EXPECT_EQ(not_found.exit_code, 1);
  EXPECT_EQ(not_found.err, "Erro: Arquivo " + missing + " não encontrado!\n");

  test_support::WriteBytes(virtual_card_, std::vector<uint8_t>(100));
  CliResult wrong_size = RunCli({"formatar", "--cartao-virtual", VirtualCard()});
  EXPECT_EQ(wrong_size.exit_code, 1);
  EXPECT_EQ(wrong_size.err, "Erro: Tamanho do arquivo " + VirtualCard() + " inválido!\n");
  EXPECT_EQ(ReadBytes(virtual_card_).size(), 100u);
  EXPECT_FALSE(std::filesystem::exists(folder_.File("lido.mc")));
}

TEST_F(TransferCommandTest, ARealPortThatIsNotThereFailsWithoutWritingAnything) {
  if (std::filesystem::exists("/dev/parport1")) GTEST_SKIP() << "this machine has a second port";
  CliResult result = RunCli({"ler", File("lido.mc"), "--porta", "LPT2"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_TRUE(result.err.startsWith("Vexilor: ")) << result.err.toStdString();
  EXPECT_TRUE(result.err.contains("parport")) << result.err.toStdString();
  EXPECT_FALSE(std::filesystem::exists(folder_.File("lido.mc")));
}

TEST_F(TransferCommandTest, ATerminalShowsTheProgressUpToFullPercent) {
  TerminalRun run = RunCliOnTerminal(
      {"ler", folder_.File("lido.mc"), "--cartao-virtual", virtual_card_, "--delay", "1"}, false);
  EXPECT_EQ(run.exit_code, 0) << run.output;
  EXPECT_NE(run.output.find("  0%"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("] 100%"), std::string::npos) << run.output;
}

// Ctrl+C ends the read after the frame under way and writes no image. A very fast machine may
// finish before the signal lands, so a few attempts are allowed.
TEST_F(TransferCommandTest, AnInterruptedReadWritesNoImage) {
  constexpr int kAttempts = 5;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const std::string output = folder_.File("lido" + std::to_string(attempt) + ".mc");
    TerminalRun run =
        RunCliOnTerminal({"ler", output, "--cartao-virtual", virtual_card_, "--delay", "10"}, true);
    ASSERT_FALSE(run.signalled_before_progress) << run.output;
    if (run.exit_code == 0) continue;
    EXPECT_EQ(run.exit_code, 1) << run.output;
    EXPECT_NE(run.output.find("Atenção: Transferência interrompida antes do frame "),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("nada foi gravado."), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(output));
    EXPECT_EQ(ReadBytes(virtual_card_), ReadBytes(SamplePath("demo.mc")));
    return;
  }
  FAIL() << "every read finished before the interrupt arrived";
}

}  // namespace

namespace {

TEST_F(TransferCommandTest, ThePs3UsbAdaptorFormatsWritesAndReadsTheCard) {
  const QStringList adaptor = {"--leitor", "ps3usb", "--cartao-virtual", VirtualCard()};
  CliResult formatted = RunCli(QStringList{"formatar"} + adaptor);
  EXPECT_EQ(formatted.exit_code, 0) << formatted.err.toStdString();
  EXPECT_EQ(formatted.out, "Memory Card formatado com sucesso!\n");
  EXPECT_EQ(ReadBytes(virtual_card_), BlankCardBytes());

  const QString sample = QString::fromStdString(SamplePath("demo.mc"));
  CliResult written = RunCli(QStringList{"gravar", sample} + adaptor);
  EXPECT_EQ(written.exit_code, 0) << written.err.toStdString();
  EXPECT_EQ(written.out, "Memory Card gravado com sucesso!\n");
  EXPECT_EQ(ReadBytes(virtual_card_), ReadBytes(SamplePath("demo.mc")));

  ASSERT_EQ(RunCli(QStringList{"ler", File("de-volta.mc")} + adaptor).exit_code, 0);
  EXPECT_EQ(ReadBytes(folder_.File("de-volta.mc")), ReadBytes(SamplePath("demo.mc")));
}

TEST_F(TransferCommandTest, TheUsbAdaptorIsNamedExactlyAndNotBesideAPort) {
  EXPECT_EQ(RunCli({"formatar", "--leitor", "usb", "--cartao-virtual", VirtualCard()}).exit_code,
            2);
  EXPECT_EQ(RunCli({"formatar", "--leitor", "ps3usb", "--porta", "LPT1"}).exit_code, 2);
  EXPECT_EQ(RunCli({"formatar", "--leitor", "ps3usb", "--serial", "COM3"}).exit_code, 2);
  EXPECT_EQ(ReadBytes(virtual_card_), ReadBytes(SamplePath("demo.mc")));
}

TEST_F(TransferCommandTest, AnAbsentUsbAdaptorFailsWithoutWritingAnything) {
  CliResult result = RunCli({"ler", File("lido.mc"), "--leitor", "ps3usb"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_TRUE(result.err.startsWith("Vexilor: ")) << result.err.toStdString();
  EXPECT_TRUE(result.err.contains("Adaptador USB PS3")) << result.err.toStdString();
  EXPECT_FALSE(std::filesystem::exists(folder_.File("lido.mc")));
}

}  // namespace
