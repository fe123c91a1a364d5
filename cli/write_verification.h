#pragma once

#include "card/card_image.h"
#include "readers/card_connection.h"

// Reads the whole card back after a write and compares it with what was written: a card that
// dropped writes, or a small card that wraps its frame numbers around, shows up here. Reports
// the differing frames and returns false when any differ or the read-back failed.
bool VerifyWrittenCard(const CardImage& written, CardConnection& connection);
