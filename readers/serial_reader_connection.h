#pragma once

#include <string>

#include "readers/card_connection.h"
#include "readers/reader_reply.h"
#include "readers/serial_line.h"

// What every serial reader shares: opening the port, asking the reader who it is, trying each
// frame a few times, and telling "no card" and a pulled cable from a frame that went wrong.
class SerialReaderConnection : public CardConnection {
 public:
  std::optional<ConnectionFailure> Prepare() final;
  FrameResult ReadFrame(int frame, std::span<uint8_t, FrameSize> buffer) final;
  FrameResult WriteFrame(int frame, std::span<const uint8_t, FrameSize> data) final;
  void Release() final;

  // One try and three more before a frame counts as failed.
  static constexpr int FrameAttempts = 4;

 protected:
  // reader_name as the lists show it: "MemCARDuino".
  SerialReaderConnection(std::string port, std::string reader_name, int baud);

  // What one exchange came to; Gone also when the line failed under it; Stopped when its wait
  // was given up.
  enum class Attempt { Good, NoCard, Bad, Gone, Stopped };
  static Attempt AttemptOf(SerialLine::Outcome outcome, ReplyCheck check);

  virtual bool Identify() = 0;
  virtual Attempt TryRead(int frame, std::span<uint8_t, FrameSize> buffer) = 0;
  virtual Attempt TryWrite(int frame, std::span<const uint8_t, FrameSize> data) = 0;

  SerialLine line_;

 private:
  template <typename Try>
  FrameResult Retried(int frame, Try attempt);

  std::string port_;
  std::string reader_name_;
  int baud_;
};
