#include <algorithm>

#include "card/little_endian.h"
#include "container_codec.h"

// PSP .VMP: "\0PMV", the offset of the card, and a signature over the whole file keyed from a
// seed in the header.
namespace {

constexpr std::size_t kHeaderSize = 0x80;
constexpr std::string_view kMagic{"\0PMV", 4};
constexpr std::size_t kCardOffsetField = 0x04;
constexpr std::size_t kSeedOffset = 0x0C;
constexpr std::size_t kSignatureOffset = 0x20;

// New files get the seed 00 01 .. 13, one of the seeds real writers use.
constexpr SonySeed kNewSeed = [] {
  SonySeed seed{};
  for (std::size_t i = 0; i < seed.size(); ++i) seed[i] = static_cast<uint8_t>(i);
  return seed;
}();

std::vector<uint8_t> NewHeader() {
  std::vector<uint8_t> header(kHeaderSize);
  WriteLe32(header, kCardOffsetField, kHeaderSize);
  std::copy(kNewSeed.begin(), kNewSeed.end(), header.begin() + kSeedOffset);
  return header;
}

bool HeaderIsSound(std::span<const uint8_t> header) {
  return ReadLe32(header, kCardOffsetField) == kHeaderSize;
}

void ReadSeed(CardContainer& container) {
  std::copy_n(container.header.begin() + kSeedOffset, container.seed.size(),
              container.seed.begin());
}

void Sign(std::span<uint8_t> file, const CardContainer& container) {
  std::copy(container.seed.begin(), container.seed.end(), file.begin() + kSeedOffset);
  SonySignature signature = SignSonyFile(file, kSeedOffset, kSignatureOffset);
  std::copy(signature.begin(), signature.end(), file.begin() + kSignatureOffset);
}

bool SignatureVerifies(std::span<const uint8_t> file) {
  return VerifySonyFile(file, kSeedOffset, kSignatureOffset);
}

}  // namespace

const ContainerCodec& VmpCodec() {
  static const ContainerCodec codec{
      CardFormat::Vmp, kHeaderSize, kMagic, kHeaderSize + CardSize, false, NewHeader,
      HeaderIsSound,   ReadSeed,    Sign,   SignatureVerifies};
  return codec;
}
