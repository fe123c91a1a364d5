#include "single_save.h"

#include <algorithm>
#include <vector>

#include "file_checks.h"
#include "file_io.h"
#include "formats/mcs.h"
#include "little_endian.h"
#include "messages.h"
#include "save_chain.h"

namespace {

void ShowExportRefusal() {
  ShowMessage("Não é possível exportar o Save. A checagem de consistência falhou!", "Erro");
}

// The n blocks an import takes, ascending: the lowest available ones, those of last_resort only
// when the others do not suffice.
std::vector<int> ImportTargets(const CardImage& image, int n, std::span<const int> last_resort) {
  std::vector<int> preferred;
  std::vector<int> spare;
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    if (!IsAvailableState(GetBlockState(image, block))) continue;
    (std::ranges::find(last_resort, block) == last_resort.end() ? preferred : spare)
        .push_back(block);
  }
  preferred.insert(preferred.end(), spare.begin(), spare.end());
  preferred.resize(static_cast<std::size_t>(n));
  std::ranges::sort(preferred);
  return preferred;
}

uint16_t LinkTo(const std::vector<int>& blocks, std::size_t next) {
  return next < blocks.size() ? static_cast<uint16_t>(blocks[next] - 1) : NoLink;
}

}  // namespace

std::optional<SaveContents> ReadSingleSaveFile(const std::string& path) {
  if (!RequireExistingFile(path)) return std::nullopt;
  std::vector<uint8_t> file = ReadFilePrefix(path, MaxSingleSaveBytes);
  std::uintmax_t size = file.size() < MaxSingleSaveBytes ? file.size() : FileSizeOf(path);
  return DecodeSingleSave(file, size, path);
}

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

bool ImportSingleSave(CardImage& image, const std::string& path) {
  std::optional<SaveContents> save = ReadSingleSaveFile(path);
  return save && ImportSave(image, *save);
}

std::optional<SaveContents> SaveFromCard(const CardImage& source, int block,
                                         const std::string& source_path,
                                         const std::string& comment) {
  std::optional<SaveContents> save = SaveOnCard(source, block);
  if (!save) return std::nullopt;
  const std::vector<uint8_t> file = EncodeMcs(*save);
  save = DecodeMcs(file, file.size(), source_path);
  if (save) save->comment = comment;
  return save;
}

bool ImportSaveFromCard(CardImage& image, const CardImage& source, int block,
                        const std::string& source_path) {
  std::optional<SaveContents> save = SaveFromCard(source, block, source_path);
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
  return targets.front();
}
