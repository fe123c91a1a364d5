#pragma once

#include <span>
#include <string>

#include "card_image.h"

// Card image files (.mc): exactly the 131072 bytes of a CardImage.

// Fills image from the file; on false it has shown its own message. After a bad header frame
// the image already holds the rejected file's bytes.
bool LoadImageFile(CardImage& image, const std::string& path);

// How much of the header frame a loader demands: all of it, or only "MC" (to check and repair
// a card whose header frame is damaged).
enum class HeaderRule { Exact, McOnly };

// Copies the card bytes of a file into image, zero bytes after the last one given (a file cut
// after its last used block); how many card bytes the file held.
std::size_t PlaceCardBytes(CardImage& image, std::span<const uint8_t> card);

// Places the card bytes of a file into image as PlaceCardBytes does, and checks
// the header frame; false after "Frame de identificação no arquivo <path> inválido!", which says
// so when only the header's check byte is wrong and the card can be repaired.
bool AcceptCardBytes(CardImage& image, std::span<const uint8_t> card, const std::string& path,
                     HeaderRule rule = HeaderRule::Exact);

// Writes the whole image; throws FileError, never leaves a half-written file.
void SaveImageFile(const CardImage& image, const std::string& path);

// Overwrites every byte of image with a blank, freshly formatted card.
void FormatImage(CardImage& image);
