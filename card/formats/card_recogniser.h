#pragma once

#include <cstdint>
#include <span>

#include "card_file.h"

// Which container a file is, from its bytes alone.

enum class CardFileVerdict {
  Card,           // the format's layout; the card inside is still to be checked
  DamagedHeader,  // the size of a container whose header is not what it should be
  SizeMismatch,   // a container's magic on a file of a size that format never has
  Unknown,        // no format: neither a known size nor a known magic
};

struct CardFileRecognition {
  CardFormat format;
  CardFileVerdict verdict;
};

// The largest file that can be a card file; one byte more tells a longer file apart.
inline constexpr std::size_t LargestCardFile = 0xF40 + CardSize;

// file is the start of the file, at most LargestCardFile + 1 bytes.
CardFileRecognition RecogniseCardFile(std::span<const uint8_t> file);
