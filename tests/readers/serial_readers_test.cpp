// The serial readers through the real Qt SerialPort code, against each reader's firmware
// emulated on a pseudo-terminal, driven by the whole-card run as the window and the command line
// drive it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>
#include <memory>

#include "card/image_file.h"
#include "readers/emulated/emulated_reader.h"
#include "readers/reader_registry.h"
#include "transfer/card_run.h"

namespace {

struct Reader {
  const char* name;
  ReaderFirmware firmware;
  ReaderKind kind;
};

void PrintTo(const Reader& reader, std::ostream* out) {
  *out << reader.name;
}

const Reader kReaders[] = {{"MemCARDuino", ReaderFirmware::Memcarduino, ReaderKind::Memcarduino},
                           {"PS1CardLink", ReaderFirmware::Ps1CardLink, ReaderKind::Ps1CardLink},
                           {"DexDrive", ReaderFirmware::DexDrive, ReaderKind::DexDrive}};

struct Shown {
  std::string text;
  std::string caption;
  bool operator==(const Shown&) const = default;
};

void PrintTo(const Shown& shown, std::ostream* out) {
  *out << shown.caption << ": " << shown.text;
}

class RecordingObserver final : public RunObserver {
 public:
  int cancel_after = -1;  // frame after which Cancel is pressed
  int last_done = -1;
  std::vector<Shown> shown;

  bool CancelRequested() override { return cancel_after >= 0 && last_done >= cancel_after; }
  void FrameDone(int frame) override { last_done = frame; }
  void ShowMessage(const std::string& text, const std::string& caption) override {
    shown.push_back({text, caption});
  }
};

// Bytes that differ from frame to frame and from a blank card.
void FillPattern(CardImage& image, uint8_t seed) {
  for (std::size_t i = 0; i < image.size(); ++i) {
    image[i] = static_cast<uint8_t>((i * 31 + seed) ^ (i >> 7));
  }
}

// The program's descriptors open on device; the emulated reader holds one of its own.
bool HoldsOpen(const std::string& device, int readers_own = 1) {
  int open = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (std::filesystem::read_symlink(entry.path(), error) == device) ++open;
  }
  return open > readers_own;
}

class SerialReaderTest : public ::testing::TestWithParam<Reader> {
 protected:
  SerialReaderTest() { FillPattern(card_->image(), 0x3C); }

  RunResult Run(TransferKind kind, CardImage& image) {
    reader_.Start();
    const ReaderEntry entry{"leitor", GetParam().kind, reader_.device()};
    const auto connection = MakeReaderConnection(entry, 3);
    return RunCardTransfer(kind, image, *connection, observer_);
  }
  std::string PortShown() const { return reader_.device().substr(std::string("/dev/").size()); }

  std::unique_ptr<EmulatedCard> card_ = std::make_unique<EmulatedCard>();
  EmulatedReader reader_{GetParam().firmware, *card_};
  RecordingObserver observer_;
  std::unique_ptr<CardImage> image_ = std::make_unique<CardImage>();
};

TEST_P(SerialReaderTest, ReadsTheWholeCard) {
  const RunResult result = Run(TransferKind::Read, *image_);
  EXPECT_EQ(result.end, RunEnd::Completed);
  EXPECT_EQ(result.frames_done, 1024);
  EXPECT_TRUE(*image_ == card_->image());
  EXPECT_TRUE(observer_.shown.empty());
  EXPECT_FALSE(HoldsOpen(reader_.device()));
}

TEST_P(SerialReaderTest, WritesTheWholeCard) {
  FillPattern(*image_, 0xA7);
  EXPECT_EQ(Run(TransferKind::Write, *image_).end, RunEnd::Completed);
  EXPECT_TRUE(card_->image() == *image_);
}

TEST_P(SerialReaderTest, FormatsTheCard) {
  EXPECT_EQ(Run(TransferKind::Format, *image_).end, RunEnd::Completed);
  // A formatted card: "MC" header, fifteen free directory frames (state 0xA0).
  EXPECT_EQ(card_->image()[0], 'M');
  EXPECT_EQ(card_->image()[1], 'C');
  EXPECT_EQ(card_->image()[128], 0xA0);
  EXPECT_EQ(card_->image()[15 * 128], 0xA0);
  EXPECT_TRUE(observer_.shown.empty());
}

// Replies spoilt fewer times than the tries a frame gets: the run goes through unharmed.
TEST_P(SerialReaderTest, SpoiltRepliesAreRetried) {
  reader_.faults().bad_checksum_frame = 7;
  reader_.faults().bad_checksum_times = 3;
  // A changed data byte under a checksum that was right for the bytes sent.
  reader_.faults().noisy_data_frame = 9;
  reader_.faults().noisy_data_times = 3;
  reader_.faults().silent_frame = 300;
  reader_.faults().garbage_frame = 1023;
  reader_.faults().garbage_times = 2;
  reader_.faults().slow_frame = 5;
  reader_.faults().reply_delay_ms = 300;
  EXPECT_EQ(Run(TransferKind::Read, *image_).end, RunEnd::Completed);
  EXPECT_TRUE(*image_ == card_->image());
  EXPECT_TRUE(observer_.shown.empty());
}

