#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "readers/card_connection.h"
#include "readers/reader_entry.h"
#include "readers/usb_calls.h"

// The USB memory-card adaptor made for the PS3: each card command travels inside one bulk
// packet, and the reply packet carries the card's answer byte for byte.

// The udev rule that gives the logged-in user access to the adaptor; it ships with the install.
inline constexpr const char* Ps3AdaptorUdevRule = "60-vexilor-adaptador-ps3.rules";

struct Ps3AdaptorTiming {
  std::chrono::milliseconds transfer_timeout{5000};
  // Host tools pause after each written frame, saying original cards need it; nobody has
  // measured the minimum.
  std::chrono::milliseconds pause_after_write{50};
};

class Ps3AdaptorConnection final : public CardConnection {
 public:
  explicit Ps3AdaptorConnection(std::unique_ptr<UsbCalls> usb, Ps3AdaptorTiming timing = {});
  ~Ps3AdaptorConnection() override { Release(); }

  std::optional<ConnectionFailure> Prepare() override;
  FrameResult ReadFrame(int frame, std::span<uint8_t, FrameSize> buffer) override;
  FrameResult WriteFrame(int frame, std::span<const uint8_t, FrameSize> data) override;
  void Release() override;

  // A frame is tried this many times before it counts as failed.
  static constexpr int Attempts = 3;

 private:
  enum class Reply { Good, Garbled, AuthFailed, Timeout, Gone };

  // Sends packet and reads the reply into it; checks the adaptor's part of the reply.
  Reply Exchange(std::span<uint8_t> packet);
  std::optional<ConnectionFailure> CheckCardType();
  std::optional<ConnectionFailure> CheckPassThrough();
  // After a frame failed every attempt: ends the run when the card has gone or the adaptor
  // cannot go on, else the run reports the frame.
  FrameResult AfterFailedAttempts(Reply last);

  std::unique_ptr<UsbCalls> usb_;
  Ps3AdaptorTiming timing_;
  bool open_ = false;
  bool claimed_ = false;
  bool driver_detached_ = false;
};

// True when an adaptor is plugged in, whether or not it may be opened.
bool Ps3AdaptorPresent(UsbCalls& usb);
// The adaptor's reader entry while one is plugged in; nothing otherwise.
std::vector<ReaderEntry> Ps3AdaptorReaders(UsbCalls& usb);
