#pragma once

#include "card/card_image.h"
#include "readers/reader_entry.h"
#include "transfer/card_run.h"

class UserDialogs;

// What a transfer's dialogs need from the main window: they work on its image and its outcome
// flag in place, ask and report through its dialogs, and reach the card through its readers
// (the system's in the program, the emulated card in tests).
struct TransferSetup {
  CardImage& image;  // read fills it, write sends it, format never touches it
  bool& completed;   // true only when all 1024 frames went through
  UserDialogs& dialogs;
  ReaderAccess readers;
};
