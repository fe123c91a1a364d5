#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "card/card_image.h"

// Single-save files in every format they are traded in, recognised by their content. Each format
// comes down to the same two things, the save's first directory frame and its blocks, which one
// import algorithm places on the card.

enum class SingleSaveFormat {
  Mcs,           // the first directory frame, then the blocks
  RawSave,       // the blocks alone; the name travels in the file name
  ActionReplay,  // a 54-byte header (name, title), then the blocks
  Psv,           // a signed 0x84-byte header, then the blocks
};

// One save as a file carries it.
struct SaveContents {
  Frame frame{};                // as the first block's directory frame would hold it
  int block_count = 0;          // may exceed 15 for a .mcs, whose blocks are then not read
  std::vector<uint8_t> blocks;  // block_count * BlockSize bytes, in chain order
  std::string comment;          // its DexDrive comment on the card it came from; empty: none
};

// No format has a header longer than this; with 15 blocks it bounds what is worth reading.
inline constexpr std::size_t MaxSingleSaveHeaderSize = 0x84;
inline constexpr std::size_t MaxSingleSaveBytes =
    MaxSingleSaveHeaderSize + SaveBlockCount * BlockSize;

// The format whose layout the file matches: its size and magic. Everything else is taken for a
// .mcs, whose checks then say what is wrong with it.
SingleSaveFormat RecogniseSingleSave(std::span<const uint8_t> prefix, std::uintmax_t size);

// The save in file (its first MaxSingleSaveBytes bytes; size is the whole file's), or nothing
// after showing why it is refused. path names the file in messages and, for a raw save, gives
// the save its name unless raw_name does. Throws FileError when the file is shorter than it was
// measured.
std::optional<SaveContents> DecodeSingleSave(std::span<const uint8_t> file, std::uintmax_t size,
                                             const std::string& path,
                                             const std::optional<std::string>& raw_name = {});

std::vector<uint8_t> EncodeSingleSave(const SaveContents& save, SingleSaveFormat format);

// The name other tools give such a file, extension included; characters that no file name may
// hold are left out.
std::string ProposedSingleSaveFileName(const Frame& frame, SingleSaveFormat format);

// The 20 bytes of a frame's directory name, NUL padding included: the formats that carry the
// name carry all of them.
std::span<const uint8_t> DirectoryNameBytes(std::span<const uint8_t, FrameSize> frame);

// The directory name as text, for file names: its bytes without the NULs.
std::string DirectoryName(std::span<const uint8_t, FrameSize> frame);

// A directory frame of a save's first block as an import rebuilds it: InUseFirst, the size of
// block_count blocks, no link, the name (its first 20 bytes) and zeros elsewhere.
Frame FirstFrameNamed(std::span<const uint8_t> name, int block_count);

// The block_count blocks that start at offset of file. Throws FileError (path) when the file is
// shorter: it changed while it was read.
std::vector<uint8_t> BlocksOf(std::span<const uint8_t> file, std::size_t offset, int block_count,
                              const std::string& path);

// True when the title frame at offset of bytes starts with the "SC" or "sc" magic.
bool HasTitleMagicAt(std::span<const uint8_t> bytes, std::size_t offset);
