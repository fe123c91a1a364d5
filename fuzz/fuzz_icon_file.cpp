// Icons of any card, block and frame. Input: block (1 byte), frame (4 bytes), card bytes.
#include <algorithm>

#include "card/icon_file.h"
#include "card/little_endian.h"
#include "fuzz_support.h"

namespace {

constexpr std::size_t MaskOffset = 254;

void CheckIcon(const CardImage& image, int block, int frame) {
  IconFileImage icon;
  icon.fill(0xEE);
  BuildIconFile(image, block, frame, icon);
  if (!IsSaveBlock(block)) {
    fuzz::Require(std::ranges::all_of(icon, [](uint8_t b) { return b == 0xEE; }),
                  "buffer untouched for a bad block");
    return;
  }
  fuzz::Require(std::equal(IconFileTemplate.begin(), IconFileTemplate.end(), icon.begin()),
                "template at the start");
  fuzz::Require(std::all_of(icon.begin() + MaskOffset, icon.end(), [](uint8_t b) { return !b; }),
                "opaque mask");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool silenced = fuzz::SilenceMessages();
  (void)silenced;
  if (size < 5) return 0;
  std::span<const uint8_t> input(data, size);
  int block = static_cast<int8_t>(input[0]);
  int frame = static_cast<int32_t>(ReadLe32(input, 1));
  CardImage image = fuzz::TiledImage(input.subspan(5));
  CheckIcon(image, block, frame);
  for (int b = 0; b <= 16; ++b) {
    for (int f = -1; f <= 4; ++f) CheckIcon(image, b, f);
  }
  return 0;
}
