#pragma once

#include <functional>
#include <optional>
#include <string>

#include "port.h"
#include "port_access.h"

// The port on Linux, through the kernel's parallel-port device interface: the /dev/parportN
// whose base address is the chosen port's, claimed for one transfer and released afterwards.
// The /proc and /dev roots can be moved for tests.

struct PpdevRoots {
  std::string proc = "/proc";
  std::string dev = "/dev";
};

// The device node for port_base: the parportN that /proc lists at that base address, or, when
// none does, parport0, 1 or 2 for the LPT1, LPT2 and LPT3 addresses.
std::string FindParportDevice(const PpdevRoots& roots, uint16_t port_base);

// The message for a device that could not be opened (open's errno), naming the device, the
// system's reason and, for a permission error, the group the user must belong to.
std::string DeviceOpenFailureText(const std::string& device, int error, const std::string& group);

// One ioctl request on the open device, with its byte argument (none for claim and release). The
// system's ioctl by default; tests put a recorder here.
using PpdevRequest = std::function<int(int fd, unsigned long request, unsigned char* byte)>;
int SystemPpdevRequest(int fd, unsigned long request, unsigned char* byte);

class PpdevPortAccess final : public PortAccess {
 public:
  explicit PpdevPortAccess(PpdevRoots roots = {}, PpdevRequest request = SystemPpdevRequest);
  ~PpdevPortAccess() override;
  PpdevPortAccess(const PpdevPortAccess&) = delete;
  PpdevPortAccess& operator=(const PpdevPortAccess&) = delete;

  std::optional<PortFailure> Prepare(uint16_t port_base) override;
  void Release() override;

 private:
  class Backend final : public PortBackend {
   public:
    void Out(uint16_t port, uint8_t value) override;
    uint8_t In(uint16_t port) override;
    PpdevRequest request;
    int fd = -1;
    bool claimed = false;
    uint16_t base = 0;
  };

  PpdevRoots roots_;
  Backend backend_;
  std::optional<ScopedPortBackend> installed_;
};
