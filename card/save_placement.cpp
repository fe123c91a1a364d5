#include "save_placement.h"

#include <memory>

#include "directory_name.h"
#include "maintenance.h"
#include "messages.h"
#include "save_chain.h"
#include "save_comments.h"
#include "single_save.h"

namespace {

// The first block a save now starts at; 0 when it was not placed, no_room telling why.
struct Placement {
  int first = 0;
  bool no_room = false;
};

// One save onto image. report_no_room: the import's own refusal when the save does not fit;
// otherwise the caller names it.
Placement PlaceSave(CardImage& image, SaveComments& comments, const SaveContents& save,
                    const ReplaceQuestion& replace, bool report_no_room) {
  const std::string name = SaveName(save.frame);
  const int clash = FindSaveNamed(image, name);
  if (clash != 0 && !replace(PrintableSaveName(name))) return {};
  // Tried on a copy: the old save stays whole when the new one does not fit.
  auto trial = std::make_unique<CardImage>(image);
  std::vector<int> old_blocks;
  if (clash != 0) {
    RemoveSave(*trial, clash);  // says itself why it cannot
    if (GetBlockState(*trial, clash) != BlockState::RemovedFirst) return {};
    old_blocks = WalkSaveChain(*trial, clash).blocks;
  }
  if (!report_no_room && CountFreeBlocks(*trial) < save.block_count) return {0, true};
  const int first = ImportSave(*trial, save, old_blocks);
  if (first == 0) return {0, true};
  image = *trial;
  for (int block : WalkSaveChain(image, first).blocks) {
    CommentAt(comments, block).clear();
  }
  CommentAt(comments, first) = save.comment;
  return {first, false};
}

}  // namespace

std::vector<int> ImportSaves(CardImage& image, SaveComments& comments,
                             std::span<const SaveContents> saves, const ReplaceQuestion& replace) {
  const bool one = saves.size() == 1;
  std::vector<int> firsts;
  std::string left_out;
  for (const SaveContents& save : saves) {
    const Placement placement = PlaceSave(image, comments, save, replace, one);
    firsts.push_back(placement.first);
    if (placement.no_room && !one) {
      left_out += (left_out.empty() ? "" : ", ") + PrintableSaveName(SaveName(save.frame));
    }
  }
  if (!left_out.empty()) ShowMessage("Não há blocos livres para: " + left_out + ".", "Erro");
  return firsts;
}
