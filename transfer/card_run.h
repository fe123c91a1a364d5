#pragma once

#include <cstdint>
#include <string>

#include "card/card_image.h"
#include "readers/card_connection.h"

// One whole-card transfer, frame 0 to 1023, between a real card and a card image. Plain C++ so
// any front end can drive it; the window supplies progress, cancel and its message boxes.

enum class TransferKind { Read, Write, Format };

enum class RunEnd {
  PortFailed,   // the connection could not be prepared; no frame was tried
  Cancelled,    // stopped at the start of a frame after a cancel
  FrameFailed,  // a frame did not go through, or the reader could not go on
  Completed,    // all 1024 frames went through
};

class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // Asked before every frame, so a cancel is taken in only between frames.
  virtual bool CancelRequested() = 0;
  // After every good frame; the window updates its progress and processes pending events here.
  virtual void FrameDone(int frame) = 0;
  // Asked every few tens of milliseconds while the connection waits on the reader, also while
  // it is being prepared; false gives the wait up and the run ends as cancelled. The window
  // takes in a click on Cancel here too.
  virtual bool KeepWaiting() { return !CancelRequested(); }
  // UTF-8 text and caption; a modal box, returning when the user has answered it.
  virtual void ShowMessage(const std::string& text, const std::string& caption) = 0;
};

struct RunResult {
  RunEnd end;
  int frames_done;  // frames that went through before the run ended
};

// The percentage shown after frame: 0 for frames 0..10, 50 at frame 512, 100 only at 1023.
int ProgressPercent(int frame);

// The message shown when one of kind's frame commands fails.
std::string FrameErrorText(TransferKind kind);

// Prepares connection, moves the frames and releases it on every way out. A failure that comes
// while a cancel is pending is the cancel's doing: the run ends as cancelled, without a message. A
// read fills image in place frame by frame; a write sends image; a format sends a blank card and
// leaves image alone.
RunResult RunCardTransfer(TransferKind kind, CardImage& image, CardConnection& connection,
                          RunObserver& observer);
