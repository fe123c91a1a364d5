#include "cli/write_verification.h"

#include <algorithm>
#include <memory>
#include <string>

#include "cli/message_report.h"
#include "cli/reported_transfer.h"

namespace {

bool SameFrame(const CardImage& a, const CardImage& b, std::size_t frame) {
  const auto from = static_cast<std::ptrdiff_t>(frame * FrameSize);
  return std::equal(a.begin() + from, a.begin() + from + static_cast<std::ptrdiff_t>(FrameSize),
                    b.begin() + from);
}

}  // namespace

bool VerifyWrittenCard(const CardImage& written, CardConnection& connection) {
  auto read_back = std::make_unique<CardImage>();
  if (!RunReportedTransfer(TransferKind::Read, *read_back, connection,
                           "a verificação não terminou.")) {
    return false;
  }
  int differing = 0;
  std::size_t first = 0;
  for (std::size_t frame = FrameCount; frame-- > 0;) {
    if (SameFrame(written, *read_back, frame)) continue;
    ++differing;
    first = frame;
  }
  if (differing == 0) return true;
  ReportFailure("Verificação falhou: " + std::to_string(differing) +
                    (differing == 1 ? " frame difere" : " frames diferem") +
                    " do que foi gravado, a partir do frame " + std::to_string(first) + ".",
                "Erro");
  return false;
}
