#include "card/formats/sony_signature.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "card/formats/aes128.h"
#include "card/formats/sha1.h"
#include "card/image_file.h"
#include "support/hex_bytes.h"

using namespace test_support;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Text(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

template <std::size_t N>
std::array<uint8_t, N> Array(const std::string& hex) {
  Bytes bytes = FromHex(hex);
  std::array<uint8_t, N> array{};
  std::copy_n(bytes.begin(), N, array.begin());
  return array;
}

// FIPS 180 examples, and the one-block boundary cases of the padding (55, 56 and 64 bytes).
TEST(Sha1, PublishedDigests) {
  struct Case {
    Bytes message;
    std::string digest;
  } cases[] = {
      {Text(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
      {Text("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d"},
      {Text("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
       "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
      {Bytes(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
      {Bytes(55, 'a'), "c1c8bbdc22796e28c0e15163d20899b65621d65a"},
      {Bytes(56, 'a'), "c2db330f6083854c99d4b5bfb6e8f29f201be699"},
      {Bytes(64, 'a'), "0098ba824b5c16427bd7a1122a5a442a25ec644d"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToHex(Sha1Of(c.message)), c.digest) << c.message.size() << " bytes";
  }
}

TEST(Sha1, PiecesGiveTheDigestOfTheWhole) {
  Bytes message = Text("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq");
  Sha1 sha;
  sha.Add(std::span(message).first(3));
  sha.Add(std::span(message).subspan(3, 50));
  sha.Add(std::span(message).subspan(53));
  EXPECT_EQ(ToHex(sha.Finish()), "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
}

// Every split of a message one byte longer than a block, so that each possible number of bytes,
// one included, is left pending between the pieces. Digest from another SHA-1 implementation.
TEST(Sha1, EverySplitGivesTheDigestOfTheWhole) {
  const Bytes message(65, 'a');
  for (std::size_t split = 0; split <= message.size(); ++split) {
    Sha1 sha;
    sha.Add(std::span(message).first(split));
    sha.Add(std::span(message).subspan(split));
    EXPECT_EQ(ToHex(sha.Finish()), "11655326c708d70319be2610e8a57d9a5b959d3b") << split;
  }
}

// FIPS 197 appendix B and C.1, both ways.
TEST(Aes128, PublishedBlocks) {
  struct Case {
    std::string key, plain, cipher;
  } cases[] = {
      {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734",
       "3925841d02dc09fbdc118597196a0b32"},
      {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
       "69c4e0d86a7b0430d8cdb78070b4c55a"},
  };
  for (const Case& c : cases) {
    Aes128Key key = Array<16>(c.key);
    EXPECT_EQ(ToHex(Aes128EncryptBlock(key, Array<16>(c.plain))), c.cipher);
    EXPECT_EQ(ToHex(Aes128DecryptBlock(key, Array<16>(c.cipher))), c.plain);
  }
}

// The VMP of a blank card: "\0PMV", 0x80, seed at 0x0C, signature at 0x20.
Bytes BlankCardVmp(const SonySeed& seed) {
  CardImage blank;
  FormatImage(blank);
  Bytes file(0x80 + blank.size(), 0);
  file[1] = 'P';
  file[2] = 'M';
  file[3] = 'V';
  file[4] = 0x80;
  std::copy(seed.begin(), seed.end(), file.begin() + 0x0C);
  std::copy(blank.begin(), blank.end(), file.begin() + 0x80);
  return file;
}

SonySeed CountingSeed() {
  SonySeed seed;
  for (std::size_t i = 0; i < seed.size(); ++i) seed[i] = static_cast<uint8_t>(i);
  return seed;
}

TEST(SonySignature, VectorsOfTheBlankCardVmp) {
  struct Case {
    SonySeed seed;
    std::string key, signature, signed_file_sha1;
  } cases[] = {
      {SonySeed{}, "71b61141282c3eb8240401760922122f7543deb5",
       "35b1e0f315a59fb78071344de55fda41fe68f3a9", "e3c1838a542c0b089882429892f22fe333fe5cf0"},
      {CountingSeed(), "3c5b9c7212e35191f5f29df8473e017f624681a4",
       "53e09f0a5fad85a88da4c8adedcd0c4bb0893434", "1ba9fbd25ec2091d034760df9a1e036f7b3b6faf"},
  };
  for (const Case& c : cases) {
    Bytes file = BlankCardVmp(c.seed);
    ASSERT_EQ(ToHex(Sha1Of(std::span(file).subspan(0x80))),
              "5d9d9bef149fccf67b8a661b6cd5650dfbed938e");
    EXPECT_EQ(ToHex(DeriveSonyHmacKey(c.seed)), c.key);
    // Whatever sits in the signature field is not part of what is signed.
    std::fill(file.begin() + 0x20, file.begin() + 0x34, uint8_t{0xEE});
    SonySignature signature = SignSonyFile(file, 0x0C, 0x20);
    EXPECT_EQ(ToHex(signature), c.signature);
    EXPECT_FALSE(VerifySonyFile(file, 0x0C, 0x20));
    std::copy(signature.begin(), signature.end(), file.begin() + 0x20);
    EXPECT_EQ(ToHex(Sha1Of(file)), c.signed_file_sha1);
    EXPECT_TRUE(VerifySonyFile(file, 0x0C, 0x20));
  }
}

TEST(SonySignature, VectorOfAOneBlockConsoleSave) {
  Bytes file = FromHex(
      "0056535000000000000102030405060708090a0b0c0d0e0f1011121300000000000000000000000000000000"
      "00000000000000000000000014000000010000000020000084000000000200000000000000000000000000"
      "000000000000200000039000004241534c55532d30303030305445535453415645000000000000000000000000");
  ASSERT_EQ(file.size(), 0x84u);
  for (std::size_t i = 0; i < 8192; ++i) file.push_back(static_cast<uint8_t>(i & 0xFF));
  file[0x84] = 'S';
  file[0x85] = 'C';
  SonySignature signature = SignSonyFile(file, 0x08, 0x1C);
  EXPECT_EQ(ToHex(signature), "673dbe132d064cf2b7d1cd9a20054528c603643f");
  std::copy(signature.begin(), signature.end(), file.begin() + 0x1C);
  EXPECT_EQ(ToHex(Sha1Of(file)), "08717c6bf0a9fd801e6ada37ea68b873b9a802fc");
  EXPECT_TRUE(VerifySonyFile(file, 0x08, 0x1C));
}

TEST(SonySignature, AnyChangedByteOrMisplacedFieldFailsVerification) {
  Bytes file = BlankCardVmp(CountingSeed());
  SonySignature signature = SignSonyFile(file, 0x0C, 0x20);
  std::copy(signature.begin(), signature.end(), file.begin() + 0x20);
  ASSERT_TRUE(VerifySonyFile(file, 0x0C, 0x20));
  // The first and the last byte of the seed and of the signature, a card byte, the last byte.
  for (std::size_t offset : {std::size_t{0x0C}, std::size_t{0x1F}, std::size_t{0x20},
                             std::size_t{0x33}, std::size_t{0x80}, file.size() - 1}) {
    Bytes changed = file;
    changed[offset] ^= 0x01;
    EXPECT_FALSE(VerifySonyFile(changed, 0x0C, 0x20)) << offset;
  }
  EXPECT_FALSE(VerifySonyFile(std::span(file).first(0x30), 0x0C, 0x20));
  EXPECT_FALSE(VerifySonyFile(file, file.size() - 19, 0x20));
}

}  // namespace
