#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "card_image.h"

// A save's name on the card: the 20 NUL-padded bytes at DirectoryFrame::NameOffset ("B", the
// region letter, the product code, the identifier). A game finds its saves by this name, so no
// two saves in use may share one.

inline constexpr char FirstNameCharacter = 0x20;
inline constexpr char LastNameCharacter = 0x7E;

// The name as a game compares it: the bytes before the first NUL.
std::string SaveName(std::span<const uint8_t, FrameSize> frame);

// name as messages show it: characters 0x20..0x7E as they are, any other byte as \xNN.
std::string PrintableSaveName(std::string_view name);

// The first block of the save in use named name, other than the one at except; 0 when none and
// for an empty name.
int FindSaveNamed(const CardImage& image, std::string_view name, int except = 0);

// Why the card cannot take name (1 to 20 characters 0x20..0x7E); nothing when it can.
std::optional<std::string> DirectoryNameRefusal(std::string_view name);
// True when the card can take name: DirectoryNameRefusal has nothing to say.
bool IsDirectoryNameText(std::string_view name);

// Gives the save in use that starts at block the name, NUL-padded, and refreshes the frame's
// check byte. False after showing the refusal (not the first block of a save in use, a name the
// card cannot take or one that another save in use has), with the image unchanged.
bool RenameSave(CardImage& image, int block, std::string_view name);