TEST_P(SerialReaderTest, AFrameSpoiltOnEveryTryFailsTheRunThere) {
  reader_.faults().bad_checksum_frame = 600;
  reader_.faults().bad_checksum_times = 4;
  FillPattern(*image_, 0x11);
  const RunResult result = Run(TransferKind::Write, *image_);
  EXPECT_EQ(result.end, RunEnd::FrameFailed);
  EXPECT_EQ(result.frames_done, 600);
  EXPECT_EQ(observer_.shown, std::vector<Shown>({{"Erro ao gravar Memory Card!", "Erro"}}));
  EXPECT_FALSE(HoldsOpen(reader_.device()));
}

TEST_P(SerialReaderTest, NoCardInTheReaderHasItsOwnMessage) {
  card_->SetInserted(false);
  const RunResult result = Run(TransferKind::Read, *image_);
  EXPECT_EQ(result.end, RunEnd::FrameFailed);
  EXPECT_EQ(result.frames_done, 0);
  EXPECT_EQ(observer_.shown,
            std::vector<Shown>(
                {{std::string("Nenhum Memory Card no leitor ") + GetParam().name + "!", "Erro"}}));
}

TEST_P(SerialReaderTest, APulledCableEndsTheRunAndReleasesThePort) {
  reader_.faults().pulled_at_frame = 200;
  const RunResult result = Run(TransferKind::Read, *image_);
  EXPECT_EQ(result.end, RunEnd::FrameFailed);
  EXPECT_EQ(result.frames_done, 200);
  EXPECT_EQ(observer_.shown,
            std::vector<Shown>({{std::string("O leitor ") + GetParam().name +
                                     " foi desconectado da porta " + PortShown() + "!",
                                 "Erro"}}));
  EXPECT_FALSE(HoldsOpen(reader_.device(), 0));
}

TEST_P(SerialReaderTest, CancelStopsBeforeTheNextFrame) {
  observer_.cancel_after = 100;
  const RunResult result = Run(TransferKind::Read, *image_);
  EXPECT_EQ(result.end, RunEnd::Cancelled);
  EXPECT_EQ(result.frames_done, 101);
  EXPECT_FALSE(HoldsOpen(reader_.device()));
}

INSTANTIATE_TEST_SUITE_P(Readers, SerialReaderTest, ::testing::ValuesIn(kReaders),
                         [](const auto& info) { return std::string(info.param.name); });

// The exact bytes each reader receives: its opening, a read of frame 0x1FF and a write of frame
// 0x2A5 holding 128 bytes of 0x11 (their XOR is 0, so the checksums are the address bytes').
struct Traffic {
  const char* name;
  ReaderFirmware firmware;
  ReaderKind kind;
  std::vector<uint8_t> opening;
  std::vector<uint8_t> read;
  std::vector<uint8_t> write_head;  // before the data
  std::vector<uint8_t> write_tail;  // after it
};

void PrintTo(const Traffic& traffic, std::ostream* out) {
  *out << traffic.name;
}

class ReaderTrafficTest : public ::testing::TestWithParam<Traffic> {};

TEST_P(ReaderTrafficTest, CommandBytes) {
  const Traffic& traffic = GetParam();
  auto card = std::make_unique<EmulatedCard>();
  EmulatedReader reader(traffic.firmware, *card);
  reader.Start();
  const auto connection = MakeReaderConnection({"leitor", traffic.kind, reader.device()}, 3);
  ASSERT_EQ(connection->Prepare(), std::nullopt);
  Frame buffer{};
  EXPECT_TRUE(connection->ReadFrame(0x1FF, buffer).good());
  Frame data;
  data.fill(0x11);
  EXPECT_TRUE(connection->WriteFrame(0x2A5, data).good());
  connection->Release();

  std::vector<uint8_t> expected = traffic.opening;
  expected.insert(expected.end(), traffic.read.begin(), traffic.read.end());
  expected.insert(expected.end(), traffic.write_head.begin(), traffic.write_head.end());
  expected.insert(expected.end(), 128, 0x11);
  expected.insert(expected.end(), traffic.write_tail.begin(), traffic.write_tail.end());
  EXPECT_EQ(reader.Received(), expected);
  EXPECT_TRUE(std::equal(data.begin(), data.end(), card->image().begin() + 0x2A5 * 128));
}

