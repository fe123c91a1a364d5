#include "conversion_losses.h"

#include <algorithm>

#include "card/messages.h"
#include "container_codec.h"

std::vector<std::string> ConversionLosses(const CardImage& image, const CardContainer& from,
                                          CardFormat to) {
  std::vector<std::string> losses;
  if (from.format == to) return losses;
  if (std::ranges::any_of(from.comments, [](const std::string& c) { return !c.empty(); })) {
    losses.push_back("os comentários DexDrive");
  }
  // The header as a fresh writer of its format would make it, comments and directory copies
  // alike: any other byte is what only this file carried.
  const std::size_t header_size = CodecOf(from.format).header_size;
  if (header_size > 0) {
    CardContainer fresh = NewCardContainer(from.format);
    fresh.comments = from.comments;
    const std::vector<uint8_t> kept = EncodeCardFile(image, from);
    const std::vector<uint8_t> made = EncodeCardFile(image, fresh);
    if (!std::equal(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(header_size),
                    made.begin())) {
      losses.push_back("o cabeçalho " + std::string(InfoOf(from.format).name) +
                       " do arquivo de origem");
    }
  }
  return losses;
}

void WarnOfConversionLosses(const CardImage& image, const CardContainer& from, CardFormat to,
                            const std::string& path) {
  const std::vector<std::string> losses = ConversionLosses(image, from, to);
  if (losses.empty()) return;
  std::string lost = losses.front();
  for (std::size_t i = 1; i < losses.size(); ++i) lost += " nem " + losses[i];
  ShowWarning("O formato " + std::string(InfoOf(to).name) + " não guarda " + lost + ": " + path +
              " tem o cartão inteiro, sem eles.");
}
