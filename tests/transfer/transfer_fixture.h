#pragma once

#include <vector>

#include "card/card_image.h"
#include "recording_port_access.h"
#include "scripted_dialogs.h"
#include "transfer/card_run.h"
#include "transfer/parameters_dialog.h"
#include "transfer/progress_window.h"
#include "transfer/transfer_setup.h"
#include "transport/emulated_card.h"

// What a transfer's windows work on, as the main window would hold it, and the emulated card
// at the far end of the port.
struct TransferFixture {
  CardImage image{};
  bool completed = false;
  ScriptedDialogs dialogs;
  PortLog log;
  EmulatedCard card;
  std::vector<int> addressed;  // frames whose command reached the card, in order
  std::vector<int> finished;   // frames whose command the card completed

  TransferFixture();
  // Port holds over nothing (no frame may be moved) or over what inner makes.
  TransferSetup Setup(PortAccessFactory inner = {});
  // Port holds over the emulated card.
  TransferSetup CardSetup();
  // Runs on the card as the command for frame is addressed, before any of its data moves.
  void AtFrame(int frame, std::function<void()> action);

 private:
  std::vector<std::pair<int, std::function<void()>>> actions_;
};

// A new parameters dialog of kind; it frees itself when it closes.
TransferParametersDialog* CreateParametersDialog(TransferKind kind, TransferSetup setup);

// Shows kind's progress window modally for port and delay and returns when it has closed.
void RunProgressWindow(TransferKind kind, TransferSetup setup, int delay = 1,
                       const QString& port = QStringLiteral("LPT1"));

// Bytes [from, to) of frames as a view, to compare parts of cards.
QByteArray Frames(const CardImage& image, int from, int to = static_cast<int>(FrameCount));
