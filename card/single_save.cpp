#include "single_save.h"

#include <algorithm>
#include <vector>

#include "check.h"
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

// The blocks of removed saves that a restoration could bring back.
BlockSet RestorableBlocks(const CardImage& image) {
  BlockSet blocks;
  for (int first = FirstSaveBlock; first <= LastSaveBlock; ++first) {
    if (GetBlockState(image, first) != BlockState::RemovedFirst) continue;
    const ChainCheck chain = CheckChain(image, first);
    if (!chain.sound()) continue;
    for (int block : chain.walk.blocks) blocks.set(static_cast<std::size_t>(block));
  }
  return blocks;
}

// The n blocks an import takes, ascending: never-used blocks first, then removed blocks no
// restorable save holds, then removed saves' blocks, and those of last_resort only when the others
// do not suffice; each group lowest first.
std::vector<int> ImportTargets(const CardImage& image, int n, std::span<const int> last_resort) {
  std::vector<int> ranked[4];
  const BlockSet restorable = RestorableBlocks(image);
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    const uint32_t state = GetBlockState(image, block);
    if (!IsAvailableState(state)) continue;
    int rank = state == BlockState::Free ? 0 : restorable[static_cast<std::size_t>(block)] ? 2 : 1;
    if (std::ranges::find(last_resort, block) != last_resort.end()) rank = 3;
    ranked[rank].push_back(block);
  }
  std::vector<int> blocks;
  for (const auto& group : ranked) blocks.insert(blocks.end(), group.begin(), group.end());
  blocks.resize(static_cast<std::size_t>(n));
  std::ranges::sort(blocks);
  return blocks;
}

// Names each restorable removed save that an import into blocks overwrites.
void WarnOfOverwrittenSaves(const CardImage& before, const std::vector<int>& blocks) {
  const BlockSet restorable = RestorableBlocks(before);
  for (int first = FirstSaveBlock; first <= LastSaveBlock; ++first) {
    if (GetBlockState(before, first) != BlockState::RemovedFirst ||
        !restorable[static_cast<std::size_t>(first)]) {
      continue;
    }
    const ChainWalk chain = WalkSaveChain(before, first);
    const bool hit = std::ranges::any_of(
        chain.blocks, [&](int block) { return std::ranges::count(blocks, block) > 0; });
    if (!hit) continue;
    ShowWarning("O 'save' removido do bloco " + std::to_string(first) + " (" +
                DirectoryName(DirectoryFrameOf(before, first)) +
                ") foi sobrescrito e não pode mais ser restaurado.");
  }
}

uint16_t LinkTo(const std::vector<int>& blocks, std::size_t next) {
  return next < blocks.size() ? static_cast<uint16_t>(blocks[next] - 1) : NoLink;
}

}  // namespace

std::optional<SaveContents> ReadSingleSaveFile(const std::string& path,
                                               const std::optional<std::string>& raw_name) {
  if (!RequireExistingFile(path)) return std::nullopt;
  std::vector<uint8_t> file = ReadFilePrefix(path, MaxSingleSaveBytes);
  std::uintmax_t size = file.size() < MaxSingleSaveBytes ? file.size() : FileSizeOf(path);
  return DecodeSingleSave(file, size, path, raw_name);
}

std::optional<SaveContents> SaveOnCard(const CardImage& image, int block, std::size_t card_bytes) {
  if (!IsSaveBlock(block)) {
    ShowInvalidBlockMessage();
    return std::nullopt;
  }
  if (ChainDamageOf(CheckCard(image, card_bytes), block)) {
    ShowExportRefusal();
    return std::nullopt;
  }
  SaveContents save;
  std::ranges::copy(DirectoryFrameOf(image, block), save.frame.begin());
  const ChainWalk chain = WalkSaveChain(image, block);
  save.block_count = static_cast<int>(chain.blocks.size());
  save.blocks = BytesOfBlocks(image, chain.blocks);
  return save;
}

void ExportSingleSave(const CardImage& image, int block, const std::string& path,
                      SingleSaveFormat format, std::size_t card_bytes) {
  if (std::optional<SaveContents> save = SaveOnCard(image, block, card_bytes)) {
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
  if (!save || !ImportSave(image, *save)) return false;
  const uint32_t stated = ReadLe32(save->frame, DirectoryFrame::SizeOffset);
  const uint32_t held = static_cast<uint32_t>(save->block_count) * BlockSize;
  if (stated != held) {
    ShowWarning("O arquivo " + path + " diz que o 'save' tem " + std::to_string(stated) +
                " bytes, mas traz " + std::to_string(held) + "; o tamanho foi corrigido.");
  }
  return true;
}

bool HoldsRawSave(const std::string& path) {
  if (!RegularFileExists(path)) return false;
  const std::vector<uint8_t> prefix = ReadFilePrefix(path, MaxSingleSaveBytes + 1);
  return RecogniseSingleSave(prefix, prefix.size()) == SingleSaveFormat::RawSave;
}

bool IsUnnamedRawSave(const std::string& path) {
  return HoldsRawSave(path) && !DirectoryNameInFileName(path);
}

std::optional<SaveContents> SaveFromCard(const CardImage& source, int block,
                                         const std::string& source_path, const std::string& comment,
                                         std::size_t source_bytes) {
  std::optional<SaveContents> save = SaveOnCard(source, block, source_bytes);
  if (!save) return std::nullopt;
  const std::vector<uint8_t> file = EncodeMcs(*save);
  save = DecodeMcs(file, file.size(), source_path);
  if (save) save->comment = comment;
  return save;
}

bool ImportSaveFromCard(CardImage& image, const CardImage& source, int block,
                        const std::string& source_path, std::size_t source_bytes) {
  std::optional<SaveContents> save = SaveFromCard(source, block, source_path, {}, source_bytes);
  return save && ImportSave(image, *save);
}

int ImportSave(CardImage& image, const SaveContents& save, std::span<const int> last_resort) {
  const int n = save.block_count;
  int available = CountFreeBlocks(image);
  if (available < n) {
    ShowMessage("São necessário(s) " + std::to_string(n) +
                    " bloco(s) livre(s). Encontrado(s) apenas " + std::to_string(available) +
                    " Bloco(s) livre(s)!",
                "Erro");
    return 0;
  }
  std::vector<int> targets = ImportTargets(image, n, last_resort);
  WarnOfOverwrittenSaves(image, targets);
  for (std::size_t i = 0; i < targets.size(); ++i) {
    int block = targets[i];
    auto frame = DirectoryFrameOf(image, block);
    if (i == 0) {
      // The stored frame keeps its names, size and region, but its state and link are made to
      // agree with the file, whatever the file says: the blocks must form one chain.
      std::ranges::copy(save.frame, frame.begin());
      SetDirectoryState(frame, BlockState::InUseFirst);
      // The size is the blocks the file holds, whatever its field said.
      WriteLe32(frame, DirectoryFrame::SizeOffset, static_cast<uint32_t>(n) * BlockSize);
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
  return targets.front();
}
