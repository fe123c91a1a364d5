#include "readers/reader_registry.h"

#include <QSerialPortInfo>
#include <algorithm>

#include "readers/dexdrive.h"
#include "readers/lpt_connection.h"
#include "readers/memcarduino.h"
#include "readers/ps3_adaptor_reader.h"

namespace {

constexpr ReaderKind SerialKinds[] = {ReaderKind::Memcarduino, ReaderKind::Ps1CardLink,
                                      ReaderKind::DexDrive};

// USB vendors of the Arduino boards themselves; clones with generic serial chips are not told.
constexpr uint16_t ArduinoVendors[] = {0x2341, 0x2A03};

}  // namespace

std::string ReaderKindName(ReaderKind kind) {
  switch (kind) {
    case ReaderKind::ParallelCable:
      return "LPT";
    case ReaderKind::Memcarduino:
      return MemcarduinoConnection::NameOf(MemcarduinoConnection::Model::Arduino);
    case ReaderKind::Ps1CardLink:
      return MemcarduinoConnection::NameOf(MemcarduinoConnection::Model::Console);
    case ReaderKind::DexDrive:
      return "DexDrive";
    case ReaderKind::Ps3UsbAdaptor:
      return Ps3AdaptorReader().label;
  }
  return {};
}

std::optional<ReaderKind> SerialReaderKindNamed(const std::string& name) {
  for (ReaderKind kind : SerialKinds) {
    std::string lower = ReaderKindName(kind);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == name) return kind;
  }
  return std::nullopt;
}

std::vector<ReaderEntry> SerialReadersOn(const std::string& port, const std::string& location,
                                         std::optional<uint16_t> usb_vendor) {
  const auto entry = [&](ReaderKind kind) {
    return ReaderEntry{ReaderKindName(kind) + " (" + port + ")", kind, location};
  };
  for (uint16_t vendor : ArduinoVendors) {
    if (usb_vendor == vendor) return {entry(ReaderKind::Memcarduino)};
  }
  std::vector<ReaderEntry> entries;
  for (ReaderKind kind : SerialKinds) entries.push_back(entry(kind));
  return entries;
}

std::vector<ReaderEntry> SerialReaders(std::vector<ReaderEntry> readers) {
  std::erase_if(readers, [](const ReaderEntry& reader) {
    return std::find(std::begin(SerialKinds), std::end(SerialKinds), reader.kind) ==
           std::end(SerialKinds);
  });
  return readers;
}

std::vector<ReaderEntry> ListReaders() {
  std::vector<ReaderEntry> readers = ParallelReaders();
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    const auto vendor = info.hasVendorIdentifier()
                            ? std::optional<uint16_t>(info.vendorIdentifier())
                            : std::nullopt;
    for (ReaderEntry& entry : SerialReadersOn(info.portName().toStdString(),
                                              info.systemLocation().toStdString(), vendor)) {
      readers.push_back(std::move(entry));
    }
  }
  for (ReaderEntry& adaptor : SystemPs3AdaptorReaders()) readers.push_back(std::move(adaptor));
  return readers;
}

std::unique_ptr<CardConnection> MakeReaderConnection(const ReaderEntry& reader, int delay) {
  switch (reader.kind) {
    case ReaderKind::ParallelCable:
      break;
    case ReaderKind::Memcarduino:
      return std::make_unique<MemcarduinoConnection>(reader.port,
                                                     MemcarduinoConnection::Model::Arduino);
    case ReaderKind::Ps1CardLink:
      return std::make_unique<MemcarduinoConnection>(reader.port,
                                                     MemcarduinoConnection::Model::Console);
    case ReaderKind::DexDrive:
      return std::make_unique<DexDriveConnection>(reader.port);
    case ReaderKind::Ps3UsbAdaptor:
      return MakeSystemPs3AdaptorConnection();
  }
  return std::make_unique<LptConnection>(MakeSystemPortAccess(), reader.port, delay);
}

ReaderAccess SystemReaders() {
  return {ListReaders, MakeReaderConnection};
}
