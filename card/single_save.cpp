#include "single_save.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <vector>

#include "file_checks.h"
#include "file_io.h"
#include "little_endian.h"
#include "messages.h"
#include "save_chain.h"

namespace {

constexpr std::size_t IdentificationOffset = SingleSaveHeaderSize + TitleFrame::MagicOffset;
constexpr std::size_t IdentificationEnd = IdentificationOffset + 2;

// What the checks need to know of a file: its size and, when it is long enough, its
// identification value.
struct SingleSaveFacts {
  std::uintmax_t size;
  std::optional<uint16_t> identification;
};

std::optional<uint16_t> IdentificationIn(std::span<const uint8_t> prefix) {
  if (prefix.size() < IdentificationEnd) return std::nullopt;
  return ReadLe16(prefix, IdentificationOffset);
}

// The block count, or -1 after showing why the file is refused. The size is tested before the
// identification, and a file too short to carry one fails the identification test.
int CountSaveBlocks(const std::string& path, const SingleSaveFacts& facts) {
  if (facts.size < SingleSaveHeaderSize || (facts.size - SingleSaveHeaderSize) % BlockSize != 0) {
    ShowFileRefusal("O arquivo ", path, " apresentou um tamanho inválido!");
    return -1;
  }
  if (!facts.identification || !IsTitleMagic(*facts.identification)) {
    ShowFileRefusal("O arquivo ", path, " apresentou um ID inválido!");
    return -1;
  }
  // Only an absurdly large file could overflow; it is refused for want of free blocks anyway.
  return static_cast<int>(
      std::min<std::uintmax_t>((facts.size - SingleSaveHeaderSize) / BlockSize, INT_MAX));
}

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

}  // namespace

void ExportSingleSave(const CardImage& image, int block, const std::string& path) {
  if (!IsSaveBlock(block)) {
    ShowInvalidBlockMessage();
    return;
  }
  std::optional<std::vector<int>> chain = FollowSaveChain(image, block);
  if (!chain) {
    ShowExportRefusal();
    return;
  }
  std::vector<uint8_t> file;
  file.reserve(SingleSaveHeaderSize + chain->size() * BlockSize);
  auto frame = DirectoryFrameOf(image, block);
  file.insert(file.end(), frame.begin(), frame.end());
  for (int member : *chain) {
    auto content = BlockOf(image, member);
    file.insert(file.end(), content.begin(), content.end());
  }
  WriteFileAtomically(path, file);
}

int CheckSingleSaveFile(const std::string& path) {
  if (!RequireExistingFile(path)) return -1;
  std::uintmax_t size = FileSizeOf(path);
  return CountSaveBlocks(path, {size, IdentificationIn(ReadFilePrefix(path, IdentificationEnd))});
}

bool ImportSingleSave(CardImage& image, const std::string& path) {
  if (!RequireExistingFile(path)) return false;
  // A save never has more than 15 blocks; a longer file is only measured, never read whole.
  std::vector<uint8_t> file = ReadFilePrefix(path, MaxSingleSaveFileSize);
  std::uintmax_t size = file.size() < MaxSingleSaveFileSize ? file.size() : FileSizeOf(path);
  int n = CountSaveBlocks(path, {size, IdentificationIn(file)});
  if (n < 0) return false;
  int available = CountFreeBlocks(image);
  if (available < n) {
    ShowMessage("São necessário(s) " + std::to_string(n) +
                    " bloco(s) livre(s). Encontrado(s) apenas " + std::to_string(available) +
                    " Bloco(s) livre(s)!",
                "Erro");
    return false;
  }
  // Only a file that changed while it was read can be shorter than its size said.
  std::size_t needed = SingleSaveHeaderSize + static_cast<std::size_t>(n) * BlockSize;
  if (file.size() < needed) throw FileError(path, std::make_error_code(std::errc::io_error));

  std::vector<int> targets = LowestAvailableBlocks(image, n);
  for (std::size_t i = 0; i < targets.size(); ++i) {
    int block = targets[i];
    auto frame = DirectoryFrameOf(image, block);
    if (i == 0) {
      // The stored frame keeps its names, size and region, but its state and link are made to
      // agree with the file, whatever the file says: the blocks must form one chain.
      std::copy_n(file.begin(), FrameSize, frame.begin());
      SetDirectoryState(frame, BlockState::InUseFirst);
    } else {
      std::fill(frame.begin(), frame.end(), uint8_t{0});
      SetDirectoryState(frame,
                        i + 1 == targets.size() ? BlockState::InUseLast : BlockState::InUseMiddle);
    }
    WriteLe16(frame, DirectoryFrame::LinkOffset, LinkTo(targets, i + 1));
    auto source = file.begin() + static_cast<std::ptrdiff_t>(SingleSaveHeaderSize + i * BlockSize);
    std::copy_n(source, BlockSize, BlockOf(image, block).begin());
    UpdateDirectoryXor(image, block);
  }
  return true;
}
