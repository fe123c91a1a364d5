#include "aes128.h"

#include <cstddef>

namespace {

constexpr std::size_t kRounds = 10;
using RoundKeys = std::array<AesBlock, kRounds + 1>;
using ByteTable = std::array<uint8_t, 256>;

// Multiplication in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1.
constexpr uint8_t Multiply(uint8_t a, uint8_t b) {
  uint8_t product = 0;
  while (b != 0) {
    if (b & 1) product ^= a;
    a = static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1B : 0x00));
    b >>= 1;
  }
  return product;
}

constexpr uint8_t RotateLeft(uint8_t value, int bits) {
  return static_cast<uint8_t>(value << bits | value >> (8 - bits));
}

// x^254 is the multiplicative inverse of x (and 0 for 0), since x^255 = 1 in GF(2^8).
constexpr uint8_t Inverse(uint8_t x) {
  uint8_t result = 1;
  uint8_t power = x;
  for (int exponent = 254; exponent != 0; exponent >>= 1) {
    if (exponent & 1) result = Multiply(result, power);
    power = Multiply(power, power);
  }
  return result;
}

// The S-box built from its definition (multiplicative inverse, then the affine map), so no
// 256-entry table has to be typed in and trusted.
constexpr ByteTable kSubstitution = [] {
  ByteTable table{};
  for (int x = 0; x < 256; ++x) {
    uint8_t inverse = Inverse(static_cast<uint8_t>(x));
    table[static_cast<std::size_t>(x)] =
        static_cast<uint8_t>(inverse ^ RotateLeft(inverse, 1) ^ RotateLeft(inverse, 2) ^
                             RotateLeft(inverse, 3) ^ RotateLeft(inverse, 4) ^ 0x63);
  }
  return table;
}();

constexpr ByteTable kInverseSubstitution = [] {
  ByteTable table{};
  for (std::size_t x = 0; x < 256; ++x) table[kSubstitution[x]] = static_cast<uint8_t>(x);
  return table;
}();

RoundKeys ExpandKey(const Aes128Key& key) {
  RoundKeys keys;
  keys[0] = key;
  uint8_t round_constant = 0x01;
  for (std::size_t round = 1; round <= kRounds; ++round) {
    const AesBlock& previous = keys[round - 1];
    AesBlock& next = keys[round];
    // RotWord, SubWord and the round constant on the last word of the previous key.
    std::array<uint8_t, 4> word = {kSubstitution[previous[13]], kSubstitution[previous[14]],
                                   kSubstitution[previous[15]], kSubstitution[previous[12]]};
    word[0] ^= round_constant;
    round_constant = Multiply(round_constant, 0x02);
    for (std::size_t i = 0; i < 16; ++i) {
      next[i] = previous[i] ^ (i < 4 ? word[i] : next[i - 4]);
    }
  }
  return keys;
}

void AddRoundKey(AesBlock& state, const AesBlock& key) {
  for (std::size_t i = 0; i < 16; ++i) state[i] ^= key[i];
}

void Substitute(AesBlock& state, const ByteTable& table) {
  for (uint8_t& byte : state) byte = table[byte];
}

// The state is column-major: byte (row r, column c) is at 4c + r. Row r moves left by r
// columns when encrypting (shift = 1) and right when decrypting (shift = 3).
void ShiftRows(AesBlock& state, std::size_t shift) {
  AesBlock shifted;
  for (std::size_t column = 0; column < 4; ++column) {
    for (std::size_t row = 0; row < 4; ++row) {
      shifted[4 * column + row] = state[4 * ((column + shift * row) % 4) + row];
    }
  }
  state = shifted;
}

void MixColumns(AesBlock& state, const std::array<uint8_t, 4>& coefficients) {
  for (std::size_t column = 0; column < 4; ++column) {
    uint8_t* c = &state[4 * column];
    std::array<uint8_t, 4> mixed{};
    for (std::size_t row = 0; row < 4; ++row) {
      for (std::size_t k = 0; k < 4; ++k) {
        mixed[row] ^= Multiply(coefficients[(k + 4 - row) % 4], c[k]);
      }
    }
    for (std::size_t row = 0; row < 4; ++row) c[row] = mixed[row];
  }
}

constexpr std::array<uint8_t, 4> kMixCoefficients = {0x02, 0x03, 0x01, 0x01};
constexpr std::array<uint8_t, 4> kInverseMixCoefficients = {0x0E, 0x0B, 0x0D, 0x09};

}  // namespace

AesBlock Aes128EncryptBlock(const Aes128Key& key, const AesBlock& plain) {
  RoundKeys keys = ExpandKey(key);
  AesBlock state = plain;
  AddRoundKey(state, keys[0]);
  for (std::size_t round = 1; round <= kRounds; ++round) {
    Substitute(state, kSubstitution);
    ShiftRows(state, 1);
    if (round != kRounds) MixColumns(state, kMixCoefficients);
    AddRoundKey(state, keys[round]);
  }
  return state;
}

AesBlock Aes128DecryptBlock(const Aes128Key& key, const AesBlock& cipher) {
  RoundKeys keys = ExpandKey(key);
  AesBlock state = cipher;
  AddRoundKey(state, keys[kRounds]);
  for (std::size_t round = kRounds; round >= 1; --round) {
    ShiftRows(state, 3);
    Substitute(state, kInverseSubstitution);
    AddRoundKey(state, keys[round - 1]);
    if (round != 1) MixColumns(state, kInverseMixCoefficients);
  }
  return state;
}
