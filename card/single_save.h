#pragma once

#include <optional>
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

// The number of save blocks in a single-save file of any format, or -1 after showing the
// failure.
int CheckSingleSaveFile(const std::string& path);

// Places the file's save as ImportSave does; false after showing the refusal.
bool ImportSingleSave(CardImage& image, const std::string& path);

// Places the save that starts at block of source exactly as its .mcs file would be placed, with
// the same checks; source_path names the card in the messages.
bool ImportSaveFromCard(CardImage& image, const CardImage& source, int block,
                        const std::string& source_path, std::size_t source_bytes = CardSize);

// The import itself: never-used blocks first, then those of stale and removed saves, chained in
// ascending order, the first one with the save's frame and a size that matches the blocks. A
// removed save that is overwritten is named in a warning. False after the free-block refusal,
// with the image unchanged.
bool ImportSave(CardImage& image, const SaveContents& save);
