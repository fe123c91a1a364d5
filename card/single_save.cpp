#include "single_save.h"

#include <algorithm>
#include <vector>

#include "file_checks.h"
#include "file_io.h"
#include "formats/mcs.h"
#include "formats/raw_save.h"
#include "little_endian.h"
#include "messages.h"
#include "save_chain.h"

namespace {

void ShowExportRefusal() {
  ShowMessage("Não é possível exportar o Save. A checagem de consistência falhou!", "Erro");
}

// The n lowest available blocks, ascending: where an import puts the save's blocks.
std::vector<int> LowestAvailableBlocks(const CardImage& image, int n) {
  std::vector<int> blocks;
  for (int block = FirstSaveBlock; block <= LastSaveBlock && std::ssize(blocks) < n; ++block) {
    if (IsAvailableState(GetBlockState(image, block))) blocks.push_back(block);
  }
  return blocks;
}

uint16_t LinkTo(const std::vector<int>& blocks, std::size_t next) {
  return next < blocks.size() ? static_cast<uint16_t>(blocks[next] - 1) : NoLink;
}

// The file's save, or nothing after the refusal. A save never has more than 15 blocks, so a
// longer file is only measured, never read whole.
std::optional<SaveContents> ReadSingleSaveFile(const std::string& path,
                                               const std::optional<std::string>& raw_name = {}) {
  if (!RequireExistingFile(path)) return std::nullopt;
  std::vector<uint8_t> file = ReadFilePrefix(path, MaxSingleSaveBytes);
  std::uintmax_t size = file.size() < MaxSingleSaveBytes ? file.size() : FileSizeOf(path);
  return DecodeSingleSave(file, size, path, raw_name);
}

}  // namespace

std::optional<SaveContents> SaveOnCard(const CardImage& image, int block) {
  if (!IsSaveBlock(block)) {
    ShowInvalidBlockMessage();
    return std::nullopt;
  }
  std::optional<std::vector<int>> chain = FollowSaveChain(image, block);
  if (!chain) {
    ShowExportRefusal();
    return std::nullopt;
  }
  SaveContents save;
  std::ranges::copy(DirectoryFrameOf(image, block), save.frame.begin());
  save.block_count = static_cast<int>(chain->size());
  save.blocks.reserve(chain->size() * BlockSize);
  for (int member : *chain) {
    auto content = BlockOf(image, member);
    save.blocks.insert(save.blocks.end(), content.begin(), content.end());
  }
  return save;
}

void ExportSingleSave(const CardImage& image, int block, const std::string& path,
                      SingleSaveFormat format) {
  if (std::optional<SaveContents> save = SaveOnCard(image, block)) {
    WriteFileAtomically(path, EncodeSingleSave(*save, format));
  }
}

int CheckSingleSaveFile(const std::string& path) {
  std::optional<SaveContents> save = ReadSingleSaveFile(path);
  return save ? save->block_count : -1;
}

bool ImportSingleSave(CardImage& image, const std::string& path,
                      const std::optional<std::string>& raw_name) {
  std::optional<SaveContents> save = ReadSingleSaveFile(path, raw_name);
  return save && ImportSave(image, *save);
}

bool IsDirectoryNameText(const std::string& name) {
  return !name.empty() && name.size() <= DirectoryFrame::NameLength &&
         std::ranges::all_of(name, [](char c) { return c >= 0x20 && c < 0x7F; });
}

bool HoldsRawSave(const std::string& path) {
  if (!RegularFileExists(path)) return false;
  const std::vector<uint8_t> prefix = ReadFilePrefix(path, MaxSingleSaveBytes + 1);
  return RecogniseSingleSave(prefix, prefix.size()) == SingleSaveFormat::RawSave;
}

bool IsUnnamedRawSave(const std::string& path) {
  return HoldsRawSave(path) && !DirectoryNameInFileName(path);
}

bool ImportSaveFromCard(CardImage& image, const CardImage& source, int block,
                        const std::string& source_path) {
  std::optional<SaveContents> save = SaveOnCard(source, block);
  if (!save) return false;
  const std::vector<uint8_t> file = EncodeMcs(*save);
  save = DecodeMcs(file, file.size(), source_path);
  return save && ImportSave(image, *save);
}

bool ImportSave(CardImage& image, const SaveContents& save) {
  const int n = save.block_count;
  int available = CountFreeBlocks(image);
  if (available < n) {
    ShowMessage("São necessário(s) " + std::to_string(n) +
                    " bloco(s) livre(s). Encontrado(s) apenas " + std::to_string(available) +
                    " Bloco(s) livre(s)!",
                "Erro");
    return false;
  }
  std::vector<int> targets = LowestAvailableBlocks(image, n);
  for (std::size_t i = 0; i < targets.size(); ++i) {
    int block = targets[i];
    auto frame = DirectoryFrameOf(image, block);
    if (i == 0) {
      // The stored frame keeps its names, size and region, but its state and link are made to
      // agree with the file, whatever the file says: the blocks must form one chain.
      std::ranges::copy(save.frame, frame.begin());
      SetDirectoryState(frame, BlockState::InUseFirst);
    } else {
      std::fill(frame.begin(), frame.end(), uint8_t{0});
      SetDirectoryState(frame,
                        i + 1 == targets.size() ? BlockState::InUseLast : BlockState::InUseMiddle);
    }
    WriteLe16(frame, DirectoryFrame::LinkOffset, LinkTo(targets, i + 1));
    std::copy_n(save.blocks.begin() + static_cast<std::ptrdiff_t>(i * BlockSize), BlockSize,
                BlockOf(image, block).begin());
    UpdateDirectoryXor(image, block);
  }
  return true;
}
