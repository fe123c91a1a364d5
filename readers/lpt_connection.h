#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "readers/card_connection.h"
#include "readers/reader_entry.h"
#include "transport/port_access.h"

// The parallel cable: the port hold of transport/ and the bit-banged frame commands, unchanged.
class LptConnection final : public CardConnection {
 public:
  // The connection holds port for as long as it lives, or only uses one held elsewhere.
  LptConnection(std::unique_ptr<PortAccess> port, std::string port_name, int delay);
  LptConnection(PortAccess& port, std::string port_name, int delay);

  std::optional<ConnectionFailure> Prepare() override;
  FrameResult ReadFrame(int frame, std::span<uint8_t, FrameSize> buffer) override;
  FrameResult WriteFrame(int frame, std::span<const uint8_t, FrameSize> data) override;
  void Release() override;

 private:
  std::unique_ptr<PortAccess> owned_port_;
  PortAccess& port_;
  std::string port_name_;
  int delay_;
  uint16_t base_ = 0;
};

// Makes the port hold for one transfer; the system port in the program, the emulated card in
// tests.
using PortAccessFactory = std::function<std::unique_ptr<PortAccess>()>;

// Parallel-cable connections whose port holds come from make_port.
ConnectionFactory ParallelConnections(PortAccessFactory make_port);
