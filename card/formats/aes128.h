#pragma once

#include <array>
#include <cstdint>

// AES-128 (FIPS 197), one 16-byte block at a time: the signing key derivation needs no more.

using AesBlock = std::array<uint8_t, 16>;
using Aes128Key = std::array<uint8_t, 16>;

AesBlock Aes128EncryptBlock(const Aes128Key& key, const AesBlock& plain);
AesBlock Aes128DecryptBlock(const Aes128Key& key, const AesBlock& cipher);
