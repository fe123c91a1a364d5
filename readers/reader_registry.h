#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "readers/reader_entry.h"

// The readers this computer offers now, and the connection to the one the user chose. Each kind
// of reader adds its entries to the list and its case to the factory here, and nowhere else.

std::vector<ReaderEntry> ListReaders();
std::unique_ptr<CardConnection> MakeReaderConnection(const ReaderEntry& reader, int delay);

// ListReaders and MakeReaderConnection, as the window and the command line use them.
ReaderAccess SystemReaders();

// The entries for one serial port: a board whose USB vendor says which reader it is gives one,
// any other port one per serial reader kind. port is the name the system shows ("ttyUSB0",
// "COM3"), location what opens it.
std::vector<ReaderEntry> SerialReadersOn(const std::string& port, const std::string& location,
                                         std::optional<uint16_t> usb_vendor);

// The serial readers' entries among readers, in their order.
std::vector<ReaderEntry> SerialReaders(std::vector<ReaderEntry> readers);

// The serial reader named on the command line: "memcarduino", "ps1cardlink" or "dexdrive".
std::optional<ReaderKind> SerialReaderKindNamed(const std::string& name);
std::string ReaderKindName(ReaderKind kind);
