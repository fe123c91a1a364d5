#pragma once

#include <array>
#include <cstdint>
#include <span>

// SHA-1 (FIPS 180-4), only what the file signatures need: one digest over a sequence of pieces.

using Sha1Digest = std::array<uint8_t, 20>;

class Sha1 {
 public:
  Sha1();
  void Add(std::span<const uint8_t> bytes);
  // Pads and finishes; the object is spent afterwards.
  Sha1Digest Finish();

 private:
  void CompressBlock(const uint8_t* block);

  std::array<uint32_t, 5> state_;
  std::array<uint8_t, 64> pending_{};
  std::size_t pending_size_ = 0;
  uint64_t total_bytes_ = 0;
};

Sha1Digest Sha1Of(std::span<const uint8_t> bytes);
