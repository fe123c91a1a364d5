// vexilor-cli's transfers through each serial reader, emulated on a pseudo-terminal.
#include <gtest/gtest.h>

#include <QSerialPort>

#include "card/image_file.h"
#include "cli_process.h"
#include "readers/emulated/emulated_reader.h"
#include "support/temp_folder.h"

namespace {

using test_support::ReadBytes;
using test_support::TempFolder;

struct CliReader {
  const char* option;  // the --leitor value
  ReaderFirmware firmware;
};

void PrintTo(const CliReader& reader, std::ostream* out) {
  *out << reader.option;
}

class SerialReaderCommandTest : public ::testing::TestWithParam<CliReader> {
 protected:
  SerialReaderCommandTest() { reader_.Start(); }
  QStringList Through() const {
    return {"--leitor", GetParam().option, "--serial", QString::fromStdString(reader_.device())};
  }
  std::vector<uint8_t> CardBytes() const { return {card_->image().begin(), card_->image().end()}; }

  TempFolder folder_;
  std::unique_ptr<EmulatedCard> card_ = std::make_unique<EmulatedCard>();
  EmulatedReader reader_{GetParam().firmware, *card_};
  const QString demo_ = QString::fromStdString(SamplePath("demo.mc"));
};

TEST_P(SerialReaderCommandTest, FormatarGravarVerificarAndLer) {
  CliResult formatted = RunCli(QStringList{"formatar"} + Through());
  EXPECT_EQ(formatted.exit_code, 0) << formatted.err.toStdString();
  EXPECT_EQ(formatted.out, "Memory Card formatado com sucesso!\n");
  // A formatted card begins with "MC".
  EXPECT_EQ(card_->image()[0], 'M');
  EXPECT_EQ(card_->image()[1], 'C');

  CliResult written = RunCli(QStringList{"gravar", demo_, "--verificar"} + Through());
  EXPECT_EQ(written.exit_code, 0) << written.err.toStdString();
  EXPECT_EQ(written.out, "Memory Card gravado com sucesso!\n");
  EXPECT_EQ(CardBytes(), ReadBytes(SamplePath("demo.mc")));

  const std::string read_path = folder_.File("lido.mc");
  CliResult read = RunCli(QStringList{"ler", QString::fromStdString(read_path)} + Through());
  EXPECT_EQ(read.exit_code, 0) << read.err.toStdString();
  EXPECT_EQ(ReadBytes(read_path), ReadBytes(SamplePath("demo.mc")));
}

// A fake card of 512 frames that wraps frame numbers, and one that stops keeping writes at frame
// 700 of a card whose every byte differed from the image: the write "succeeds", the read-back
// tells.
TEST_P(SerialReaderCommandTest, GravarVerificarCatchesCardsThatLoseWrites) {
  reader_.faults().drop_writes_from_frame = 700;
  const auto demo = ReadBytes(SamplePath("demo.mc"));
  for (std::size_t i = 0; i < demo.size(); ++i) card_->image()[i] = static_cast<uint8_t>(~demo[i]);
  CliResult dropped = RunCli(QStringList{"gravar", demo_, "--verificar"} + Through());
  EXPECT_EQ(dropped.exit_code, 1);
  EXPECT_EQ(dropped.out, "");
  EXPECT_EQ(dropped.err,
            "Erro: Verificação falhou: 324 frames diferem do que foi gravado, a partir do frame "
            "700.\n");
}

INSTANTIATE_TEST_SUITE_P(Readers, SerialReaderCommandTest,
                         ::testing::Values(CliReader{"memcarduino", ReaderFirmware::Memcarduino},
                                           CliReader{"ps1cardlink", ReaderFirmware::Ps1CardLink},
                                           CliReader{"dexdrive", ReaderFirmware::DexDrive}),
                         [](const auto& info) { return std::string(info.param.option); });

TEST(SerialReaderCommand, AWrappingCardIsCaughtFromFrameZero) {
  auto card = std::make_unique<EmulatedCard>();
  EmulatedReader reader(ReaderFirmware::Memcarduino, *card);
  reader.faults().wrap_after_frames = 512;
  reader.Start();
  CliResult result =
      RunCli({"gravar", QString::fromStdString(SamplePath("demo.mc")), "--verificar", "--leitor",
              "memcarduino", "--serial", QString::fromStdString(reader.device())});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_TRUE(result.err.startsWith("Erro: Verificação falhou: ")) << result.err.toStdString();
  EXPECT_TRUE(result.err.endsWith(" a partir do frame 0.\n")) << result.err.toStdString();
}

// A port that is no serial port, or one another transfer holds, is named for what it is.
TEST(SerialReaderCommand, PortsThatCannotBeOpenedSayWhy) {
  TempFolder folder;
  const std::string file = folder.File("porta");
  test_support::WriteBytes(file, std::vector<uint8_t>(4, 0));
  auto card = std::make_unique<EmulatedCard>();
  EmulatedReader reader(ReaderFirmware::Memcarduino, *card);
  reader.Start();
  QSerialPort holder(QString::fromStdString(reader.device()));
  ASSERT_TRUE(holder.open(QIODevice::ReadWrite));
  const std::pair<std::string, QString> cases[] = {
      {"/dev/null", "null: não é uma porta serial."},
      {file, "porta: não é uma porta serial (é um arquivo comum)."},
      {reader.device(), ": a porta está em uso por outro programa."},
  };
  for (const auto& [port, ending] : cases) {
    CliResult result =
        RunCli({"formatar", "--leitor", "memcarduino", "--serial", QString::fromStdString(port)});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_TRUE(result.err.trimmed().endsWith(ending)) << result.err.toStdString();
  }
}

TEST(SerialReaderCommand, ReaderOptionsAreCheckedBeforeAnyPortIsOpened) {
  const struct {
    QStringList arguments;
    QString error;
  } cases[] = {
      {{"formatar", "--leitor", "memcarduino"}, "--leitor e --serial vão juntos"},
      {{"formatar", "--leitor", "arduino", "--serial", "COM3"},
       "--leitor deve ser memcarduino, ps1cardlink, dexdrive ou ps3usb, não \"arduino\""},
      {{"formatar", "--leitor", "dexdrive", "--serial", "COM3", "--delay", "2"},
       "--delay vale só para a porta paralela"},
      {{"formatar", "--porta", "LPT1", "--leitor", "dexdrive", "--serial", "COM3"},
       "use só um de --porta, --cartao-virtual e --leitor"},
  };
  for (const auto& c : cases) {
    CliResult result = RunCli(c.arguments);
    EXPECT_EQ(result.exit_code, 2);
    EXPECT_TRUE(result.err.startsWith("vexilor-cli formatar: " + c.error + "\n"))
        << result.err.toStdString();
  }
}

}  // namespace
