#pragma once

#include <string>
#include <vector>

#include "readers/serial_reader_connection.h"

// The 38400-baud drive: INIT with its key and the handshake open it; every reply is checked.
class DexDriveConnection final : public SerialReaderConnection {
 public:
  explicit DexDriveConnection(std::string port);

 private:
  bool Identify() override;
  Attempt TryRead(int frame, std::span<uint8_t, FrameSize> buffer) override;
  Attempt TryWrite(int frame, std::span<const uint8_t, FrameSize> data) override;

  std::vector<uint8_t> reply_;
};
