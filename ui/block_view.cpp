// The block list, the save details and the view states with their sequences.

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include "card/check.h"
#include "stretched_picture.h"
#include "uVexilor.h"
#include "view/block_texts.h"
#include "view/window_texts.h"

namespace {

const QColor kXorOkColour(0, 128, 0);
const QColor kXorErrorColour(255, 0, 0);

void SetTextColour(QLineEdit& edit, const QColor& colour) {
  QPalette palette = edit.palette();
  palette.setColor(QPalette::Active, QPalette::Text, colour);
  palette.setColor(QPalette::Inactive, QPalette::Text, colour);
  edit.setPalette(palette);
}

}  // namespace

void TForm1::FillBlockList() {
  ListBox1->clear();
  const CardImage& image = document_->Image();
  const std::vector<Finding> findings = CheckCard(image, document_->Container().card_bytes);
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    auto* line = new QListWidgetItem(BlockLineText(image, block), ListBox1);
    QString tip = BlockLineToolTip(image, block, CardFileComment(document_->Container(), block));
    // A damaged save's lines, and any block a finding is about, name what was found.
    bool damaged = false;
    for (const Finding& finding : findings) {
      if (finding.block != block && finding.save != block) continue;
      damaged = damaged || finding.damage;
      tip += u'\n' + QString::fromStdString(DescribeFinding(finding));
    }
    line->setToolTip(tip);
    if (damaged) line->setForeground(kXorErrorColour);
    line->setSizeHint(QSize(0, ListRowHeight));
  }
  Label8->setText(SourceLineText(document_->Source()));
  Label9->setText(UsedBlocksText(image));
  Label10->setText(FreeBlocksText(image));
}

void TForm1::ShowSaveDetails(int block) {
  const SaveDetailTexts details = SaveDetails(document_->Image(), block);
  Edit1->setText(details.product_code);
  Edit2->setText(details.game_id);
  Edit3->setText(details.blocks);
  Edit4->setText(details.icon_type);
  Edit5->setText(details.region);
  Edit6->setText(details.save_state);
  SetTextColour(*Edit7, details.xor_valid ? kXorOkColour : kXorErrorColour);
  Edit7->setText(XorCheckText(details.xor_valid));
}

void TForm1::ClearSaveDetails() {
  for (QLineEdit* edit : detail_edits_) edit->clear();
}

void TForm1::ResetSourceInfo() {
  Label8->setText(SourceLineText({}));
  Label9->setText(QStringLiteral("Blocos Usados: 0"));
  Label10->setText(QStringLiteral("Blocos Livres: 0"));
}

void TForm1::SetImageControlsEnabled(bool enabled) {
  ListBox1->setEnabled(enabled);
  for (QLineEdit* edit : detail_edits_) edit->setEnabled(enabled);
  for (QAction* action :
       {Salvararquivoimagem1, Abrirnicosave1, Salvarnico1, SepararPorJogo1, DeletarSave1,
        RestaurarSave1, LimparSavesremovidos1, Repararcartao1, AlterarlocalidadeUSAmericano1,
        AlterarlocalidadeEUEuropeu1, AlterarlocalidadeJPJapons1, GravarMemoryCard1, Copiar1,
        Recortar1, Colar1, RenomearSave1, Comentario1}) {
    action->setEnabled(enabled);
  }
}

void TForm1::EnableImageControls() {
  SetImageControlsEnabled(true);
}

void TForm1::DisableImageControls() {
  SetImageControlsEnabled(false);
  Salvarcone1->setEnabled(false);
  Image1->hide();
}

void TForm1::ShowLoadedImage() {
  ShowTitle();
  BuildIconList();
  EnableImageControls();
  FillBlockList();
  SelectLine(0);
  ShowSaveIcon(0);
  ShowSaveDetails(FirstSaveBlock);
  Timer1->start();
}

void TForm1::ShowNoImage() {
  document_->Close();
  ShowTitle();
  Image1->hide();
  Timer1->stop();
  DisableImageControls();
  ListBox1->clear();
  ClearSaveDetails();
  ResetSourceInfo();
}

void TForm1::ShowTitle() {
  const QString& source = document_->Source();
  const bool from_card = source == WindowTexts::MemoryCardSource;
  setWindowFilePath(from_card ? QString() : source);
  const QString name = from_card ? source : QFileInfo(source).fileName();
  setWindowTitle(source.isEmpty() ? WindowTexts::ProgramCaption
                                  : name + QStringLiteral("[*] - ") + WindowTexts::ProgramCaption);
  setWindowModified(document_->IsModified());
}

void TForm1::RefreshBlockView() {
  const int index = SelectedIndex();
  const std::vector<int> selected = SelectedBlocks();
  BuildIconList();
  FillBlockList();
  if (index < 0) return;
  SelectLine(index);
  // The other selected lines stay selected too, the current one among them.
  for (int block : selected) ListBox1->item(block - 1)->setSelected(true);
  ShowSaveIcon(index);
  ShowSaveDetails(index + 1);
}

void TForm1::ListBox1Click() {
  const int index = SelectedIndex();
  if (index < 0) return;
  ShowSaveDetails(index + 1);
  ShowSaveIcon(index);
}
