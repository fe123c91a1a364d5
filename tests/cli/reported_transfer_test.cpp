#include "cli/reported_transfer.h"

#include <gtest/gtest.h>

#include "card/image_file.h"
#include "readers/lpt_connection.h"
#include "transport/emulated_card.h"
#include "transport/emulated_card_port_access.h"

namespace {

// A card that fails at one frame: the report names the run's error text and that frame.
struct FailingFrame {
  const char* name;
  TransferKind kind;
  int frame;
  std::string report;
};

void PrintTo(const FailingFrame& failing, std::ostream* out) {
  *out << failing.name;
}

class ReportedFrameFailureTest : public ::testing::TestWithParam<FailingFrame> {};

TEST_P(ReportedFrameFailureTest, NamesTheFrame) {
  const FailingFrame& failing = GetParam();
  auto card = std::make_unique<EmulatedCard>();
  card->faults().wrong_end_byte_frame = failing.frame;
  EmulatedCardPortAccess port(*card);
  LptConnection cable(port, "LPT1", 1);
  auto image = std::make_unique<CardImage>();
  FormatImage(*image);

  testing::internal::CaptureStderr();
  const bool completed = RunReportedTransfer(failing.kind, *image, cable, "nota");
  const std::string report = testing::internal::GetCapturedStderr();
  EXPECT_FALSE(completed);
  EXPECT_EQ(report, failing.report);
  EXPECT_FALSE(port.holding());  // the port is released on the way out
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ReportedFrameFailureTest,
    ::testing::Values(FailingFrame{"Read", TransferKind::Read, 0,
                                   "Erro: Erro ao ler Memory Card! (frame 0)\n"},
                      FailingFrame{"Write", TransferKind::Write, 517,
                                   "Erro: Erro ao gravar Memory Card! (frame 517)\n"},
                      FailingFrame{"Format", TransferKind::Format, 1023,
                                   "Erro: Erro ao formatar Memory Card! (frame 1023)\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReportedTransfer, APortThatCannotBePreparedIsReportedWithItsCaption) {
  auto card = std::make_unique<EmulatedCard>();
  EmulatedCardPortAccess port(*card);
  port.fail_prepare_with = PortFailure{"Porta ocupada", "Vexilor"};
  LptConnection cable(port, "LPT1", 3);
  auto image = std::make_unique<CardImage>();

  testing::internal::CaptureStderr();
  const bool completed = RunReportedTransfer(TransferKind::Read, *image, cable, "nota");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "Vexilor: Porta ocupada\n");
  EXPECT_FALSE(completed);
  EXPECT_EQ(port.release_count(), 1);
}

TEST(ReportedTransfer, ACompleteRunReportsNothing) {
  auto card = std::make_unique<EmulatedCard>();
  FormatImage(card->image());
  EmulatedCardPortAccess port(*card);
  LptConnection cable(port, "LPT1", 1);
  auto image = std::make_unique<CardImage>();

  testing::internal::CaptureStderr();
  const bool completed = RunReportedTransfer(TransferKind::Read, *image, cable, "nota");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_TRUE(completed);
  EXPECT_EQ(*image, card->image());
}

}  // namespace
