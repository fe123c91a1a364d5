#include "ppdev_port_access.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <utility>

#include "blocking_call_timeout.h"
#include "card/error_reason_text.h"

namespace {
constexpr const char* ParportPrefix = "parport";
// Where the kernel lists each port's base address, in decimal, as the first number.
constexpr const char* ParportSysctlFolder = "sys/dev/parport";
constexpr const char* BaseAddressFile = "base-addr";
constexpr const char* DefaultDeviceGroup = "lp";
// A claim waits while another program holds the port; past this it is reported instead.
constexpr std::chrono::milliseconds ClaimTimeout{2000};

enum class Register : uint16_t { Data = 0, Status = 1, Control = 2 };

std::optional<unsigned long> FirstNumberIn(const std::string& path) {
  std::ifstream file(path);
  std::string text;
  if (!(file >> text)) return std::nullopt;
  unsigned long number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end == text.data()) return std::nullopt;
  return number;
}

std::optional<std::string> ListedParport(const PpdevRoots& roots, uint16_t port_base) {
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(roots.proc) / ParportSysctlFolder;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind(ParportPrefix, 0) != 0) continue;
    if (FirstNumberIn((entry.path() / BaseAddressFile).string()) == port_base) return name;
  }
  return std::nullopt;
}

std::string DefaultParport(uint16_t port_base) {
  const int number = port_base == Lpt1Base ? 0 : port_base == Lpt2Base ? 1 : 2;
  return ParportPrefix + std::to_string(number);
}

std::string GroupOf(const std::string& device) {
  struct stat status {};
  if (::stat(device.c_str(), &status) == 0) {
    if (const group* entry = ::getgrgid(status.st_gid); entry != nullptr && status.st_gid != 0) {
      return entry->gr_name;
    }
  }
  return DefaultDeviceGroup;
}

std::string Reason(int error) {
  return ErrorReasonText(std::error_code(error, std::generic_category()));
}

PortFailure Failure(std::string text) {
  return PortFailure{std::move(text), PortFailureCaption};
}
}  // namespace

std::string FindParportDevice(const PpdevRoots& roots, uint16_t port_base) {
  const std::string name = ListedParport(roots, port_base).value_or(DefaultParport(port_base));
  return (std::filesystem::path(roots.dev) / name).string();
}

std::string DeviceOpenFailureText(const std::string& device, int error, const std::string& group) {
  if (error == EACCES || error == EPERM) {
    return "Sem permissão para abrir a porta paralela " + device + " (" + Reason(error) +
           "). O usuário precisa pertencer ao grupo \"" + group + "\" do dispositivo.";
  }
  if (error == ENOENT || error == ENODEV || error == ENXIO) {
    return "Porta paralela " + device + " não encontrada (" + Reason(error) +
           "). Verifique se a porta existe e se o módulo ppdev está carregado.";
  }
  return "Não foi possível abrir a porta paralela " + device + " (" + Reason(error) + ").";
}

int SystemPpdevRequest(int fd, unsigned long request, unsigned char* byte) {
  return byte != nullptr ? ::ioctl(fd, request, byte) : ::ioctl(fd, request);
}

PpdevPortAccess::PpdevPortAccess(PpdevRoots roots, PpdevRequest request)
    : roots_(std::move(roots)) {
  backend_.request = std::move(request);
}

PpdevPortAccess::~PpdevPortAccess() {
  Release();
}

std::optional<PortFailure> PpdevPortAccess::Prepare(uint16_t port_base) {
  Release();
  const std::string device = FindParportDevice(roots_, port_base);
  backend_.fd = ::open(device.c_str(), O_RDWR | O_CLOEXEC);
  if (backend_.fd < 0) {
    const int error = errno;
    return Failure(DeviceOpenFailureText(device, error, GroupOf(device)));
  }
  int claim_result = 0;
  int error = 0;
  {
    BlockingCallTimeout timeout(ClaimTimeout);
    claim_result = backend_.request(backend_.fd, PPCLAIM, nullptr);
    error = errno;
  }
  if (claim_result != 0 && error == EINTR) {
    return Failure("A porta paralela " + device + " está em uso por outro programa.");
  }
  if (claim_result != 0) {
    return Failure("Não foi possível reservar a porta paralela " + device + " (" + Reason(error) +
                   ").");
  }
  backend_.claimed = true;
  backend_.base = port_base;
  installed_.emplace(backend_);
  return std::nullopt;
}

void PpdevPortAccess::Release() {
  installed_.reset();
  if (backend_.claimed) backend_.request(backend_.fd, PPRELEASE, nullptr);
  backend_.claimed = false;
  if (backend_.fd >= 0) ::close(backend_.fd);
  backend_.fd = -1;
}

// A failed request behaves as on the driver path: a write has no effect, a read yields 0.
void PpdevPortAccess::Backend::Out(uint16_t port, uint8_t value) {
  unsigned char byte = value;
  switch (static_cast<Register>(port - base)) {
    case Register::Data:
      request(fd, PPWDATA, &byte);
      break;
    case Register::Control:
      request(fd, PPWCONTROL, &byte);
      break;
    case Register::Status:
      break;  // read-only
  }
}

uint8_t PpdevPortAccess::Backend::In(uint16_t port) {
  unsigned char byte = 0;
  int result = -1;
  switch (static_cast<Register>(port - base)) {
    case Register::Data:
      result = request(fd, PPRDATA, &byte);
      break;
    case Register::Status:
      result = request(fd, PPRSTATUS, &byte);
      break;
    case Register::Control:
      result = request(fd, PPRCONTROL, &byte);
      break;
  }
  return result == 0 ? byte : 0;
}
