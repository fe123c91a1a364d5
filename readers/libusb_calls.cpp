#include "readers/libusb_calls.h"

#include <libusb.h>

#include <thread>

namespace {

UsbResult ResultOf(int code) {
  switch (code) {
    case LIBUSB_SUCCESS:
      return UsbResult::Ok;
    case LIBUSB_ERROR_NOT_FOUND:
      return UsbResult::NotFound;
    case LIBUSB_ERROR_ACCESS:
      return UsbResult::AccessDenied;
    case LIBUSB_ERROR_NO_DEVICE:
      return UsbResult::Gone;
    case LIBUSB_ERROR_TIMEOUT:
      return UsbResult::Timeout;
    case LIBUSB_ERROR_BUSY:
      return UsbResult::Busy;
    case LIBUSB_ERROR_NOT_SUPPORTED:
      return UsbResult::NotSupported;
    default:
      return UsbResult::Failed;
  }
}

class LibusbCalls final : public UsbCalls {
 public:
  LibusbCalls() {
    if (libusb_init(&context_) != LIBUSB_SUCCESS) context_ = nullptr;
  }
  ~LibusbCalls() override {
    Close();
    if (context_ != nullptr) libusb_exit(context_);
  }
  LibusbCalls(const LibusbCalls&) = delete;
  LibusbCalls& operator=(const LibusbCalls&) = delete;

  bool IsPresent(uint16_t vendor, uint16_t product) override {
    libusb_device* device = Find(vendor, product);
    if (device == nullptr) return false;
    libusb_unref_device(device);
    return true;
  }

  UsbResult Open(uint16_t vendor, uint16_t product) override {
    Close();
    if (context_ == nullptr) return UsbResult::Failed;
    libusb_device* device = Find(vendor, product);
    if (device == nullptr) return UsbResult::NotFound;
    const int code = libusb_open(device, &handle_);
    libusb_unref_device(device);
    if (code != LIBUSB_SUCCESS) handle_ = nullptr;
    return ResultOf(code);
  }

  void Close() override {
    if (handle_ != nullptr) libusb_close(handle_);
    handle_ = nullptr;
  }

  UsbResult KernelDriverActive(int interface_number, bool& active) override {
    if (handle_ == nullptr) return UsbResult::Failed;
    const int code = libusb_kernel_driver_active(handle_, interface_number);
    active = code == 1;
    return code >= 0 ? UsbResult::Ok : ResultOf(code);
  }

  UsbResult DetachKernelDriver(int interface_number) override {
    return Call(libusb_detach_kernel_driver, interface_number);
  }
  UsbResult AttachKernelDriver(int interface_number) override {
    return Call(libusb_attach_kernel_driver, interface_number);
  }
  UsbResult ClaimInterface(int interface_number) override {
    return Call(libusb_claim_interface, interface_number);
  }
  UsbResult ReleaseInterface(int interface_number) override {
    return Call(libusb_release_interface, interface_number);
  }

  UsbResult BulkTransfer(uint8_t endpoint, std::span<uint8_t> data, int& transferred,
                         std::chrono::milliseconds timeout) override {
    transferred = 0;
    if (handle_ == nullptr) return UsbResult::Failed;
    const int code =
        libusb_bulk_transfer(handle_, endpoint, data.data(), static_cast<int>(data.size()),
                             &transferred, static_cast<unsigned>(timeout.count()));
    return ResultOf(code);
  }

  void Sleep(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }

 private:
  UsbResult Call(int (*call)(libusb_device_handle*, int), int interface_number) {
    if (handle_ == nullptr) return UsbResult::Failed;
    return ResultOf(call(handle_, interface_number));
  }

  // The first device with these ids, referenced; nullptr when none.
  libusb_device* Find(uint16_t vendor, uint16_t product) {
    if (context_ == nullptr) return nullptr;
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &list);
    libusb_device* found = nullptr;
    for (ssize_t i = 0; i < count && found == nullptr; ++i) {
      libusb_device_descriptor descriptor{};
      if (libusb_get_device_descriptor(list[i], &descriptor) == LIBUSB_SUCCESS &&
          descriptor.idVendor == vendor && descriptor.idProduct == product) {
        found = libusb_ref_device(list[i]);
      }
    }
    if (list != nullptr) libusb_free_device_list(list, 1);
    return found;
  }

  libusb_context* context_ = nullptr;
  libusb_device_handle* handle_ = nullptr;
};

}  // namespace

std::unique_ptr<UsbCalls> MakeLibusbCalls() {
  return std::make_unique<LibusbCalls>();
}
