#pragma once

#include <string>

#include "card_image.h"
#include "formats/card_file.h"

// A file chosen to take a save from holds either a single save or a whole card, from which one
// save is then picked. The window and the command line ask here, so they never disagree.

// True when the file is a card image; false for anything else, single saves included.
bool HoldsCardImage(const std::string& path);

// Loads the card a save is taken from; false after showing why it cannot be.
bool LoadSourceCard(CardImage& card, const std::string& path);
// The same, with what the card's file carried besides (its DexDrive comments).
bool LoadSourceCard(CardImage& card, CardContainer& container, const std::string& path);
