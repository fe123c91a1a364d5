#include "recording_port.h"

#include <algorithm>

void RecordingPort::Out(uint16_t port, uint8_t value) {
  records.push_back({PortAccessRecord::Kind::Out, port, value});
  if (tapped_ != nullptr) tapped_->Out(port, value);
}

uint8_t RecordingPort::In(uint16_t port) {
  uint8_t value = idle_status;
  if (tapped_ != nullptr) {
    value = tapped_->In(port);
  } else if (!scripted_reads.empty()) {
    value = scripted_reads.front();
    scripted_reads.pop_front();
  }
  records.push_back({PortAccessRecord::Kind::In, port, value});
  return value;
}

std::vector<uint8_t> RecordingPort::Written() const {
  std::vector<uint8_t> values;
  for (const auto& record : records) {
    if (record.kind == PortAccessRecord::Kind::Out) values.push_back(record.value);
  }
  return values;
}

std::size_t RecordingPort::ReadCount() const {
  return static_cast<std::size_t>(std::count_if(records.begin(), records.end(), [](const auto& r) {
    return r.kind == PortAccessRecord::Kind::In;
  }));
}
