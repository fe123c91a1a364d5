#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "card_file.h"

// One codec per container. Every container is a header followed by the 131072 card bytes; the
// codec knows the header.
struct ContainerCodec {
  CardFormat format;
  std::size_t header_size;
  std::string_view magic;  // at offset 0; may hold NUL bytes
  // The shortest file accepted; shorter than header + card only where files cut after the last
  // used block exist, the missing blocks then read as zero bytes.
  std::size_t shortest_file;
  // Accepts a full-size file whose magic is blank or wrong when the card behind it is sound.
  bool tolerates_damaged_magic;
  std::vector<uint8_t> (*new_header)();
  // False when the header is damaged beyond its magic.
  bool (*header_is_sound)(std::span<const uint8_t> header);
  // Takes what the header carries into container (which already holds the header bytes).
  void (*read_header)(CardContainer& container);
  // Brings the header in file up to date with the card behind it and with container.
  void (*complete_file)(std::span<uint8_t> file, const CardContainer& container);
  // False when the whole file's own check (a signature) fails.
  bool (*file_verifies)(std::span<const uint8_t> file);

  std::size_t full_size() const { return header_size + CardSize; }
};

const ContainerCodec& RawCodec();
const ContainerCodec& DexDriveCodec();
const ContainerCodec& VgsCodec();
const ContainerCodec& VmpCodec();
const ContainerCodec& PsxCardCodec();

const ContainerCodec& CodecOf(CardFormat format);

// Helpers the codecs share.
bool AlwaysSound(std::span<const uint8_t> header);
void NothingToRead(CardContainer& container);
void NothingToComplete(std::span<uint8_t> file, const CardContainer& container);
