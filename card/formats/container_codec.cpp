#include "container_codec.h"

const ContainerCodec& CodecOf(CardFormat format) {
  switch (format) {
    case CardFormat::Raw:
      break;
    case CardFormat::DexDrive:
      return DexDriveCodec();
    case CardFormat::Vgs:
      return VgsCodec();
    case CardFormat::Vmp:
      return VmpCodec();
    case CardFormat::PsxCard:
      return PsxCardCodec();
  }
  return RawCodec();
}

bool AlwaysSound(std::span<const uint8_t>) {
  return true;
}

void NothingToRead(CardContainer&) {}

void NothingToComplete(std::span<uint8_t>, const CardContainer&) {}
