#include "maintenance.h"

#include <algorithm>

#include "little_endian.h"
#include "messages.h"
#include "save_chain.h"

namespace {

constexpr const char* kAttention = "Atenção";

// What distinguishes removal from restoration: the states each accepts and the texts of its
// refusals, in the order they are tested.
struct ChainChange {
  uint32_t first_state;    // the selected block's; its middle and last codes follow it
  uint32_t foreign_first;  // the first-block code of the other family
  int32_t state_step;      // added to byte 0 of every state of the chain
  const char* free_block;
  const char* already_done;
  const char* unknown_type;
  const char* not_first;
  const char* check_failed;
};

constexpr ChainChange kRemoval{
    BlockState::InUseFirst,
    BlockState::RemovedFirst,
    static_cast<int32_t>(BlockState::RemovedOffset),
    "Este bloco já encontra-se livre!",
    "Este bloco já foi removido!",
    "Tipo de bloco desconhecido. Não foi possível removê-lo!",
    "Você deve selecionar o primeiro bloco do Save. Não foi possível removê-lo!",
    "Não é possível remover o bloco. A checagem de consistência falhou!",
};

constexpr ChainChange kRestoration{
    BlockState::RemovedFirst,
    BlockState::InUseFirst,
    -static_cast<int32_t>(BlockState::RemovedOffset),
    "Não é possível restaurar um bloco livre!",
    "Este bloco não foi removido!",
    "Tipo de bloco desconhecido. Não foi possível restaurá-lo!",
    "Você deve selecionar o primeiro bloco do Save. Não foi possível restaurá-lo!",
    "Não é possível restaurar o bloco. A checagem de consistência falhou!",
};

// The refusal for the selected block's own state, in the order the tests are made; nothing when
// the block is the first block the change expects.
const char* StateRefusal(const ChainChange& change, uint32_t state) {
  const uint32_t own_first = change.first_state;
  const uint32_t foreign_first = change.foreign_first;
  if (state == BlockState::Free) return change.free_block;
  if (state >= foreign_first && state <= foreign_first + 2) return change.already_done;
  if (state < own_first || state > own_first + 2) return change.unknown_type;
  if (state != own_first) return change.not_first;
  return nullptr;
}

void ChangeChain(CardImage& image, int block, const ChainChange& change) {
  if (!IsSaveBlock(block)) {
    ShowInvalidBlockMessage();
    return;
  }
  if (const char* refusal = StateRefusal(change, StateOf(image, block))) {
    ShowMessage(refusal, kAttention);
    return;
  }
  // Stricter than CheckSaveChain: every following block must be one the change turns into a
  // known code.
  const ChainCheck chain = CheckChain(image, block);
  if (!chain.sound()) {
    ShowMessage(change.check_failed, kAttention);
    return;
  }
  for (int member : chain.walk.blocks) {
    auto frame = DirectoryFrameOf(image, member);
    SetDirectoryState(frame,
                      static_cast<uint8_t>(frame[DirectoryFrame::StateOffset] + change.state_step));
    UpdateDirectoryXor(image, member);
  }
}

}  // namespace

bool RequireSaveInUse(const CardImage& image, int block) {
  if (!IsSaveBlock(block)) {
    ShowInvalidBlockMessage();
    return false;
  }
  if (StateOf(image, block) != BlockState::InUseFirst) {
    ShowNotASaveStartRefusal();
    return false;
  }
  return true;
}

bool CheckSaveChain(const CardImage& image, int block) {
  if (!IsSaveBlock(block)) {
    ShowInvalidBlockMessage();
    return false;
  }
  if (!IsFirstState(StateOf(image, block))) {
    ShowMessage(
        "A checagem de consistência deve ser iniciada a partir do primeiro bloco da série e que "
        "não esteja livre!",
        kAttention);
    return false;
  }
  std::size_t expected = GetSaveSize(image, block) >> BlockSizeShift;
  // A chain with no end (a loop, or a link that names no block) is inconsistent; it is not
  // followed through the accessors, which would report every bad link as a block error.
  const ChainWalk chain = WalkSaveChain(image, block);
  if (chain.end != ChainEnd::Closed || chain.blocks.size() != expected) return false;
  return std::none_of(chain.blocks.begin() + 1, chain.blocks.end(), [&](int member) {
    uint32_t state = StateOf(image, member);
    return state == BlockState::InUseFirst || state == BlockState::Free;
  });
}

void RemoveSave(CardImage& image, int block) {
  ChangeChain(image, block, kRemoval);
}

void RestoreSave(CardImage& image, int block) {
  ChangeChain(image, block, kRestoration);
}

void PurgeRemovedSaves(CardImage& image) {
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    uint32_t state = StateOf(image, block);
    if (state < BlockState::RemovedFirst || state > BlockState::RemovedLast) continue;
    std::ranges::copy(FreeDirectoryFrame, DirectoryFrameOf(image, block).begin());
    std::ranges::fill(BlockOf(image, block), uint8_t{0});
  }
}

void SetSaveRegion(CardImage& image, int block, RegionCode region) {
  if (!IsSaveBlock(block)) {
    ShowInvalidBlockMessage();
    return;
  }
  if (!IsFirstState(StateOf(image, block))) {
    ShowMessage("Não é possível alterar a localidade para este tipo de bloco!", "Erro");
    return;
  }
  DirectoryFrameOf(image, block)[DirectoryFrame::RegionOffset] = static_cast<uint8_t>(region);
  UpdateDirectoryXor(image, block);
}
