#pragma once

#include <functional>
#include <memory>

#include "card/card_image.h"
#include "transfer/card_run.h"
#include "transport/port_access.h"

class UserDialogs;

// Makes the port hold for one transfer; the system port in the program, the emulated card in
// tests.
using PortAccessFactory = std::function<std::unique_ptr<PortAccess>()>;

// What a transfer's dialogs need from the main window: they work on its image and its outcome
// flag in place, and ask and report through its dialogs.
struct TransferSetup {
  CardImage& image;  // read fills it, write sends it, format never touches it
  bool& completed;   // true only when all 1024 frames went through
  UserDialogs& dialogs;
  PortAccessFactory make_port_access;
};
