#include "card_recogniser.h"

#include <algorithm>

#include "container_codec.h"

namespace {

constexpr const ContainerCodec& (*kHeaderedCodecs[])() = {DexDriveCodec, VgsCodec, VmpCodec,
                                                          PsxCardCodec};

bool StartsWith(std::span<const uint8_t> file, std::string_view magic) {
  return file.size() >= magic.size() &&
         std::equal(magic.begin(), magic.end(), file.begin(),
                    [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
}

bool CardStartsAt(std::span<const uint8_t> file, std::size_t offset) {
  return file.size() >= offset + HeaderFrame.size() &&
         std::equal(HeaderFrame.begin(), HeaderFrame.end(), file.begin() + offset);
}

}  // namespace

CardFileRecognition RecogniseCardFile(std::span<const uint8_t> file) {
  // A file of exactly a card's size is a raw card whatever it starts with, so that such files
  // keep the raw checks and messages.
  if (file.size() == CardSize) return {CardFormat::Raw, CardFileVerdict::Card};
  for (auto codec_of : kHeaderedCodecs) {
    const ContainerCodec& codec = codec_of();
    if (!StartsWith(file, codec.magic)) continue;
    bool fits = file.size() >= codec.shortest_file && file.size() <= codec.full_size();
    if (!fits) return {codec.format, CardFileVerdict::SizeMismatch};
    bool sound = codec.header_is_sound(file.first(codec.header_size));
    return {codec.format, sound ? CardFileVerdict::Card : CardFileVerdict::DamagedHeader};
  }
  for (auto codec_of : kHeaderedCodecs) {
    const ContainerCodec& codec = codec_of();
    if (file.size() != codec.full_size()) continue;
    bool rescued = codec.tolerates_damaged_magic && CardStartsAt(file, codec.header_size);
    return {codec.format, rescued ? CardFileVerdict::Card : CardFileVerdict::DamagedHeader};
  }
  return {CardFormat::Raw, CardFileVerdict::Unknown};
}
