// vexilor-cli pocketstation against a PocketStation in an emulated MemCARDuino.
#include <gtest/gtest.h>

#include "cli_process.h"
#include "readers/emulated/emulated_reader.h"
#include "readers/pocketstation_protocol.h"
#include "support/temp_folder.h"

namespace {

using test_support::ReadBytes;
using test_support::TempFolder;

// GetId and GetVersion, which every run starts with.
const std::vector<uint8_t> kIdentify = {0xA0, 0xA1};

class PocketStationCommandTest : public ::testing::Test {
 protected:
  void Start(bool pocketstation = true) {
    if (pocketstation) {
      EmulatedPocketStation device;
      device.serial = 0x1234ABCD;
      // Tuesday 8 December 2026, 23:45:07: day, month, year, century, s, min, h, weekday.
      device.clock = {0x08, 0x12, 0x26, 0x20, 0x07, 0x45, 0x23, 0x03};
      for (int i = 0; i < 16384; ++i) device.bios.push_back(uint8_t(i * 7 ^ i >> 7));
      reader_.pocketstation() = device;
    }
    reader_.Start();
  }
  CliResult Run(QStringList arguments, const char* reader = "memcarduino") {
    return RunCli(
        QStringList{"pocketstation"} + arguments +
        QStringList{"--leitor", reader, "--serial", QString::fromStdString(reader_.device())});
  }
  std::vector<uint8_t> Sent() {
    std::vector<uint8_t> sent = reader_.Received();
    return {sent.begin() + static_cast<long>(kIdentify.size()), sent.end()};
  }

  TempFolder folder_;
  std::unique_ptr<EmulatedCard> card_ = std::make_unique<EmulatedCard>();
  EmulatedReader reader_{ReaderFirmware::Memcarduino, *card_};
};

TEST_F(PocketStationCommandTest, InfoShowsSerialAndClock) {
  Start();
  const CliResult info = Run({"info"});
  EXPECT_EQ(info.exit_code, 0) << info.err.toStdString();
  EXPECT_EQ(info.out,
            "Número de série: 1234ABCD\nData e hora: 08/12/2026 23:45:07 (terça-feira)\n");
  EXPECT_EQ(Sent(), std::vector<uint8_t>{0xB0});
}

TEST_F(PocketStationCommandTest, BiosIsCopiedInOneHundredTwentyEightParts) {
  Start();
  const std::string path = folder_.File("bios.bin");
  const CliResult copied = Run({"bios", QString::fromStdString(path)});
  EXPECT_EQ(copied.exit_code, 0) << copied.err.toStdString();
  EXPECT_EQ(ReadBytes(path), reader_.pocketstation()->bios);
  std::vector<uint8_t> expected;
  for (int part = 0; part < 128; ++part) expected.insert(expected.end(), {0xB1, uint8_t(part)});
  EXPECT_EQ(Sent(), expected);

  // An existing file is replaced only with --forcar, and refused before the device is asked.
  const std::size_t sent_before = reader_.Received().size();
  const CliResult again = Run({"bios", QString::fromStdString(path)});
  EXPECT_EQ(again.exit_code, 2);
  EXPECT_TRUE(again.err.contains("já existe; use --forcar")) << again.err.toStdString();
  EXPECT_EQ(reader_.Received().size(), sent_before);
  EXPECT_EQ(Run({"bios", QString::fromStdString(path), "--forcar"}).exit_code, 0);
}

// The clock goes out as BCD day, month, year, century, second, minute, hour and weekday with
// Sunday as 1, once the card has answered 00 08.
TEST_F(PocketStationCommandTest, RelogioSendsTheLocalTime) {
  Start();
  const CliResult set = Run({"relogio"});
  EXPECT_EQ(set.exit_code, 0) << set.err.toStdString();
  EXPECT_TRUE(set.out.startsWith("Relógio da PocketStation acertado: ")) << set.out.toStdString();
  const std::vector<uint8_t> sent = Sent();
  ASSERT_EQ(sent.size(), 9U);
  EXPECT_EQ(sent[0], 0xB2);
  const auto& clock = reader_.pocketstation()->clock;
  EXPECT_TRUE(std::equal(sent.begin() + 1, sent.end(), clock.begin()));
  EXPECT_EQ(clock[3], 0x20);  // the century
  EXPECT_GE(clock[7], 1);
  EXPECT_LE(clock[7], 7);

  const std::pair<int, int> weekdays[] = {{7, 1}, {1, 2}, {2, 3}, {6, 7}};  // ISO -> card
  for (auto [iso, card] : weekdays) EXPECT_EQ(PocketStation::CardWeekday(iso), card) << iso;
  const auto bytes = PocketStation::ClockBytes({1999, 12, 31, 23, 59, 58, 6});
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()),
            (std::vector<uint8_t>{0x31, 0x12, 0x99, 0x19, 0x58, 0x59, 0x23, 0x06}));
}

TEST_F(PocketStationCommandTest, APlainCardIsNoPocketStation) {
  Start(/*pocketstation=*/false);
  const std::string path = folder_.File("bios.bin");
  const QString refusal = QStringLiteral(
      "Erro: O cartão no leitor MemCARDuino não é uma PocketStation (ou não há cartão no leitor).");
  const CliResult info = Run({"info"});
  EXPECT_EQ(info.exit_code, 1);
  EXPECT_EQ(info.err, refusal + "\n");
  const CliResult bios = Run({"bios", QString::fromStdString(path)});
  EXPECT_EQ(bios.err, refusal + " Nada foi gravado.\n");
  EXPECT_FALSE(std::filesystem::exists(path));
  const CliResult clock = Run({"relogio"});
  EXPECT_EQ(clock.err, refusal + "\n");
  // The time is not sent to a card that did not ask for it.
  EXPECT_EQ(reader_.Received().back(), 0xB2);
}

TEST_F(PocketStationCommandTest, PulledCableLeavesNoFile) {
  reader_.faults().pulled_at_bios_part = 40;
  Start();
  const std::string path = folder_.File("bios.bin");
  const CliResult copied = Run({"bios", QString::fromStdString(path)});
  EXPECT_EQ(copied.exit_code, 1);
  // The command line's port does not see the pseudo-terminal's other end go (the window's
  // does): the parts go unanswered instead.
  EXPECT_EQ(copied.err.toStdString(),
            "Erro: A PocketStation não entregou a parte 41 de 128 da BIOS. Nada foi gravado.\n");
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(PocketStationCommandTest, OldFirmwareAndOtherReadersHaveNoCommands) {
  reader_.faults().firmware_version = 0x07;
  Start();
  const CliResult old = Run({"info"});
  EXPECT_EQ(old.exit_code, 1);
  EXPECT_EQ(old.err,
            "Erro: O firmware do MemCARDuino é a versão 0.7, que não tem os comandos da "
            "PocketStation. Atualize-o para a versão 0.8 ou mais recente.\n");
  EXPECT_EQ(Sent(), std::vector<uint8_t>{});

  const CliResult other = Run({"info"}, "dexdrive");
  EXPECT_EQ(other.err,
            "Erro: Só o leitor MemCARDuino (firmware 0.8 ou mais recente) tem os comandos da "
            "PocketStation.\n");
}

}  // namespace
