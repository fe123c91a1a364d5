// The commands that take saves from one card to another: Copiar, Recortar and Colar through the
// clipboard, a drag of selected lines between windows, and the export of several saves at once;
// also Renomear 'Save'... and Comentário....

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QListWidget>
#include <QMimeData>
#include <memory>

#include "card/directory_name.h"
#include "card/file_io.h"
#include "card/maintenance.h"
#include "card/save_comments.h"
#include "card/save_placement.h"
#include "card/single_save.h"
#include "save_transfer_data.h"
#include "uFrmComentario.h"
#include "uFrmRenomearSave.h"
#include "uVexilor.h"
#include "view/block_texts.h"
#include "view/system_path.h"
#include "view/window_texts.h"

namespace {

const QString kSingleSaveExtension = QStringLiteral(".mcs");

QStringList NamesOf(const std::vector<SaveContents>& saves) {
  QStringList names;
  for (const SaveContents& save : saves) names << CardText(SaveName(save.frame));
  return names;
}

}  // namespace

std::vector<int> TForm1::SelectedBlocks() const {
  std::vector<int> blocks;
  for (int row = 0; row < ListBox1->count(); ++row) {
    if (ListBox1->item(row)->isSelected()) blocks.push_back(row + 1);
  }
  if (blocks.empty() && IsSaveBlock(SelectedBlock())) blocks.push_back(SelectedBlock());
  return blocks;
}

std::vector<int> TForm1::SelectedSavesInState(uint32_t first_state) const {
  const std::vector<int> selected = SelectedBlocks();
  // One line acts as it always has, refusals included; of several, the lines that fit.
  if (selected.size() <= 1) return selected;
  std::vector<int> saves;
  for (int block : selected) {
    if (GetBlockState(document_->Image(), block) == first_state) saves.push_back(block);
  }
  if (saves.empty()) saves.push_back(SelectedBlock());  // its refusal says why
  return saves;
}

std::vector<SaveContents> TForm1::SavesAt(const std::vector<int>& blocks) const {
  std::vector<SaveContents> saves;
  SaveComments comments = document_->Container().comments;
  for (int block : blocks) {
    std::optional<SaveContents> save = SaveOnCard(document_->Image(), block);
    if (!save) continue;
    save->comment = CommentAt(comments, block);
    saves.push_back(std::move(*save));
  }
  return saves;
}

QMimeData* TForm1::SelectedSavesData() {
  const std::vector<int> blocks = SelectedSavesInState(BlockState::InUseFirst);
  if (blocks.size() == 1 && SelectedSaveStart() == 0) return nullptr;
  const std::vector<SaveContents> saves = SavesAt(blocks);
  if (saves.empty()) return nullptr;
  return NewSaveTransferData(saves);
}

void TForm1::RemoveSaves(const std::vector<int>& blocks, const QString& step) {
  EditImage(step, [&blocks](CardImage& image, CardContainer&) {
    for (int block : blocks) RemoveSave(image, block);
  });
}

void TForm1::Copiar1Click() {
  if (QMimeData* data = SelectedSavesData()) QApplication::clipboard()->setMimeData(data);
}

void TForm1::Recortar1Click() {
  const std::vector<int> blocks = SelectedSavesInState(BlockState::InUseFirst);
  QMimeData* data = SelectedSavesData();
  if (data == nullptr) return;
  QApplication::clipboard()->setMimeData(data);
  RemoveSaves(blocks, StepName(WindowTexts::CutStep, SaveNamesText(document_->Image(), blocks)));
}

void TForm1::Colar1Click() {
  PlaceSaves(QApplication::clipboard()->mimeData(), WindowTexts::PasteStep);
}

bool TForm1::PlaceSaves(const QMimeData* data, const WindowTexts::StepTexts& step) {
  std::optional<std::vector<SaveContents>> saves = SavesOf(data);
  // A refused bundle, or every save in it refused: each has been said.
  if (!saves || saves->empty()) return false;
  return ImportSavesAsStep(StepName(step, NamesOf(*saves)), *saves);
}

