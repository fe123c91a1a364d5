#pragma once

#include "port.h"

// The processor's own in and out instructions on the port registers. Only the Windows 9x
// family lets a program execute them; everywhere else they fault.
class DirectPort final : public PortBackend {
 public:
  void Out(uint16_t port, uint8_t value) override;
  uint8_t In(uint16_t port) override;
};
