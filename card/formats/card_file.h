#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "card/card_image.h"
#include "card/image_file.h"
#include "sony_signature.h"

// Whole-card files in every common container, recognised by their content: the raw image and
// the formats that put a header in front of the same 131072 card bytes.

enum class CardFormat {
  Raw,       // .mc, .mcr, .mcd, .srm, ... : the card bytes alone
  DexDrive,  // .gme: 3904-byte header with the directory copies and 15 comments
  Vgs,       // .mem, .vgs: 64-byte header
  Vmp,       // .VMP: 128-byte header, signed
  PsxCard,   // .psx: 256-byte header
};

inline constexpr int GmeCommentCount = SaveBlockCount;
// DexDrive comments by block (block b at b - 1), Windows-1252 bytes. A comment belongs to the
// save whose first block it is kept at (save_comments.h).
using SaveComments = std::array<std::string, GmeCommentCount>;

// What a file carried besides the card, so that saving writes it back unchanged.
struct CardContainer {
  CardFormat format = CardFormat::Raw;
  // The header exactly as read (empty for Raw); saving refreshes only what it must.
  std::vector<uint8_t> header;
  // .gme: comment of block b at b - 1, the bytes before the first NUL (Windows-1252).
  // Kept whatever the format, so that saving as .gme writes them.
  SaveComments comments;
  // .VMP: the seed the signature is keyed from; kept on save.
  SonySeed seed{};
  // .VMP: false when the file's signature did not verify; saving signs it anew.
  bool signature_valid = true;
  // How many card bytes the file held: less for a .gme cut after its last used block, the rest
  // then reading as zeros. Saves that lost blocks to the cut are damaged (card/check.h).
  std::size_t card_bytes = CardSize;
};

// The comment the file keeps for block (1..15): a DexDrive comment, or empty.
std::string CardFileComment(const CardContainer& container, int block);

struct CardFormatInfo {
  CardFormat format;
  std::string_view name;                     // as messages name the format
  std::string_view code;                     // as the command line and its JSON name it
  std::vector<std::string_view> extensions;  // lower case, without the dot; the first is usual
};

// Every format, Raw first.
std::span<const CardFormatInfo> CardFormats();
const CardFormatInfo& InfoOf(CardFormat format);

// The format the path's extension stands for (any letter case); nothing when none does.
std::optional<CardFormat> CardFormatFromExtension(const std::string& path);

// A container for an image that had none yet: the header a writer of that format produces.
CardContainer NewCardContainer(CardFormat format);

// current when it is of format, otherwise a new container of format that keeps its comments.
CardContainer ContainerInFormat(const CardContainer& current, CardFormat format);

// The container for writing an image held in current to path: current itself, unless the
// path's extension names another format, which then gets a new container.
CardContainer ContainerForOutput(const CardContainer& current, const std::string& path);

// Whether the loaded file may be saved again, which decides what its warnings promise.
enum class CardFileUse { Edited, OnlyRead };

// Fills image and container from the file, whatever its extension; on false it has shown its
// own message. A raw file gets exactly the checks and messages of LoadImageFile. A .VMP whose
// signature does not verify loads after one warning, which says it will be signed again only
// for a file that may be saved; so does a file cut in the middle of a save, the warning naming
// the saves that lost data. rule: how much of the header frame is demanded.
bool LoadCardFile(CardImage& image, CardContainer& container, const std::string& path,
                  CardFileUse use = CardFileUse::Edited, HeaderRule rule = HeaderRule::Exact);

// Writes image in container's format: header kept, its copies of the directory refreshed,
// comments placed, .VMP signed. Throws FileError; never leaves a half-written file.
void SaveCardFile(const CardImage& image, const CardContainer& container, const std::string& path);

// The bytes SaveCardFile writes.
std::vector<uint8_t> EncodeCardFile(const CardImage& image, const CardContainer& container);