INSTANTIATE_TEST_SUITE_P(Readers, ReaderTrafficTest,
                         ::testing::Values(
                             // GETID, GETVER; MCR MSB LSB; MCW MSB LSB data, MSB^LSB = 0x02^0xA5.
                             Traffic{"MemCARDuino",
                                     ReaderFirmware::Memcarduino,
                                     ReaderKind::Memcarduino,
                                     {0xA0, 0xA1},
                                     {0xA2, 0x01, 0xFF},
                                     {0xA3, 0x02, 0xA5},
                                     {0xA7}},
                             // The same, and slot 0 chosen since version 1.1.
                             Traffic{"PS1CardLink",
                                     ReaderFirmware::Ps1CardLink,
                                     ReaderKind::Ps1CardLink,
                                     {0xA0, 0xA1, 0xA4, 0x00},
                                     {0xA2, 0x01, 0xFF},
                                     {0xA3, 0x02, 0xA5},
                                     {0xA7}},
                             // "IAI" INIT with its key, "IAI" handshake; READ LSB MSB; WRITE MSB
                             // LSB rev(MSB) rev(LSB) data, 0x02^0xA5^0x40^0xA5.
                             Traffic{"DexDrive",
                                     ReaderFirmware::DexDrive,
                                     ReaderKind::DexDrive,
                                     {0x49, 0x41, 0x49, 0x00, 0x10, 0x29, 0x23, 0xBE, 0x84,
                                      0xE1, 0x6C, 0xD6, 0xAE, 0x52, 0x90, 0x49, 0xF1, 0xF1,
                                      0xBB, 0xE9, 0xEB, 0x49, 0x41, 0x49, 0x27},
                                     {0x49, 0x41, 0x49, 0x02, 0xFF, 0x01},
                                     {0x49, 0x41, 0x49, 0x04, 0x02, 0xA5, 0x40, 0xA5},
                                     {0x42}}),
                         [](const auto& info) { return std::string(info.param.name); });

// Where no reader answers, or no port exists, the run shows why and tries no frame.
TEST(SerialReaderPrepare, FailuresNameThePortAndTheReader) {
  auto card = std::make_unique<EmulatedCard>();
  EmulatedReader silent(ReaderFirmware::DexDrive, *card);  // never started: nothing answers
  struct Case {
    ReaderEntry entry;
    Shown expected;
  };
  const std::string pts = silent.device().substr(std::string("/dev/").size());
  const Case cases[] = {
      {{"x", ReaderKind::DexDrive, silent.device()},
       {"Nenhum leitor DexDrive respondeu na porta " + pts + ".", "Vexilor"}},
      {{"x", ReaderKind::Memcarduino, "/dev/ttyNENHUM"},
       {"Não foi possível abrir a porta ttyNENHUM: a porta não existe.", "Vexilor"}},
  };
  for (const Case& c : cases) {
    RecordingObserver observer;
    auto image = std::make_unique<CardImage>();
    const auto connection = MakeReaderConnection(c.entry, 3);
    const RunResult result = RunCardTransfer(TransferKind::Read, *image, *connection, observer);
    EXPECT_EQ(result.end, RunEnd::PortFailed);
    EXPECT_EQ(observer.shown, std::vector<Shown>{c.expected});
    EXPECT_FALSE(HoldsOpen(c.entry.port));
  }
}

// Cancel pressed from inside a wait on the reader: while it is being connected (a reader that
// never answers) or while frame 300 is waited on (a reader silent there once). The run gives the
// wait up, ends as cancelled without a message and frees the port.
class CancelInWait final : public RunObserver {
 public:
  explicit CancelInWait(int after_frame) : after_frame_(after_frame) {}
  bool cancelled = false;
  int last_done = -1;
  std::vector<Shown> shown;

  bool CancelRequested() override { return cancelled; }
  bool KeepWaiting() override {
    if (last_done == after_frame_) cancelled = true;
    return !cancelled;
  }
  void FrameDone(int frame) override { last_done = frame; }
  void ShowMessage(const std::string& text, const std::string& caption) override {
    shown.push_back({text, caption});
  }

 private:
  int after_frame_;
};

TEST(SerialReaderCancel, GivesUpAWaitOnTheReader) {
  struct Case {
    ReaderFirmware firmware;
    ReaderKind kind;
    bool answers;
    int cancel_after;
    RunResult expected;
  };
  const Case cases[] = {
      {ReaderFirmware::Memcarduino, ReaderKind::Memcarduino, false, -1, {RunEnd::Cancelled, 0}},
      {ReaderFirmware::DexDrive, ReaderKind::DexDrive, false, -1, {RunEnd::Cancelled, 0}},
      {ReaderFirmware::Memcarduino, ReaderKind::Memcarduino, true, 299, {RunEnd::Cancelled, 300}},
  };
  for (const Case& c : cases) {
    auto card = std::make_unique<EmulatedCard>();
    EmulatedReader reader(c.firmware, *card);
    reader.faults().silent_frame = 300;
    if (c.answers) reader.Start();
    CancelInWait observer(c.cancel_after);
    auto image = std::make_unique<CardImage>();
    const auto connection = MakeReaderConnection({"x", c.kind, reader.device()}, 3);
    const RunResult result = RunCardTransfer(TransferKind::Read, *image, *connection, observer);
    EXPECT_EQ(result.end, c.expected.end);
    EXPECT_EQ(result.frames_done, c.expected.frames_done);
    EXPECT_TRUE(observer.shown.empty());
    EXPECT_FALSE(HoldsOpen(reader.device()));
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
