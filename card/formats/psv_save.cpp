#include "psv_save.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "card/file_checks.h"
#include "card/little_endian.h"
#include "card/messages.h"
#include "sony_signature.h"

namespace {

// Region "B?" plus the product code: the part of the name the console keeps as text.
constexpr std::size_t kPsvNameTextLength = 12;

bool HeaderIsConsistent(std::span<const uint8_t> file, std::uintmax_t size) {
  const uint32_t save_size = ReadLe32(file, PsvHeader::SaveSizeOffset);
  return ReadLe32(file, PsvHeader::TypeSizeOffset) == PsvHeader::TypeSize &&
         ReadLe32(file, PsvHeader::TypeOffset) == PsvHeader::Type &&
         ReadLe32(file, PsvHeader::DataOffsetOffset) == PsvHeader::Size &&
         save_size == size - PsvHeader::Size && save_size >= BlockSize &&
         save_size <= SaveBlockCount * BlockSize;
}

}  // namespace

bool LooksLikePsvSave(std::span<const uint8_t> prefix, std::uintmax_t size) {
  return size >= PsvHeader::Size && (size - PsvHeader::Size) % BlockSize == 0 &&
         std::ranges::equal(prefix.first(std::min(prefix.size(), std::size(PsvHeader::Magic))),
                            PsvHeader::Magic);
}

std::optional<SaveContents> DecodePsvSave(std::span<const uint8_t> file, std::uintmax_t size,
                                          const std::string& path) {
  if (file.size() < PsvHeader::Size || !HeaderIsConsistent(file, size)) {
    ShowFileRefusal("O arquivo ", path, " apresentou um cabeçalho PSV inválido!");
    return std::nullopt;
  }
  if (!HasTitleMagicAt(file, PsvHeader::Size)) {
    ShowFileRefusal("O arquivo ", path, " apresentou um ID inválido!");
    return std::nullopt;
  }
  const int n = static_cast<int>((size - PsvHeader::Size) / BlockSize);
  SaveContents save{{}, n, BlocksOf(file, PsvHeader::Size, n, path), {}};
  save.frame = FirstFrameNamed(file.subspan(PsvHeader::NameOffset, DirectoryFrame::NameLength), n);
  if (!VerifySonyFile(file.first(PsvHeader::Size + save.blocks.size()), PsvHeader::SeedOffset,
                      PsvHeader::SignatureOffset)) {
    ShowWarning("A assinatura do arquivo " + path +
                " não confere; o 'save' foi aberto mesmo assim.");
  }
  return save;
}

std::vector<uint8_t> EncodePsvSave(const SaveContents& save) {
  std::vector<uint8_t> file(PsvHeader::Size, 0);
  std::ranges::copy(PsvHeader::Magic, file.begin());
  // Any seed will do; counting bytes are what the console's own files look like.
  std::iota(file.begin() + PsvHeader::SeedOffset, file.begin() + PsvHeader::SignatureOffset,
            uint8_t{0});
  const auto save_size = static_cast<uint32_t>(save.blocks.size());
  WriteLe32(file, PsvHeader::TypeSizeOffset, PsvHeader::TypeSize);
  WriteLe32(file, PsvHeader::TypeOffset, PsvHeader::Type);
  WriteLe32(file, PsvHeader::SaveSizeOffset, save_size);
  WriteLe32(file, PsvHeader::DataOffsetOffset, PsvHeader::Size);
  WriteLe32(file, PsvHeader::TitleAndIconsOffset, PsvHeader::TitleAndIconsSize);
  WriteLe32(file, PsvHeader::SaveSizeCopyOffset, save_size);
  WriteLe32(file, PsvHeader::UnknownOffset, PsvHeader::Unknown);
  std::ranges::copy(DirectoryNameBytes(save.frame), file.begin() + PsvHeader::NameOffset);
  file.insert(file.end(), save.blocks.begin(), save.blocks.end());
  const SonySignature signature =
      SignSonyFile(file, PsvHeader::SeedOffset, PsvHeader::SignatureOffset);
  std::ranges::copy(signature, file.begin() + PsvHeader::SignatureOffset);
  return file;
}

std::string PsvFileStem(std::span<const uint8_t, FrameSize> frame) {
  auto name = DirectoryNameBytes(frame);
  std::string stem;
  for (uint8_t byte : name.first(kPsvNameTextLength)) {
    if (byte != 0) stem.push_back(static_cast<char>(byte));
  }
  for (uint8_t byte : name.subspan(kPsvNameTextLength)) {
    if (byte == 0) break;
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", byte);
    stem += hex;
  }
  return stem;
}
