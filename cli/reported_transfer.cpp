#include "cli/reported_transfer.h"

#include <cstdio>
#include <vector>

#include "cli/interrupt.h"
#include "cli/message_report.h"
#include "cli/progress_bar.h"

namespace {

// Progress on the terminal, Ctrl+C as the cancel button, and the run's messages held until the
// run has ended, so that a frame failure can name its frame.
class CommandLineObserver final : public RunObserver {
 public:
  bool CancelRequested() override { return interrupt_.raised(); }
  void FrameDone(int frame) override { progress_.Show(ProgressPercent(frame)); }
  void ShowMessage(const std::string& text, const std::string& caption) override {
    messages_.push_back({text, caption});
  }

  void Report(const RunResult& result, const std::string& stopped_note) {
    progress_.End();
    for (std::size_t i = 0; i < messages_.size(); ++i) {
      std::string text = messages_[i].text;
      if (result.end == RunEnd::FrameFailed && i + 1 == messages_.size()) {
        text += " (frame " + std::to_string(result.frames_done) + ")";
      }
      ReportFailure(text, messages_[i].caption);
    }
    if (result.end == RunEnd::Cancelled) {
      ReportFailure("Transferência interrompida antes do frame " +
                        std::to_string(result.frames_done) + "; " + stopped_note,
                    "Atenção");
    }
  }

 private:
  struct Message {
    std::string text;
    std::string caption;
  };
  InterruptFlag interrupt_;
  ProgressBar progress_{stderr};
  std::vector<Message> messages_;
};

}  // namespace

bool RunReportedTransfer(TransferKind kind, CardImage& image, CardConnection& connection,
                         const std::string& stopped_note) {
  CommandLineObserver observer;
  const RunResult result = RunCardTransfer(kind, image, connection, observer);
  observer.Report(result, stopped_note);
  return result.end == RunEnd::Completed;
}
