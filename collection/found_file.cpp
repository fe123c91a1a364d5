#include "found_file.h"

#include <algorithm>
#include <memory>

#include "card/file_io.h"
#include "card/formats/card_recogniser.h"
#include "card/formats/container_codec.h"
#include "card/formats/raw_save.h"
#include "card/image_file.h"
#include "card/save_chain.h"
#include "card/single_save.h"
#include "collection/quiet_messages.h"

static_assert(LargestCollectionFile == LargestCardFile);

namespace {

constexpr const char* kSingleSaveCodes[] = {"mcs", "bruto", "ar", "psv"};

const char* SingleSaveCode(SingleSaveFormat format) {
  return kSingleSaveCodes[static_cast<int>(format)];
}

// Only the "MC" of the header frame is asked for: a card whose header check byte is spoilt
// still holds good saves, and a catalogue only reads them.
bool StartsLikeACard(std::span<const uint8_t> card) {
  return card.size() >= 2 && card[0] == HeaderFrame[0] && card[1] == HeaderFrame[1];
}

// A .mcs has no magic of its own: the first directory frame of a save, then whole blocks
// starting with the title magic.
bool HasMcsShape(std::span<const uint8_t> bytes, std::uintmax_t size) {
  if (size <= SingleSaveHeaderSize || size > MaxSingleSaveFileSize) return false;
  if ((size - SingleSaveHeaderSize) % BlockSize != 0) return false;
  return bytes[DirectoryFrame::StateOffset] == BlockState::InUseFirst &&
         HasTitleMagicAt(bytes, SingleSaveHeaderSize);
}

FoundFile SingleSaveFile(std::span<const uint8_t> bytes, std::uintmax_t size,
                         const std::string& path, SingleSaveFormat format) {
  FoundFile found;
  found.format = SingleSaveCode(format);
  QuietMessages quiet;
  // A raw save whose file name carries no name is still a save: listed nameless, never placed.
  std::optional<SaveContents> save =
      DecodeSingleSave(bytes, size, path, DirectoryNameInFileName(path).value_or(std::string()));
  if (!save) {
    found.kind = FoundKind::Refused;
    found.reason = quiet.Last();
    return found;
  }
  found.kind = FoundKind::SingleSave;
  FoundSave entry;
  entry.contents = std::move(*save);
  std::copy_n(entry.contents.blocks.begin(), FrameSize, entry.title.begin());
  entry.digest = DigestOf(entry.contents);
  found.saves.push_back(std::move(entry));
  return found;
}

}  // namespace

std::vector<FoundSave> SavesOfCard(const CardImage& card, const SaveComments& comments,
                                   std::size_t card_bytes) {
  std::vector<FoundSave> saves;
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    const uint32_t state = GetBlockState(card, block);
    if (!IsFirstState(state)) continue;
    FoundSave save;
    save.block = block;
    save.removed = state == BlockState::RemovedFirst;
    save.contents.comment = comments.at(static_cast<std::size_t>(block - FirstSaveBlock));
    std::ranges::copy(DirectoryFrameOf(card, block), save.contents.frame.begin());
    std::copy_n(BlockOf(card, block).begin(), FrameSize, save.title.begin());
    // The same check as removal and export: a save whose chain is broken is not taken whole.
    const ChainCheck chain = CheckChain(card, block, {}, card_bytes);
    save.broken = !chain.sound();
    if (!save.broken) {
      save.contents.block_count = static_cast<int>(chain.walk.blocks.size());
      save.contents.blocks = BytesOfBlocks(card, chain.walk.blocks);
      save.digest = DigestOf(save.contents);
    }
    saves.push_back(std::move(save));
  }
  return saves;
}

FoundFile ExamineBytes(std::span<const uint8_t> bytes, std::uintmax_t size,
                       const std::string& path) {
  if (size > LargestCollectionFile) return {};
  // Single saves with a magic of their own first: a card container never has their sizes.
  const SingleSaveFormat single = RecogniseSingleSave(bytes, size);
  if (single != SingleSaveFormat::Mcs) return SingleSaveFile(bytes, size, path, single);

  const CardFileRecognition recognition = RecogniseCardFile(bytes);
  if (recognition.verdict == CardFileVerdict::Card) {
    const std::size_t header = CodecOf(recognition.format).header_size;
    const std::span<const uint8_t> card = bytes.subspan(std::min(header, bytes.size()));
    if (!StartsLikeACard(card)) return {};
    auto image = std::make_unique_for_overwrite<CardImage>();
    const std::size_t card_bytes = PlaceCardBytes(*image, card);
    FoundFile found;
    found.kind = FoundKind::Card;
    found.format = InfoOf(recognition.format).code;
    // A save taken to a .gme keeps the DexDrive comment it had.
    CardContainer container;
    container.format = recognition.format;
    container.header.assign(
        bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(header, bytes.size())));
    if (container.header.size() == header) CodecOf(recognition.format).read_header(container);
    found.saves = SavesOfCard(*image, container.comments, card_bytes);
    return found;
  }
  if (HasMcsShape(bytes, size)) return SingleSaveFile(bytes, size, path, SingleSaveFormat::Mcs);
  return {};
}

FoundFile ExamineFile(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadFilePrefix(path, LargestCollectionFile + 1);
  const std::uintmax_t size =
      bytes.size() <= LargestCollectionFile ? bytes.size() : FileSizeOf(path);
  return ExamineBytes(bytes, size, path);
}
