#include "readers/ps3_adaptor_reader.h"

namespace {
// Built without libusb: the adaptor can be named on the command line but never reached.
class UnavailableAdaptor final : public CardConnection {
 public:
  std::optional<ConnectionFailure> Prepare() override {
    return ConnectionFailure{"O Adaptador USB PS3 não é suportado neste sistema.", "Vexilor"};
  }
  FrameResult ReadFrame(int, std::span<uint8_t, FrameSize>) override { return FrameResult::Fail(); }
  FrameResult WriteFrame(int, std::span<const uint8_t, FrameSize>) override {
    return FrameResult::Fail();
  }
  void Release() override {}
};
}  // namespace

std::vector<ReaderEntry> SystemPs3AdaptorReaders() {
  return {};
}

std::unique_ptr<CardConnection> MakeSystemPs3AdaptorConnection() {
  return std::make_unique<UnavailableAdaptor>();
}
