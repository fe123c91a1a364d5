#pragma once

#include <string>

#include "card_image.h"

// Single-save files (.mcs): the save's first directory frame, then its blocks in chain order.

inline constexpr std::size_t SingleSaveHeaderSize = FrameSize;
inline constexpr std::size_t MaxSingleSaveFileSize =
    SingleSaveHeaderSize + SaveBlockCount * BlockSize;

// Writes the save whose first block is block. Writes nothing and shows a message ("Erro") when
// the chain is not consistent. Throws FileError.
void ExportSingleSave(const CardImage& image, int block, const std::string& path);

// The number of save blocks in the file, or -1 after showing the failure.
int CheckSingleSaveFile(const std::string& path);

// Places the file's save in the lowest available blocks; false after showing the refusal.
bool ImportSingleSave(CardImage& image, const std::string& path);
