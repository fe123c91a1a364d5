#include "container_codec.h"

namespace {
std::vector<uint8_t> NoHeader() {
  return {};
}
}  // namespace

const ContainerCodec& RawCodec() {
  static const ContainerCodec codec{
      CardFormat::Raw,   0,          "", CardSize, false, NoHeader, AlwaysSound, NothingToRead,
      NothingToComplete, AlwaysSound};
  return codec;
}
