#pragma once

#include <optional>
#include <span>
#include <string>

#include "card_image.h"
#include "formats/single_save_file.h"

// Taking one save out of the card into a file of its own, and putting one in from a file or
// from another card. Every way in goes through ImportSave.

inline constexpr std::size_t SingleSaveHeaderSize = FrameSize;  // of a .mcs
inline constexpr std::size_t MaxSingleSaveFileSize =
    SingleSaveHeaderSize + SaveBlockCount * BlockSize;

// The save whose first block is block, as a file carries it. Nothing after showing a message
// ("Erro") when the card check finds its chain or size damaged: it runs into another save, has no
// end, disagrees with its size, or lost blocks to the end of a cut file (card_bytes, the card
// bytes the file held).
std::optional<SaveContents> SaveOnCard(const CardImage& image, int block,
                                       std::size_t card_bytes = CardSize);

// Writes the save whose first block is block as a .mcs, or in format. Writes nothing and shows a
// message ("Erro") when SaveOnCard refuses. Throws FileError.
void ExportSingleSave(const CardImage& image, int block, const std::string& path,
                      SingleSaveFormat format = SingleSaveFormat::Mcs,
                      std::size_t card_bytes = CardSize);

// The save in a single-save file of any format, or nothing after showing why it is refused.
std::optional<SaveContents> ReadSingleSaveFile(const std::string& path,
                                               const std::optional<std::string>& raw_name = {});

// The number of save blocks in a single-save file of any format, or -1 after showing the
// failure.
int CheckSingleSaveFile(const std::string& path);

// Places the file's save as ImportSave does, its size mended from the blocks it holds (with a
// warning when its size field said otherwise); false after showing the refusal. A raw save is
// named raw_name when given, else by its file name.
bool ImportSingleSave(CardImage& image, const std::string& path,
                      const std::optional<std::string>& raw_name = {});

// True when the file is a raw save (by its content).
bool HoldsRawSave(const std::string& path);
// True when the file is a raw save whose file name carries no directory name: the user must give
// one before it is imported.
bool IsUnnamedRawSave(const std::string& path);

// The save that starts at block of source as its .mcs file would come in, through that file's
// checks and messages (source_path names the card), with its comment on that card.
std::optional<SaveContents> SaveFromCard(const CardImage& source, int block,
                                         const std::string& source_path,
                                         const std::string& comment = {},
                                         std::size_t source_bytes = CardSize);

// Places the save that starts at block of source exactly as its .mcs file would be placed, with
// the same checks; source_path names the card in the messages.
bool ImportSaveFromCard(CardImage& image, const CardImage& source, int block,
                        const std::string& source_path, std::size_t source_bytes = CardSize);

// The import itself: never-used blocks first, then removed blocks no restorable save holds, then
// removed saves' blocks, then those of last_resort, each lowest first; chained in ascending
// order, the first one with the save's frame and the size of the blocks placed. A removed save
// overwritten is named in a warning. The first block, or 0 after the free-block refusal, with the
// image unchanged.
int ImportSave(CardImage& image, const SaveContents& save, std::span<const int> last_resort = {});
