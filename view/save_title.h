#pragma once

#include <QString>
#include <cstdint>
#include <span>

#include "card/card_image.h"

// A save's title read as the console shows it: Shift-JIS (code page 932), with full-width
// Latin letters, digits and the ideographic space folded to their plain forms (NFKC). The block
// list keeps its single-byte line; this reading is what makes Japanese titles legible.

// The title bytes: they end at the first NUL; a lead byte left without its trail byte at the
// end is dropped, and undecodable pairs become U+FFFD. Blanks and controls at both ends go.
QString DecodeShiftJisTitle(std::span<const uint8_t> title_bytes);

// The decoded title of a save's first block (in use or removed); empty for every other block.
QString DecodedSaveTitle(const CardImage& image, int block);
