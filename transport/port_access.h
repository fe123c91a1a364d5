#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// One transfer's hold on a port: prepared before frame 0, released on every way out. The
// transfer runs see only this; which kind of port stands behind it is chosen where it is made.

// Port failures are shown in a box captioned with the application title.
inline constexpr const char* PortFailureCaption = "Vexilor";

struct PortFailure {
  std::string text;     // UTF-8, shown as is
  std::string caption;  // the application title for the driver messages
};

class PortAccess {
 public:
  virtual ~PortAccess() = default;
  // Prepares the port and makes PortOut/PortIn reach it. On failure returns the message to show;
  // the run shows it, calls Release and ends.
  virtual std::optional<PortFailure> Prepare(uint16_t port_base) = 0;
  // Undoes whatever Prepare did (also after a failed Prepare); idempotent.
  virtual void Release() = 0;
};

// The real port of this platform: on Windows the direct path or the SMPORT.SYS driver service
// (by DirectPortIO), on Linux the ppdev device.
std::unique_ptr<PortAccess> MakeSystemPortAccess();
