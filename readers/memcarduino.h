#pragma once

#include <string>
#include <string_view>

#include "readers/serial_reader_connection.h"

// The Arduino reader and the console-side reader that speaks its command set at 115200 baud.
class MemcarduinoConnection final : public SerialReaderConnection {
 public:
  enum class Model { Arduino, Console };
  MemcarduinoConnection(std::string port, Model model);

  static const char* NameOf(Model model);

  // What GetVersion answered during Prepare.
  uint8_t FirmwareVersion() const { return version_; }
  // One command other than a frame's, sent whole; reply holds what came.
  SerialLine::Outcome Converse(std::span<const uint8_t> command, std::size_t reply_size,
                               std::vector<uint8_t>& reply);

 private:
  bool Identify() override;
  Attempt TryRead(int frame, std::span<uint8_t, FrameSize> buffer) override;
  Attempt TryWrite(int frame, std::span<const uint8_t, FrameSize> data) override;
  Attempt Exchange(std::span<const uint8_t> command, std::size_t reply_size);

  Model model_;
  uint8_t version_ = 0;
  std::vector<uint8_t> reply_;
};
