#include "transfer/card_run.h"

#include <algorithm>
#include <memory>

#include "card/image_file.h"
#include "transport/frame_commands.h"
#include "transport/port.h"
#include "transport/port_access.h"

namespace {

constexpr int LastFrame = static_cast<int>(FrameCount) - 1;
constexpr int FullPercent = 100;

// Release runs on every way out, also when something below throws.
class PortHold {
 public:
  explicit PortHold(PortAccess& port) : port_(port) {}
  ~PortHold() { port_.Release(); }
  PortHold(const PortHold&) = delete;
  PortHold& operator=(const PortHold&) = delete;

 private:
  PortAccess& port_;
};

std::size_t FrameOffset(int frame) {
  return static_cast<std::size_t>(frame) * FrameSize;
}

std::span<const uint8_t, FrameSize> FrameOf(const CardImage& image, int frame) {
  return std::span<const uint8_t, FrameSize>(image.data() + FrameOffset(frame), FrameSize);
}

// Read: the frame is copied into the image only when the command succeeded.
bool ReadOneFrame(uint16_t base, int delay, int frame, CardImage& image) {
  Frame received{};
  if (!ReadFrame(base, delay, frame, received)) return false;
  std::copy(received.begin(), received.end(), image.begin() + FrameOffset(frame));
  return true;
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

RunResult RunCardTransfer(TransferKind kind, CardImage& image, PortAccess& port,
                          const std::string& port_name, int delay, RunObserver& observer) {
  PortHold hold(port);
  const uint16_t base = PortBaseFromName(port_name);
  if (auto failure = port.Prepare(base)) {
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
    const bool good = kind == TransferKind::Read
                          ? ReadOneFrame(base, delay, frame, image)
                          : WriteFrame(base, delay, frame, FrameOf(source, frame));
    if (!good) {
      observer.ShowMessage(FrameErrorText(kind), "Erro");
      return {RunEnd::FrameFailed, frame};
    }
    observer.FrameDone(frame);
  }
  return {RunEnd::Completed, static_cast<int>(FrameCount)};
}
