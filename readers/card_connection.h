#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "card/card_image.h"

// One way of reaching a real card, frame by frame: the parallel cable, a serial reader, the USB
// adaptor. The whole-card run asks nothing else of it, so it never knows which one it drives.

struct ConnectionFailure {
  std::string text;     // UTF-8, shown as is
  std::string caption;  // "Vexilor" for port and driver failures, "Erro" otherwise
};

enum class FrameStatus {
  Good,
  Failed,  // the frame did not go through; the run shows its own per-kind error text
  Ended,   // the reader cannot go on (no card, cable pulled, device gone): message says why
};

struct FrameResult {
  FrameStatus status = FrameStatus::Good;
  std::optional<ConnectionFailure> message;  // only with Ended

  static FrameResult Ok() { return {}; }
  static FrameResult Fail() { return {FrameStatus::Failed, std::nullopt}; }
  static FrameResult End(ConnectionFailure why) { return {FrameStatus::Ended, std::move(why)}; }
  bool good() const { return status == FrameStatus::Good; }
};

class CardConnection {
 public:
  virtual ~CardConnection() = default;
  // Opens and checks the way to the card. On failure returns the message to show; the run then
  // calls Release and ends without trying a frame.
  virtual std::optional<ConnectionFailure> Prepare() = 0;
  // A retry policy, if any, lives behind these: the run tries each frame once.
  virtual FrameResult ReadFrame(int frame, std::span<uint8_t, FrameSize> buffer) = 0;
  virtual FrameResult WriteFrame(int frame, std::span<const uint8_t, FrameSize> data) = 0;
  // Undoes whatever Prepare did, also after a failed Prepare; idempotent.
  virtual void Release() = 0;

  // A connection that waits on a reader (while it is prepared too) asks this every few tens of
  // milliseconds and gives the wait up on false, so a cancel is never held up by a slow reader.
  void SetWaitCheck(std::function<bool()> keep_waiting) { keep_waiting_ = std::move(keep_waiting); }

 protected:
  bool KeepWaiting() const { return !keep_waiting_ || keep_waiting_(); }

 private:
  std::function<bool()> keep_waiting_;
};
