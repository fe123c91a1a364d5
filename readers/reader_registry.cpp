#include "readers/reader_registry.h"

#include "readers/lpt_connection.h"

std::vector<ReaderEntry> ListReaders() {
  return ParallelReaders();
}

std::unique_ptr<CardConnection> MakeReaderConnection(const ReaderEntry& reader, int delay) {
  switch (reader.kind) {
    case ReaderKind::ParallelCable:
      break;
  }
  return std::make_unique<LptConnection>(MakeSystemPortAccess(), reader.port, delay);
}

ReaderAccess SystemReaders() {
  return {ListReaders, MakeReaderConnection};
}
