#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace test_support {

// Bytes written as hexadecimal text, as published test vectors give them; spaces are ignored.
std::vector<uint8_t> FromHex(const std::string& text);
std::string ToHex(std::span<const uint8_t> bytes);

}  // namespace test_support
