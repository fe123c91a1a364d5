#pragma once

#include <memory>
#include <vector>

#include "readers/reader_entry.h"

// The readers this computer offers now, and the connection to the one the user chose. Each kind
// of reader adds its entries to the list and its case to the factory here, and nowhere else.

std::vector<ReaderEntry> ListReaders();
std::unique_ptr<CardConnection> MakeReaderConnection(const ReaderEntry& reader, int delay);

// ListReaders and MakeReaderConnection, as the window and the command line use them.
ReaderAccess SystemReaders();
