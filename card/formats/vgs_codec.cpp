#include "card/little_endian.h"
#include "container_codec.h"

// VGS / Bleem .mem: "VgsM" and four words whose meaning no reader relies on; written as the
// programs that make these files write them.
namespace {

constexpr std::size_t kHeaderSize = 64;
constexpr std::string_view kMagic{"VgsM", 4};
constexpr std::size_t kWordsOffset = 4;
constexpr uint32_t kWords[] = {1, 1, 1, 0x200};

std::vector<uint8_t> NewHeader() {
  std::vector<uint8_t> header(kHeaderSize);
  for (std::size_t i = 0; i < std::size(kWords); ++i) {
    WriteLe32(header, kWordsOffset + 4 * i, kWords[i]);
  }
  return header;
}

}  // namespace

const ContainerCodec& VgsCodec() {
  static const ContainerCodec codec{
      CardFormat::Vgs, kHeaderSize, kMagic,        kHeaderSize + CardSize, false,
      NewHeader,       AlwaysSound, NothingToRead, NothingToComplete,      AlwaysSound};
  return codec;
}
