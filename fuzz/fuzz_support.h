#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "card/card_image.h"

// Shared by the fuzz targets: inputs become cards and files, broken invariants end the run.
namespace fuzz {

// Installs a message handler that shows nothing; returns true so it can initialise a static.
bool SilenceMessages();

// A file of this process in the temporary folder, named after name.
std::string ScratchPath(const std::string& name);
void WriteScratch(const std::string& path, std::span<const uint8_t> bytes);

// The input repeated over the whole card, so short inputs still reach every block.
CardImage TiledImage(std::span<const uint8_t> data);

// Aborts with what when condition is false, so libFuzzer records the input.
void Require(bool condition, const char* what);

// True when the only differences between the frames are in the given byte range or the XOR byte.
bool FramesDifferOnlyIn(std::span<const uint8_t> a, std::span<const uint8_t> b, std::size_t first,
                        std::size_t end);

}  // namespace fuzz
