#include "save_comments.h"

#include <algorithm>

#include "maintenance.h"
#include "messages.h"

std::string& CommentAt(SaveComments& comments, int block) {
  return comments.at(static_cast<std::size_t>(block - FirstSaveBlock));
}

void PurgeRemovedSaves(CardImage& image, SaveComments& comments) {
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    const uint32_t state = GetBlockState(image, block);
    if (state >= BlockState::RemovedFirst && state <= BlockState::RemovedLast) {
      CommentAt(comments, block).clear();
    }
  }
  PurgeRemovedSaves(image);
}

bool SetSaveComment(const CardImage& image, SaveComments& comments, int block,
                    const std::string& comment) {
  if (!RequireSaveInUse(image, block)) return false;
  if (comment.size() > MaxCommentLength) {
    ShowMessage(
        "O comentário deve ter no máximo " + std::to_string(MaxCommentLength) + " caracteres.",
        "Erro");
    return false;
  }
  // A NUL would end the comment early; other control characters have no agreed meaning there.
  if (std::ranges::any_of(
          comment, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
    ShowMessage("O comentário não pode ter caracteres de controle.", "Erro");
    return false;
  }
  CommentAt(comments, block) = comment;
  return true;
}
