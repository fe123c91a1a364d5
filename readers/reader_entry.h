#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "readers/card_connection.h"

// One way of reaching a card as the user picks it from a list: the window's port list and the
// command line's reader list show these, and a factory turns the chosen one into a connection.

enum class ReaderKind {
  ParallelCable,  // port is "LPT1", "LPT2" or "LPT3"
  Memcarduino,    // port is a serial port, for these three
  Ps1CardLink,
  DexDrive,
  Ps3UsbAdaptor,  // found by its USB ids; port is "ps3usb"
};

struct ReaderEntry {
  std::string label;  // shown in the list, e.g. "LPT1" or "MemCARDuino (ttyUSB0)"
  ReaderKind kind = ReaderKind::ParallelCable;
  std::string port;  // what the connection opens: a parallel port name or a device
};

inline ReaderEntry ParallelReader(const std::string& port_name) {
  return {port_name, ReaderKind::ParallelCable, port_name};
}

// The readers offered when a list is shown, parallel ports first.
using ReaderLister = std::function<std::vector<ReaderEntry>()>;
// A connection to the chosen reader; delay counts only for the parallel cable.
using ConnectionFactory =
    std::function<std::unique_ptr<CardConnection>(const ReaderEntry& reader, int delay)>;

// What a front end needs to offer readers and reach the chosen one; tests inject their own.
struct ReaderAccess {
  ReaderLister list;
  ConnectionFactory connect;
};

// "LPT1", "LPT2", "LPT3", in that order.
std::vector<ReaderEntry> ParallelReaders();
