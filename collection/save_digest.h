#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "card/formats/single_save_file.h"

// A save's fingerprint: SHA-256 of its 20-byte directory name followed by its blocks. Two saves
// with one fingerprint are the same save wherever they were found, whatever their file format.

using SaveDigest = std::array<uint8_t, 32>;

SaveDigest DigestOf(const SaveContents& save);

// Lower-case hexadecimal, 64 characters.
std::string DigestText(const SaveDigest& digest);