void TForm1::StartSavesDrag() {
  const std::vector<int> blocks = SelectedSavesInState(BlockState::InUseFirst);
  QMimeData* data = SelectedSavesData();
  if (data == nullptr) return;
  auto* drag = new QDrag(ListBox1);
  drag->setMimeData(data);
  SavesDragged(blocks, drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction));
}

void TForm1::SavesDragged(const std::vector<int>& blocks, Qt::DropAction action) {
  // The other side accepts a move only when it placed every save; otherwise they stay here.
  if (action != Qt::MoveAction) return;
  RemoveSaves(blocks, StepName(WindowTexts::MoveStep, SaveNamesText(document_->Image(), blocks)));
}

bool TForm1::AcceptsSaves(const QDropEvent* event) const {
  // A window does not take its own lines: that would only copy them beside themselves.
  return document_->HasImage() && HoldsSaves(event->mimeData()) && event->source() != ListBox1;
}

void TForm1::DropSaves(QDropEvent* event) {
  const bool move =
      event->modifiers().testFlag(Qt::ShiftModifier) || event->proposedAction() == Qt::MoveAction;
  bool all_placed = false;
  RunCommand([&] { all_placed = PlaceSaves(event->mimeData(), WindowTexts::DropStep); });
  event->setDropAction(move && all_placed ? Qt::MoveAction : Qt::CopyAction);
  event->accept();
}

void TForm1::RenomearSave1Click() {
  const int block = SelectedSaveStart();
  if (block == 0) return;
  TFrmRenomearSave dialog(SaveName(DirectoryFrameOf(document_->Image(), block)), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::string name = dialog.Name();
  EditImage(WindowTexts::RenameStep.arg(SaveNameText(document_->Image(), block)),
            [block, &name](CardImage& image, CardContainer&) { RenameSave(image, block, name); });
}

void TForm1::Comentario1Click() {
  if (document_->Container().format != CardFormat::DexDrive) {
    dialogs_.ShowMessage(this, WindowTexts::CommentsOnlyInGme, WindowTexts::AttentionCaption);
    return;
  }
  const int block = SelectedSaveStart();
  if (block == 0) return;
  TFrmComentario dialog(CardText(CardFileComment(document_->Container(), block)), this);
  if (dialog.exec() != QDialog::Accepted) return;
  const std::optional<std::string> comment = CardBytes(dialog.Comment());
  if (!comment) {
    dialogs_.ShowMessage(this, WindowTexts::CommentCharacterRefusal, WindowTexts::ErrorCaption);
    return;
  }
  EditImage(WindowTexts::CommentStep.arg(SaveNameText(document_->Image(), block)),
            [block, &comment](CardImage& image, CardContainer& container) {
              SetSaveComment(image, container.comments, block, *comment);
            });
}

void TForm1::ExportSavesToFolder(const std::vector<int>& blocks) {
  FileDialogRequest dialog{QStringLiteral("PastaDialog1"),
                           FileDialogRequest::Kind::Folder,
                           {},
                           {},
                           QStringLiteral("."),
                           {}};
  const std::optional<QString> folder = RunFileDialog(dialog);
  if (!folder) return;
  for (int block : blocks) {
    const QString name =
        AddMissingExtension(SuggestSaveFileName(document_->Image(), block), kSingleSaveExtension);
    const QString path = QDir(*folder).filePath(name);
    if (RegularFileExists(SystemPath(path)) &&
        !dialogs_.AskYesNo(this, WindowTexts::ReplaceFileQuestion.arg(path),
                           WindowTexts::ConfirmationCaption, true)) {
      continue;
    }
    ExportSingleSave(document_->Image(), block, SystemPath(path), SingleSaveFormat::Mcs,
                     document_->Container().card_bytes);
  }
}
