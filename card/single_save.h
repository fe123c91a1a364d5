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
// ("Erro") when the chain is not consistent.
std::optional<SaveContents> SaveOnCard(const CardImage& image, int block);

// Writes the save whose first block is block as a .mcs, or in format. Writes nothing and shows a
// message ("Erro") when the chain is not consistent. Throws FileError.
void ExportSingleSave(const CardImage& image, int block, const std::string& path,
                      SingleSaveFormat format = SingleSaveFormat::Mcs);

// The save in a single-save file of any format, or nothing after showing why it is refused.
std::optional<SaveContents> ReadSingleSaveFile(const std::string& path);

// The number of save blocks in a single-save file of any format, or -1 after showing the
// failure.
int CheckSingleSaveFile(const std::string& path);

// Places the file's save in the lowest available blocks; false after showing the refusal.
bool ImportSingleSave(CardImage& image, const std::string& path);

// The save that starts at block of source as its .mcs file would come in, through that file's
// checks and messages (source_path names the card), with its comment on that card.
std::optional<SaveContents> SaveFromCard(const CardImage& source, int block,
                                         const std::string& source_path,
                                         const std::string& comment = {});

// Places the save that starts at block of source exactly as its .mcs file would be placed, with
// the same checks; source_path names the card in the messages.
bool ImportSaveFromCard(CardImage& image, const CardImage& source, int block,
                        const std::string& source_path);

// The import itself: the lowest available blocks (those of last_resort only when no others are
// left), chained in ascending order, the first one with the save's frame. The first block, or 0
// after the free-block refusal, with the image unchanged.
int ImportSave(CardImage& image, const SaveContents& save, std::span<const int> last_resort = {});
