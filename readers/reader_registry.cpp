#include "readers/reader_registry.h"

#include "readers/lpt_connection.h"
#include "readers/ps3_adaptor_reader.h"

std::vector<ReaderEntry> ListReaders() {
  std::vector<ReaderEntry> readers = ParallelReaders();
  for (ReaderEntry& adaptor : SystemPs3AdaptorReaders()) readers.push_back(std::move(adaptor));
  return readers;
}

std::unique_ptr<CardConnection> MakeReaderConnection(const ReaderEntry& reader, int delay) {
  switch (reader.kind) {
    case ReaderKind::ParallelCable:
      break;
    case ReaderKind::Ps3UsbAdaptor:
      return MakeSystemPs3AdaptorConnection();
  }
  return std::make_unique<LptConnection>(MakeSystemPortAccess(), reader.port, delay);
}

ReaderAccess SystemReaders() {
  return {ListReaders, MakeReaderConnection};
}
