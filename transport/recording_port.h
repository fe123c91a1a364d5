#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "port.h"

// A port that keeps every access in order, for checking the exact traffic of the link. Reads
// are answered from a script, or by the port it taps when one is given.
struct PortAccessRecord {
  enum class Kind : uint8_t { Out, In };
  Kind kind;
  uint16_t port;
  uint8_t value;  // written, or answered

  bool operator==(const PortAccessRecord&) const = default;
};

class RecordingPort final : public PortBackend {
 public:
  void Out(uint16_t port, uint8_t value) override;
  uint8_t In(uint16_t port) override;

  explicit RecordingPort(PortBackend* tapped = nullptr) : tapped_(tapped) {}

  // Reads take the scripted values first, then keep answering idle_status.
  std::deque<uint8_t> scripted_reads;
  uint8_t idle_status = 0xFF;
  std::vector<PortAccessRecord> records;

  std::vector<uint8_t> Written() const;
  std::size_t ReadCount() const;

 private:
  PortBackend* tapped_;
};
