#include "directory_name.h"

#include <algorithm>

#include "maintenance.h"
#include "messages.h"

std::string SaveName(std::span<const uint8_t, FrameSize> frame) {
  auto name = frame.subspan<DirectoryFrame::NameOffset, DirectoryFrame::NameLength>();
  return std::string(name.begin(), std::find(name.begin(), name.end(), uint8_t{0}));
}

std::string PrintableSaveName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (char c : name) {
    if (c >= FirstNameCharacter && c <= LastNameCharacter) {
      shown += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      shown += {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
    }
  }
  return shown;
}

int FindSaveNamed(const CardImage& image, std::string_view name, int except) {
  // A save without a name cannot be told from another by it; no game looks one up.
  if (name.empty()) return 0;
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    if (block != except && GetBlockState(image, block) == BlockState::InUseFirst &&
        SaveName(DirectoryFrameOf(image, block)) == name) {
      return block;
    }
  }
  return 0;
}

std::optional<std::string> DirectoryNameRefusal(std::string_view name) {
  if (name.empty() || name.size() > DirectoryFrame::NameLength) {
    return "O nome do 'Save' deve ter de 1 a " + std::to_string(DirectoryFrame::NameLength) +
           " caracteres.";
  }
  if (!std::ranges::all_of(
          name, [](char c) { return c >= FirstNameCharacter && c <= LastNameCharacter; })) {
    return std::string(
        "O nome do 'Save' só pode ter letras sem acento, algarismos, espaços e os sinais do "
        "ASCII (caracteres 0x20 a 0x7E).");
  }
  return std::nullopt;
}

bool IsDirectoryNameText(std::string_view name) {
  return !DirectoryNameRefusal(name);
}

bool RenameSave(CardImage& image, int block, std::string_view name) {
  if (!RequireSaveInUse(image, block)) return false;
  std::optional<std::string> refusal = DirectoryNameRefusal(name);
  if (!refusal && FindSaveNamed(image, name, block) != 0) {
    refusal = "Já existe um 'Save' com o nome " + std::string(name) + ".";
  }
  if (refusal) {
    ShowMessage(*refusal, "Erro");
    return false;
  }
  auto field = DirectoryFrameOf(image, block)
                   .subspan<DirectoryFrame::NameOffset, DirectoryFrame::NameLength>();
  std::ranges::fill(field, uint8_t{0});
  std::ranges::copy(name, field.begin());
  UpdateDirectoryXor(image, block);
  return true;
}
