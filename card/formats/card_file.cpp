#include "card_file.h"

#include <algorithm>
#include <cctype>

#include "card/check.h"
#include "card/file_checks.h"
#include "card/file_io.h"
#include "card/image_file.h"
#include "card/messages.h"
#include "card_recogniser.h"
#include "container_codec.h"
#include "single_save_file.h"

namespace {

const std::vector<CardFormatInfo>& FormatTable() {
  static const std::vector<CardFormatInfo> table = {
      {CardFormat::Raw, "mc", "mc", {"mc", "mcr", "mcd", "srm", "ps", "psm", "ddf", "vm1"}},
      {CardFormat::DexDrive, "DexDrive", "gme", {"gme"}},
      {CardFormat::Vgs, "VGS", "vgs", {"mem", "vgs"}},
      {CardFormat::Vmp, "VMP", "vmp", {"vmp"}},
      {CardFormat::PsxCard, "PSX", "psx", {"psx"}},
  };
  return table;
}

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

void ShowContainerRefusal(const std::string& path, const std::string& problem) {
  ShowFileRefusal("Arquivo ", path, ": " + problem + "!");
}

bool RefuseUnrecognised(const CardFileRecognition& recognition, const std::string& path) {
  const std::string name(InfoOf(recognition.format).name);
  switch (recognition.verdict) {
    case CardFileVerdict::Card:
      return false;
    case CardFileVerdict::DamagedHeader:
      ShowContainerRefusal(path, "cabeçalho " + name + " danificado");
      return true;
    case CardFileVerdict::SizeMismatch:
      ShowContainerRefusal(path, "tamanho inválido para um arquivo " + name);
      return true;
    case CardFileVerdict::Unknown:
      ShowFileRefusal("Tamanho do arquivo ", path, " inválido!");
      return true;
  }
  return true;
}

// A file cut in the middle of a save opens, but never silently: the saves that lost blocks are
// named (by block and directory name, which is ASCII).
void WarnOfLostSaves(const CardImage& image, std::size_t card_bytes, const std::string& path) {
  if (card_bytes == CardSize) return;
  std::string saves;
  for (const Finding& finding : CheckCard(image, card_bytes)) {
    if (finding.kind != FindingKind::ChainLost) continue;
    saves += saves.empty() ? " " : ", ";
    saves += std::to_string(finding.save) + " (" +
             DirectoryName(DirectoryFrameOf(image, finding.save)) + ")";
  }
  if (saves.empty()) return;
  ShowWarning("Arquivo " + path + ": o arquivo termina antes do fim do cartão; perderam dados os " +
              "'saves' dos blocos" + saves + ".");
}

}  // namespace

std::string CardFileComment(const CardContainer& container, int block) {
  if (container.format != CardFormat::DexDrive || !IsSaveBlock(block)) return {};
  return container.comments[static_cast<std::size_t>(block - FirstSaveBlock)];
}

std::span<const CardFormatInfo> CardFormats() {
  return FormatTable();
}

const CardFormatInfo& InfoOf(CardFormat format) {
  for (const CardFormatInfo& info : FormatTable()) {
    if (info.format == format) return info;
  }
  return FormatTable().front();
}

std::optional<CardFormat> CardFormatFromExtension(const std::string& path) {
  std::size_t dot = path.find_last_of("./\\");
  if (dot == std::string::npos || path[dot] != '.') return std::nullopt;
  std::string extension = LowerCase(path.substr(dot + 1));
  for (const CardFormatInfo& info : FormatTable()) {
    if (std::find(info.extensions.begin(), info.extensions.end(), extension) !=
        info.extensions.end()) {
      return info.format;
    }
  }
  return std::nullopt;
}

CardContainer NewCardContainer(CardFormat format) {
  const ContainerCodec& codec = CodecOf(format);
  CardContainer container;
  container.format = format;
  container.header = codec.new_header();
  std::copy(codec.magic.begin(), codec.magic.end(), container.header.begin());
  codec.read_header(container);
  return container;
}

CardContainer ContainerInFormat(const CardContainer& current, CardFormat format) {
  if (current.format == format) return current;
  CardContainer container = NewCardContainer(format);
  container.comments = current.comments;
  return container;
}

CardContainer ContainerForOutput(const CardContainer& current, const std::string& path) {
  std::optional<CardFormat> named = CardFormatFromExtension(path);
  return named ? ContainerInFormat(current, *named) : current;
}

bool LoadCardFile(CardImage& image, CardContainer& container, const std::string& path,
                  CardFileUse use, HeaderRule rule) {
  if (!RequireExistingFile(path)) return false;
  std::vector<uint8_t> file = ReadFilePrefix(path, LargestCardFile + 1);
  CardFileRecognition recognition = RecogniseCardFile(file);
  if (RefuseUnrecognised(recognition, path)) return false;

  const ContainerCodec& codec = CodecOf(recognition.format);
  std::span<const uint8_t> bytes(file);
  if (!AcceptCardBytes(image, bytes.subspan(codec.header_size), path, rule)) return false;
  CardContainer loaded;
  loaded.card_bytes = std::min(bytes.size() - codec.header_size, CardSize);
  WarnOfLostSaves(image, loaded.card_bytes, path);
  loaded.format = codec.format;
  loaded.header.assign(bytes.begin(), bytes.begin() + codec.header_size);
  codec.read_header(loaded);
  loaded.signature_valid = codec.file_verifies(file);
  if (!loaded.signature_valid) {
    // The card itself is sound: a warning, so the command goes on and a save re-signs it.
    const std::string signature = "assinatura " + std::string(InfoOf(codec.format).name);
    ShowWarning("Arquivo " + path +
                (use == CardFileUse::Edited
                     ? ": " + signature + " inválida; o arquivo será assinado de novo ao salvar."
                     : ": a " + signature + " não confere."));
  }
  container = std::move(loaded);
  return true;
}

std::vector<uint8_t> EncodeCardFile(const CardImage& image, const CardContainer& container) {
  const ContainerCodec& codec = CodecOf(container.format);
  std::vector<uint8_t> file(codec.full_size());
  if (container.header.size() == codec.header_size) {
    std::copy(container.header.begin(), container.header.end(), file.begin());
  } else {
    std::vector<uint8_t> header = codec.new_header();
    std::copy(header.begin(), header.end(), file.begin());
  }
  std::copy(codec.magic.begin(), codec.magic.end(), file.begin());
  std::copy(image.begin(), image.end(), file.begin() + codec.header_size);
  codec.complete_file(file, container);
  return file;
}

void SaveCardFile(const CardImage& image, const CardContainer& container, const std::string& path) {
  WriteFileAtomically(path, EncodeCardFile(image, container));
}
