#include <algorithm>
#include <vector>

#include "card/file_io.h"
#include "emulated_card.h"

bool EmulatedCard::LoadFrom(const std::string& path) {
  if (FileSizeOf(path) != CardSize) return false;
  const std::vector<uint8_t> bytes = ReadFilePrefix(path, CardSize);
  if (bytes.size() != CardSize) return false;
  std::copy(bytes.begin(), bytes.end(), image_.begin());
  return true;
}

void EmulatedCard::SaveTo(const std::string& path) const {
  WriteFileAtomically(path, image_);
}
