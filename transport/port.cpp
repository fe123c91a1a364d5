#include "port.h"

bool DirectPortIO = false;

namespace {
// With no port prepared, writes go nowhere and reads see what a driver without its device
// yields: zero.
class UnconnectedPort final : public PortBackend {
 public:
  void Out(uint16_t, uint8_t) override {}
  uint8_t In(uint16_t) override { return 0; }
};

UnconnectedPort unconnected_port;

// Only one transfer runs at a time, on the one GUI thread, so a plain pointer is enough; it is
// never null, which keeps the per-access path free of a test.
PortBackend* installed_backend = &unconnected_port;
}  // namespace

void PortOut(uint16_t port, uint8_t value) {
  installed_backend->Out(port, value);
}

uint8_t PortIn(uint16_t port) {
  return installed_backend->In(port);
}

ScopedPortBackend::ScopedPortBackend(PortBackend& backend) : previous_(installed_backend) {
  installed_backend = &backend;
}

ScopedPortBackend::~ScopedPortBackend() {
  installed_backend = previous_;
}

uint16_t PortBaseFromName(const std::string& port_name) {
  if (port_name == "LPT1") return Lpt1Base;
  if (port_name == "LPT2") return Lpt2Base;
  return Lpt3Base;
}
