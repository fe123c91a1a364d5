#include "readers/reader_registry.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Labels(const std::vector<ReaderEntry>& entries) {
  std::vector<std::string> labels;
  for (const auto& entry : entries) labels.push_back(entry.label);
  return labels;
}

// An Arduino board (USB vendor 0x2341) can only be the Arduino reader; a port whose vendor says
// nothing is offered once per serial reader.
TEST(ReaderRegistry, SerialPortsAreLabelledWithReaderAndPort) {
  const auto arduino = SerialReadersOn("ttyACM0", "/dev/ttyACM0", 0x2341);
  EXPECT_EQ(Labels(arduino), std::vector<std::string>{"MemCARDuino (ttyACM0)"});
  EXPECT_EQ(arduino[0].port, "/dev/ttyACM0");
  EXPECT_EQ(arduino[0].kind, ReaderKind::Memcarduino);

  const auto unknown = SerialReadersOn("COM3", "\\\\.\\COM3", std::nullopt);
  EXPECT_EQ(Labels(unknown), (std::vector<std::string>{"MemCARDuino (COM3)", "PS1CardLink (COM3)",
                                                       "DexDrive (COM3)"}));
}

TEST(ReaderRegistry, TheParallelPortsComeFirst) {
  const auto readers = ListReaders();
  ASSERT_GE(readers.size(), 3u);
  EXPECT_EQ(Labels({readers.begin(), readers.begin() + 3}),
            (std::vector<std::string>{"LPT1", "LPT2", "LPT3"}));
}

TEST(ReaderRegistry, CommandLineNamesOfTheSerialReaders) {
  EXPECT_EQ(SerialReaderKindNamed("memcarduino"), ReaderKind::Memcarduino);
  EXPECT_EQ(SerialReaderKindNamed("ps1cardlink"), ReaderKind::Ps1CardLink);
  EXPECT_EQ(SerialReaderKindNamed("dexdrive"), ReaderKind::DexDrive);
  EXPECT_EQ(SerialReaderKindNamed("lpt"), std::nullopt);
}

}  // namespace
