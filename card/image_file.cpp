#include "image_file.h"

#include <algorithm>

#include "check.h"
#include "file_checks.h"
#include "file_io.h"

namespace {

// Broken-frame list: frames 16..35 of the directory block.
constexpr std::size_t BrokenFrameListFirst = 16;
constexpr std::size_t BrokenFrameListCount = 20;
// Frames 36..62 are filled with 0xFF; frame 63 and every save block are zero.
constexpr std::size_t FilledFramesFirst = BrokenFrameListFirst + BrokenFrameListCount;
constexpr std::size_t FilledFramesEnd = FramesPerBlock - 1;

// An unused entry of the broken-frame list: no broken frame (0xFFFFFFFF) and no replacement
// (NoLink). The XOR of its bytes is already 0, so byte 127 stays 0.
constexpr Frame UnusedBrokenFrameEntry = [] {
  Frame frame{};
  for (std::size_t i = 0; i < 4; ++i) frame[i] = 0xFF;
  frame[DirectoryFrame::LinkOffset] = 0xFF;
  frame[DirectoryFrame::LinkOffset + 1] = 0xFF;
  return frame;
}();

void PutFrame(CardImage& image, std::size_t frame_number, const Frame& frame) {
  std::copy(frame.begin(), frame.end(), image.begin() + frame_number * FrameSize);
}

}  // namespace

bool LoadImageFile(CardImage& image, const std::string& path) {
  if (!RequireExistingFile(path)) return false;
  // One byte more than a card tells a longer file apart without reading all of it.
  std::vector<uint8_t> bytes = ReadFilePrefix(path, CardSize + 1);
  if (bytes.size() != CardSize) {
    ShowFileRefusal("Tamanho do arquivo ", path, " inválido!");
    return false;
  }
  return AcceptCardBytes(image, bytes, path);
}

std::size_t PlaceCardBytes(CardImage& image, std::span<const uint8_t> card) {
  const std::size_t held = std::min(card.size(), CardSize);
  std::fill(std::copy_n(card.begin(), held, image.begin()), image.end(), uint8_t{0});
  return held;
}

bool AcceptCardBytes(CardImage& image, std::span<const uint8_t> card, const std::string& path,
                     HeaderRule rule) {
  PlaceCardBytes(image, card);
  const std::size_t demanded = rule == HeaderRule::Exact ? FrameSize : 2;
  if (std::equal(HeaderFrame.begin(), HeaderFrame.begin() + demanded, image.begin())) return true;
  std::string ending = " inválido!";
  if (std::optional<Finding> fault = RepairableHeaderFault(image)) {
    ending += " Falha no " + DescribeFinding(*fault) +
              ". O diretório está íntegro: o cartão pode ser reparado.";
  }
  ShowFileRefusal("Frame de identificação no arquivo ", path, ending);
  return false;
}

void SaveImageFile(const CardImage& image, const std::string& path) {
  WriteFileAtomically(path, image);
}

void FormatImage(CardImage& image) {
  image.fill(0);
  PutFrame(image, 0, HeaderFrame);
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    PutFrame(image, static_cast<std::size_t>(block), FreeDirectoryFrame);
  }
  for (std::size_t i = 0; i < BrokenFrameListCount; ++i) {
    PutFrame(image, BrokenFrameListFirst + i, UnusedBrokenFrameEntry);
  }
  std::fill(image.begin() + FilledFramesFirst * FrameSize,
            image.begin() + FilledFramesEnd * FrameSize, uint8_t{0xFF});
}
