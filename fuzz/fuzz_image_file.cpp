// Image files of any size and content, and every accessor over any card.
#include <algorithm>

#include "card/image_file.h"
#include "fuzz_support.h"

namespace {

void ReadEveryAccessor(CardImage& image) {
  for (int block = -1; block <= 16; ++block) {
    GetBlockState(image, block);
    GetSaveSize(image, block);
    GetNextLink(image, block);
    fuzz::Require(GetRegion(image, block).size() <= 2, "region text");
    fuzz::Require(GetProductCode(image, block).size() == (IsSaveBlock(block) ? 10u : 0u),
                  "product code length");
    fuzz::Require(GetGameId(image, block).size() == (IsSaveBlock(block) ? 8u : 0u),
                  "game ID length");
    GetIconType(image, block);
    std::string title = GetSaveTitle(image, block);
    fuzz::Require(title.size() <= TitleFrame::TitleLength, "title length");
    fuzz::Require(title.empty() || (static_cast<uint8_t>(title.front()) > 0x20 &&
                                    static_cast<uint8_t>(title.back()) > 0x20),
                  "title trimmed");
    UpdateDirectoryXor(image, block);
    fuzz::Require(IsDirectoryXorValid(image, block) == IsSaveBlock(block), "XOR updated");
  }
  int free_blocks = CountFreeBlocks(image);
  int first_free = FindFirstFreeBlock(image);
  fuzz::Require(free_blocks <= SaveBlockCount, "free count");
  fuzz::Require((free_blocks == 0) == (first_free == 0), "first free agrees with count");
  fuzz::Require(first_free == 0 || IsAvailableState(GetBlockState(image, first_free)),
                "first free is available");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool silenced = fuzz::SilenceMessages();
  static const std::string path = fuzz::ScratchPath("card.mc");
  (void)silenced;
  std::span<const uint8_t> input(data, size);
  fuzz::WriteScratch(path, input);

  CardImage image;
  image.fill(0x5A);
  bool loaded = LoadImageFile(image, path);
  if (size != CardSize) {
    fuzz::Require(!loaded && std::ranges::all_of(image, [](uint8_t b) { return b == 0x5A; }),
                  "a file of the wrong size leaves the image alone");
  } else {
    fuzz::Require(std::ranges::equal(image, input), "the image holds the file");
    fuzz::Require(loaded == std::ranges::equal(input.first(FrameSize), HeaderFrame),
                  "accepted exactly when the header matches");
  }
  CardImage card = fuzz::TiledImage(input);
  ReadEveryAccessor(card);
  return 0;
}
