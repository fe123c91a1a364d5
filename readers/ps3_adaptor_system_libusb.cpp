#include "readers/libusb_calls.h"
#include "readers/ps3_adaptor_connection.h"
#include "readers/ps3_adaptor_reader.h"

std::vector<ReaderEntry> SystemPs3AdaptorReaders() {
  return Ps3AdaptorReaders(*MakeLibusbCalls());
}

std::unique_ptr<CardConnection> MakeSystemPs3AdaptorConnection() {
  return std::make_unique<Ps3AdaptorConnection>(MakeLibusbCalls());
}
