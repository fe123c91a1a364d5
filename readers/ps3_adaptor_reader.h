#pragma once

#include <memory>
#include <vector>

#include "readers/reader_entry.h"

// The USB adaptor as the reader lists offer it; its port names it on the command line.
inline ReaderEntry Ps3AdaptorReader() {
  return {"Adaptador USB PS3", ReaderKind::Ps3UsbAdaptor, "ps3usb"};
}

// This computer's adaptor: listed while one is plugged in. Where the build has no USB access it
// is never listed, and a connection to it refuses to prepare.
std::vector<ReaderEntry> SystemPs3AdaptorReaders();
std::unique_ptr<CardConnection> MakeSystemPs3AdaptorConnection();
