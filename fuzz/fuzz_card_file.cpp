// Card files of any size and content through the recogniser and every container decoder, and
// what they decode to back through the encoders.
#include <algorithm>
#include <memory>

#include "card/formats/card_file.h"
#include "card/formats/card_recogniser.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const bool silenced = fuzz::SilenceMessages();
  static const std::string path = fuzz::ScratchPath("card-file");
  (void)silenced;
  std::span<const uint8_t> input(data, size);
  fuzz::WriteScratch(path, input);

  const CardFileRecognition recognition =
      RecogniseCardFile(input.first(std::min(size, LargestCardFile + 1)));
  auto image = std::make_unique<CardImage>();
  image->fill(0x5A);
  CardContainer container;
  const bool loaded = LoadCardFile(*image, container, path);
  fuzz::Require(!loaded || recognition.verdict == CardFileVerdict::Card,
                "only a recognised layout loads");
  if (recognition.verdict != CardFileVerdict::Card) {
    fuzz::Require(std::ranges::all_of(*image, [](uint8_t b) { return b == 0x5A; }),
                  "a refused container leaves the image alone");
  }
  if (!loaded) return 0;
  fuzz::Require(container.format == recognition.format, "loaded as the format recognised");
  fuzz::Require(std::ranges::equal(std::span(*image).first(FrameSize), HeaderFrame),
                "a loaded card has its header frame");

  // What is written loads back as the same card in the same format, with a valid signature,
  // and writing that again changes nothing.
  const std::vector<uint8_t> written = EncodeCardFile(*image, container);
  fuzz::WriteScratch(path, written);
  auto reloaded = std::make_unique<CardImage>();
  CardContainer reloaded_container;
  fuzz::Require(LoadCardFile(*reloaded, reloaded_container, path), "a written file loads");
  fuzz::Require(*reloaded == *image, "the card comes back");
  fuzz::Require(reloaded_container.format == container.format, "the format comes back");
  fuzz::Require(reloaded_container.signature_valid, "a written file verifies");
  fuzz::Require(reloaded_container.comments == container.comments, "the comments come back");
  fuzz::Require(EncodeCardFile(*reloaded, reloaded_container) == written,
                "writing again changes nothing");
  return 0;
}
