#include "ppdev_port_access.h"

// DirectPortIO is never true here: user programs reach the port only through ppdev.
std::unique_ptr<PortAccess> MakeSystemPortAccess() {
  return std::make_unique<PpdevPortAccess>();
}
