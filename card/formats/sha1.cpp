#include "sha1.h"

#include <algorithm>
#include <bit>

namespace {

constexpr std::size_t kBlockSize = 64;
constexpr std::size_t kLengthFieldSize = 8;

uint32_t ReadBe32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
         static_cast<uint32_t>(bytes[2]) << 8 | static_cast<uint32_t>(bytes[3]);
}

}  // namespace

Sha1::Sha1() : state_{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0} {}

// The message schedule is kept as the last 16 words, each step making the next one.
template <std::size_t First, typename Function>
inline void Steps(std::array<uint32_t, 16>& w, uint32_t k, Function f, uint32_t& a, uint32_t& b,
                  uint32_t& c, uint32_t& d, uint32_t& e) {
  for (std::size_t t = First; t < First + 20; ++t) {
    uint32_t word;
    if (t < 16) {
      word = w[t];
    } else {
      word = std::rotl(w[(t - 3) & 15] ^ w[(t - 8) & 15] ^ w[(t - 14) & 15] ^ w[t & 15], 1);
      w[t & 15] = word;
    }
    uint32_t next = std::rotl(a, 5) + f(b, c, d) + e + k + word;
    e = d;
    d = c;
    c = std::rotl(b, 30);
    b = a;
    a = next;
  }
}

void Sha1::CompressBlock(const uint8_t* block) {
  std::array<uint32_t, 16> w;
  for (std::size_t t = 0; t < 16; ++t) w[t] = ReadBe32(block + 4 * t);
  uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4];
  auto choose = [](uint32_t x, uint32_t y, uint32_t z) { return z ^ (x & (y ^ z)); };
  auto parity = [](uint32_t x, uint32_t y, uint32_t z) { return x ^ y ^ z; };
  auto majority = [](uint32_t x, uint32_t y, uint32_t z) { return (x & y) | (z & (x | y)); };
  Steps<0>(w, 0x5A827999, choose, a, b, c, d, e);
  Steps<20>(w, 0x6ED9EBA1, parity, a, b, c, d, e);
  Steps<40>(w, 0x8F1BBCDC, majority, a, b, c, d, e);
  Steps<60>(w, 0xCA62C1D6, parity, a, b, c, d, e);
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
  state_[4] += e;
}

void Sha1::Add(std::span<const uint8_t> bytes) {
  total_bytes_ += bytes.size();
  if (pending_size_ > 0) {
    std::size_t taken = std::min(kBlockSize - pending_size_, bytes.size());
    std::copy_n(bytes.begin(), taken, pending_.begin() + pending_size_);
    pending_size_ += taken;
    bytes = bytes.subspan(taken);
    if (pending_size_ < kBlockSize) return;
    CompressBlock(pending_.data());
    pending_size_ = 0;
  }
  while (bytes.size() >= kBlockSize) {
    CompressBlock(bytes.data());
    bytes = bytes.subspan(kBlockSize);
  }
  std::copy(bytes.begin(), bytes.end(), pending_.begin());
  pending_size_ = bytes.size();
}

Sha1Digest Sha1::Finish() {
  uint64_t bit_length = total_bytes_ * 8;
  pending_[pending_size_++] = 0x80;
  if (pending_size_ > kBlockSize - kLengthFieldSize) {
    std::fill(pending_.begin() + pending_size_, pending_.end(), uint8_t{0});
    CompressBlock(pending_.data());
    pending_size_ = 0;
  }
  std::fill(pending_.begin() + pending_size_, pending_.end() - kLengthFieldSize, uint8_t{0});
  for (std::size_t i = 0; i < kLengthFieldSize; ++i) {
    pending_[kBlockSize - 1 - i] = static_cast<uint8_t>(bit_length >> (8 * i));
  }
  CompressBlock(pending_.data());
  Sha1Digest digest;
  for (std::size_t i = 0; i < digest.size(); ++i) {
    digest[i] = static_cast<uint8_t>(state_[i / 4] >> (24 - 8 * (i % 4)));
  }
  return digest;
}

Sha1Digest Sha1Of(std::span<const uint8_t> bytes) {
  Sha1 sha;
  sha.Add(bytes);
  return sha.Finish();
}
