#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The signature the handheld and console makers' firmware put into PSP card images (.VMP) and
// console single saves (.PSV): an HMAC-SHA1 of the whole file, keyed by a value derived from a
// 20-byte seed stored in the same file.

using SonySeed = std::array<uint8_t, 20>;
using SonySignature = std::array<uint8_t, 20>;
using SonyHmacKey = std::array<uint8_t, 20>;

// The 20-byte HMAC key that seed stands for.
SonyHmacKey DeriveSonyHmacKey(const SonySeed& seed);

// The HMAC-SHA1 of file with its 20 signature bytes taken as zero, keyed from the 20-byte
// seed stored in file at seed_offset. Both fields must lie inside file.
SonySignature SignSonyFile(std::span<const uint8_t> file, std::size_t seed_offset,
                           std::size_t signature_offset);

// True when the 20 bytes at signature_offset are the signature of file; false too when either
// field does not fit in file.
bool VerifySonyFile(std::span<const uint8_t> file, std::size_t seed_offset,
                    std::size_t signature_offset);
