#include "transfer/card_run.h"

#include <algorithm>
#include <memory>

#include "card/image_file.h"

namespace {

constexpr int LastFrame = static_cast<int>(FrameCount) - 1;
constexpr int FullPercent = 100;

// Release runs on every way out, also when something below throws; the wait check, which
// refers to this run's observer, goes with it.
class ConnectionHold {
 public:
  explicit ConnectionHold(CardConnection& connection) : connection_(connection) {}
  ~ConnectionHold() {
    connection_.Release();
    connection_.SetWaitCheck({});
  }
  ConnectionHold(const ConnectionHold&) = delete;
  ConnectionHold& operator=(const ConnectionHold&) = delete;

 private:
  CardConnection& connection_;
};

std::size_t FrameOffset(int frame) {
  return static_cast<std::size_t>(frame) * FrameSize;
}

std::span<const uint8_t, FrameSize> FrameOf(const CardImage& image, int frame) {
  return std::span<const uint8_t, FrameSize>(image.data() + FrameOffset(frame), FrameSize);
}

// Read: the frame is copied into the image only when the command succeeded.
FrameResult ReadOneFrame(CardConnection& connection, int frame, CardImage& image) {
  Frame received{};
  FrameResult result = connection.ReadFrame(frame, received);
  if (result.good()) {
    std::copy(received.begin(), received.end(), image.begin() + FrameOffset(frame));
  }
  return result;
}

}  // namespace

int ProgressPercent(int frame) {
  return frame * FullPercent / LastFrame;
}

std::string FrameErrorText(TransferKind kind) {
  switch (kind) {
    case TransferKind::Read:
      return "Erro ao ler Memory Card!";
    case TransferKind::Write:
      return "Erro ao gravar Memory Card!";
    case TransferKind::Format:
      return "Erro ao formatar Memory Card!";
  }
  return {};
}

RunResult RunCardTransfer(TransferKind kind, CardImage& image, CardConnection& connection,
                          RunObserver& observer) {
  ConnectionHold hold(connection);
  connection.SetWaitCheck([&observer] { return observer.KeepWaiting(); });
  if (auto failure = connection.Prepare()) {
    if (observer.CancelRequested()) return {RunEnd::Cancelled, 0};
    observer.ShowMessage(failure->text, failure->caption);
    return {RunEnd::PortFailed, 0};
  }

  // A format sends a card of its own; the caller's image is only read by a write.
  std::unique_ptr<CardImage> blank;
  if (kind == TransferKind::Format) {
    blank = std::make_unique<CardImage>();
    FormatImage(*blank);
  }
  const CardImage& source = blank ? *blank : image;

  for (int frame = 0; frame <= LastFrame; ++frame) {
    if (observer.CancelRequested()) return {RunEnd::Cancelled, frame};
    const FrameResult result = kind == TransferKind::Read
                                   ? ReadOneFrame(connection, frame, image)
                                   : connection.WriteFrame(frame, FrameOf(source, frame));
    if (!result.good()) {
      if (observer.CancelRequested()) return {RunEnd::Cancelled, frame};
      // A reader that cannot go on says why; any other failure gets the run's own text.
      if (result.message) {
        observer.ShowMessage(result.message->text, result.message->caption);
      } else {
        observer.ShowMessage(FrameErrorText(kind), "Erro");
      }
      return {RunEnd::FrameFailed, frame};
    }
    observer.FrameDone(frame);
  }
  return {RunEnd::Completed, static_cast<int>(FrameCount)};
}
