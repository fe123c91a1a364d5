#include "readers/lpt_connection.h"

#include "transport/frame_commands.h"
#include "transport/port.h"

LptConnection::LptConnection(std::unique_ptr<PortAccess> port, std::string port_name, int delay)
    : owned_port_(std::move(port)),
      port_(*owned_port_),
      port_name_(std::move(port_name)),
      delay_(delay) {}

LptConnection::LptConnection(PortAccess& port, std::string port_name, int delay)
    : port_(port), port_name_(std::move(port_name)), delay_(delay) {}

std::optional<ConnectionFailure> LptConnection::Prepare() {
  base_ = PortBaseFromName(port_name_);
  if (auto failure = port_.Prepare(base_)) {
    return ConnectionFailure{failure->text, failure->caption};
  }
  return std::nullopt;
}

FrameResult LptConnection::ReadFrame(int frame, std::span<uint8_t, FrameSize> buffer) {
  return ::ReadFrame(base_, delay_, frame, buffer) ? FrameResult::Ok() : FrameResult::Fail();
}

FrameResult LptConnection::WriteFrame(int frame, std::span<const uint8_t, FrameSize> data) {
  return ::WriteFrame(base_, delay_, frame, data) ? FrameResult::Ok() : FrameResult::Fail();
}

void LptConnection::Release() {
  port_.Release();
}

std::vector<ReaderEntry> ParallelReaders() {
  return {ParallelReader("LPT1"), ParallelReader("LPT2"), ParallelReader("LPT3")};
}

ConnectionFactory ParallelConnections(PortAccessFactory make_port) {
  return [make_port = std::move(make_port)](const ReaderEntry& reader, int delay) {
    return std::make_unique<LptConnection>(make_port(), reader.port, delay);
  };
}
