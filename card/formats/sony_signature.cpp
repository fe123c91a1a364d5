#include "sony_signature.h"

#include <algorithm>

#include "aes128.h"
#include "sha1.h"

namespace {

// Published constants shared by every tool that writes these files.
constexpr Aes128Key kSeedKey = {0xAB, 0x5A, 0xBC, 0x9F, 0xC1, 0xF4, 0x9D, 0xE6,
                                0xA0, 0x51, 0xDB, 0xAE, 0xFA, 0x51, 0x88, 0x59};
constexpr AesBlock kSeedMask = {0xB3, 0x0F, 0xFE, 0xED, 0xB7, 0xDC, 0x5E, 0xB7,
                                0x13, 0x3D, 0xA6, 0x0D, 0x1B, 0x6B, 0x2C, 0xDC};

constexpr std::size_t kHmacBlockSize = 64;
constexpr uint8_t kInnerPad = 0x36;
constexpr uint8_t kOuterPad = 0x5C;

bool FieldFits(std::span<const uint8_t> file, std::size_t offset) {
  return offset <= file.size() && file.size() - offset >= SonySignature{}.size();
}

std::array<uint8_t, kHmacBlockSize> PaddedKey(const SonyHmacKey& key, uint8_t pad) {
  std::array<uint8_t, kHmacBlockSize> block;
  block.fill(pad);
  for (std::size_t i = 0; i < key.size(); ++i) block[i] ^= key[i];
  return block;
}

}  // namespace

SonyHmacKey DeriveSonyHmacKey(const SonySeed& seed) {
  AesBlock head;
  std::copy_n(seed.begin(), head.size(), head.begin());
  AesBlock decrypted = Aes128DecryptBlock(kSeedKey, head);
  AesBlock encrypted = Aes128EncryptBlock(kSeedKey, head);
  SonyHmacKey key;
  for (std::size_t i = 0; i < head.size(); ++i) key[i] = decrypted[i] ^ kSeedMask[i];
  for (std::size_t i = head.size(); i < key.size(); ++i) {
    key[i] = encrypted[i - head.size()] ^ seed[i];
  }
  return key;
}

SonySignature SignSonyFile(std::span<const uint8_t> file, std::size_t seed_offset,
                           std::size_t signature_offset) {
  SonySeed seed;
  std::copy_n(file.begin() + static_cast<std::ptrdiff_t>(seed_offset), seed.size(), seed.begin());
  SonyHmacKey key = DeriveSonyHmacKey(seed);

  // The file is hashed in three pieces so the zeroed signature needs no copy of the file.
  static constexpr SonySignature kZeroSignature{};
  Sha1 inner;
  inner.Add(PaddedKey(key, kInnerPad));
  inner.Add(file.first(signature_offset));
  inner.Add(kZeroSignature);
  inner.Add(file.subspan(signature_offset + kZeroSignature.size()));
  Sha1Digest inner_digest = inner.Finish();

  Sha1 outer;
  outer.Add(PaddedKey(key, kOuterPad));
  outer.Add(inner_digest);
  return outer.Finish();
}

bool VerifySonyFile(std::span<const uint8_t> file, std::size_t seed_offset,
                    std::size_t signature_offset) {
  if (!FieldFits(file, seed_offset) || !FieldFits(file, signature_offset)) return false;
  SonySignature expected = SignSonyFile(file, seed_offset, signature_offset);
  return std::equal(expected.begin(), expected.end(),
                    file.begin() + static_cast<std::ptrdiff_t>(signature_offset));
}
