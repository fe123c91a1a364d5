#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "card/formats/card_file.h"
#include "card/formats/single_save_file.h"
#include "collection/save_digest.h"

// What one file of a collection holds, judged by its content alone, whatever its name: a card
// image with its saves, a single save, or nothing of ours. Nothing here shows a message.

enum class FoundKind {
  Card,
  SingleSave,
  Other,    // neither a card nor a save
  Refused,  // the shape of a single save whose content is refused; reason says why
};

struct FoundSave {
  int block = 0;  // its first block on a card; 0 in a single-save file
  bool removed = false;
  // Its chain loops, names no block or lost blocks to the end of a cut file: only the directory
  // frame is known, no block was read.
  bool broken = false;
  SaveContents contents;
  Frame title{};        // the first frame of its first block, read even when broken
  SaveDigest digest{};  // of name and blocks; zero when broken
};

struct FoundFile {
  FoundKind kind = FoundKind::Other;
  std::string format;  // mc, gme, vgs, vmp, psx (cards); mcs, bruto, ar, psv (single saves)
  std::vector<FoundSave> saves;  // first blocks in ascending order, removed ones included
  std::string reason;
};

// The largest file worth reading: anything longer is neither a card nor a save.
inline constexpr std::size_t LargestCollectionFile = 0xF40 + CardSize;

// bytes are the start of the file (at most LargestCollectionFile + 1 of them); size is the whole
// file's. path names the file in reasons and gives a raw save its name.
FoundFile ExamineBytes(std::span<const uint8_t> bytes, std::uintmax_t size,
                       const std::string& path);

// Reads the file and examines it. Throws FileError when it cannot be read.
FoundFile ExamineFile(const std::string& path);

// The saves of a card image, removed ones included, as ExamineBytes finds them, each with its
// comment in comments. card_bytes: how much of the card its file held.
std::vector<FoundSave> SavesOfCard(const CardImage& card, const SaveComments& comments = {},
                                   std::size_t card_bytes = CardSize);
