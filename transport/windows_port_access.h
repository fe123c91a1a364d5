#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "port.h"
#include "port_access.h"
#include "smport_driver.h"

// The port on Windows: on the 9x family (DirectPortIO) the processor's own port instructions,
// elsewhere the SMPORT.SYS driver, opened for one transfer and closed again afterwards.
// Portable code: the Win32 calls, the direct instructions and the file check are handed in.

inline constexpr const char* DriverFileMissingText =
    "Arquivo SMPORT.SYS não encontrado no sistema!";
inline constexpr const char* DriverOpenFailedText = "Erro ao inicializar driver SMPORT.SYS";

using FileExistsCheck = std::function<bool(const std::string& path)>;

class WindowsPortAccess final : public PortAccess {
 public:
  // direct_port carries out PortOut/PortIn while DirectPortIO is true.
  WindowsPortAccess(win32::Services& api, PortBackend& direct_port, FileExistsCheck file_exists);
  ~WindowsPortAccess() override;

  std::optional<PortFailure> Prepare(uint16_t port_base) override;
  void Release() override;

  const SmportDriver& driver() const { return driver_; }

 private:
  // PortOut/PortIn of this platform: one port instruction, or one driver request.
  class Backend final : public PortBackend {
   public:
    Backend(PortBackend& direct_port, SmportDriver& driver)
        : direct_port_(direct_port), driver_(driver) {}
    void Out(uint16_t port, uint8_t value) override;
    uint8_t In(uint16_t port) override;

   private:
    PortBackend& direct_port_;
    SmportDriver& driver_;
  };

  SmportDriver driver_;
  Backend backend_;
  FileExistsCheck file_exists_;
  bool driver_touched_ = false;
  std::optional<ScopedPortBackend> installed_;
};
