#pragma once

#include <cstdint>
#include <string>

// Byte access to the parallel port's registers. PortOut/PortIn go to the backend that is
// installed for the current transfer: the real port (direct instructions or the kernel driver),
// the emulated card, or a recording port in tests.

class PortBackend {
 public:
  virtual ~PortBackend() = default;
  virtual void Out(uint16_t port, uint8_t value) = 0;
  virtual uint8_t In(uint16_t port) = 0;
};

// True only on the Windows 9x family, where a program may execute port instructions itself;
// set once at start-up by the main window.
extern bool DirectPortIO;

void PortOut(uint16_t port, uint8_t value);
uint8_t PortIn(uint16_t port);

// Installs backend for PortOut/PortIn while this object lives, and puts the previous one back.
class ScopedPortBackend {
 public:
  explicit ScopedPortBackend(PortBackend& backend);
  ~ScopedPortBackend();
  ScopedPortBackend(const ScopedPortBackend&) = delete;
  ScopedPortBackend& operator=(const ScopedPortBackend&) = delete;

 private:
  PortBackend* previous_;
};

inline constexpr uint16_t Lpt1Base = 0x378;
inline constexpr uint16_t Lpt2Base = 0x278;
inline constexpr uint16_t Lpt3Base = 0x3BC;

// "LPT1" -> 0x378, "LPT2" -> 0x278, anything else -> 0x3BC (exact comparison).
uint16_t PortBaseFromName(const std::string& port_name);
