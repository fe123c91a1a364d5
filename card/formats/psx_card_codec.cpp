#include "container_codec.h"

// The .psx card: a 256-byte header that starts with "PSV" and that nothing is known to read;
// it is kept as found.
namespace {

constexpr std::size_t kHeaderSize = 256;
constexpr std::string_view kMagic{"PSV", 3};

std::vector<uint8_t> NewHeader() {
  return std::vector<uint8_t>(kHeaderSize);
}

}  // namespace

const ContainerCodec& PsxCardCodec() {
  static const ContainerCodec codec{
      CardFormat::PsxCard, kHeaderSize, kMagic,        kHeaderSize + CardSize, false,
      NewHeader,           AlwaysSound, NothingToRead, NothingToComplete,      AlwaysSound};
  return codec;
}
