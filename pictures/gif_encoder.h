#pragma once

#include <QByteArray>
#include <QRgb>
#include <cstdint>
#include <vector>

// A square animation of palette indices as GIF bytes, through giflib: looping forever when it has
// more than one frame, each frame cleared before the next so holes stay holes.
struct IndexedAnimation {
  int side = 0;
  std::vector<QRgb> palette;                 // at most 256 colours
  std::vector<std::vector<uint8_t>> frames;  // side * side indices each, row by row
  int delay_ms = 0;
  int transparent_index = -1;  // -1: none
};

// Throws std::bad_alloc when giflib runs out of memory, its only way to fail here.
QByteArray EncodeGif(const IndexedAnimation& animation);
