// The selected save's icon: the icon list, the animation and the icon export.

#include <QAction>
#include <QFileInfo>
#include <QPainter>
#include <QTimer>

#include "card/file_io.h"
#include "card/icon_file.h"
#include "card/pocketstation.h"
#include "card/save_icon.h"
#include "image_file_filters.h"
#include "pictures/icon_import.h"
#include "pictures/icon_pictures.h"
#include "stretched_picture.h"
#include "uFrmTrocaIcone.h"
#include "uVexilor.h"
#include "view/block_texts.h"
#include "view/system_path.h"
#include "view/window_texts.h"

namespace {

constexpr int kIconFramesPerBlock = 3;
constexpr int kIconPixels = 16;

}  // namespace

void TForm1::BuildIconList() {
  pocketstation_block_ = 0;  // the image changed: its frames are read again
  image_list2_.clear();
  image_list2_.reserve(SaveBlockCount * kIconFramesPerBlock);
  IconFileImage icon_file{};
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    for (int frame = 1; frame <= kIconFramesPerBlock; ++frame) {
      BuildIconFile(document_->Image(), block, frame, icon_file);
      QImage icon;
      icon.loadFromData(icon_file.data(), static_cast<int>(icon_file.size()), "ICO");
      image_list2_.push_back(std::move(icon));
    }
  }
}

void TForm1::ShowSaveIcon(int index) {
  if (index < 0 || index >= SaveBlockCount) return;
  const bool first_block = GetBlockState(document_->Image(), index + 1) == BlockState::InUseFirst;
  Image1->setVisible(first_block);
  Salvarcone1->setEnabled(first_block);
  TrocarIcone1->setEnabled(first_block);
  ShowPocketStationIcon(first_block ? index + 1 : 0);
  const std::size_t number = static_cast<std::size_t>(index * kIconFramesPerBlock + IconPhase - 1);
  if (number >= image_list2_.size()) return;
  QImage picture(kIconPixels, kIconPixels, QImage::Format_RGB888);
  picture.fill(Qt::black);
  QPainter painter(&picture);
  painter.drawImage(0, 0, image_list2_[number]);
  painter.end();
  Image1->SetPicture(picture);
}

void TForm1::Timer1Timer() {
  IconPhase = IconPhase % kIconFramesPerBlock + 1;
  ShowSaveIcon(SelectedIndex());
}

void TForm1::ShowPocketStationIcon(int block) {
  if (block != 0 && !IsPocketStationFile(document_->Image(), block)) block = 0;
  if (block != pocketstation_block_) {
    pocketstation_block_ = block;
    pocketstation_phase_ = 0;
    const MonoIcon icon = block != 0 ? ReadMonoIcon(document_->Image(), block) : MonoIcon{};
    pocketstation_frames_ = MonoIconPictures(icon);
    TimerPocketStation->stop();
    if (pocketstation_frames_.size() > 1) TimerPocketStation->start(icon.delay_ms);
  }
  ImagePocketStation->setVisible(!pocketstation_frames_.empty());
  if (!pocketstation_frames_.empty()) {
    ImagePocketStation->SetPicture(pocketstation_frames_[pocketstation_phase_]);
  }
}

void TForm1::TimerPocketStationTimer() {
  if (pocketstation_frames_.empty()) return;
  pocketstation_phase_ = (pocketstation_phase_ + 1) % pocketstation_frames_.size();
  ImagePocketStation->SetPicture(pocketstation_frames_[pocketstation_phase_]);
}

void TForm1::Salvarcone1Click() {
  const int block = SelectedSaveStart();
  if (block == 0) return;
  const QStringList extensions = IconExportExtensions();
  SaveDialog3.filter_file_names.clear();
  for (const QString& extension : extensions) {
    SaveDialog3.filter_file_names << SuggestSaveFileName(document_->Image(), block) + extension;
  }
  SaveDialog3.file_name = SaveDialog3.filter_file_names.value(SaveDialog3.filter_index);
  const std::optional<QString> chosen = RunFileDialog(SaveDialog3);
  if (!chosen) return;
  // A name that says .png or .gif gets that format; any other takes the chosen filter's.
  const QString filter_extension = extensions.value(SaveDialog3.filter_index, extensions.first());
  const QString path = AddMissingExtension(*chosen, filter_extension);
  const IconFormat format =
      IconFormatNamed(QFileInfo(path).suffix()).value_or(*IconFormatNamed(filter_extension.mid(1)));
  WriteFileAtomically(SystemPath(path),
                      IconFileBytes(document_->Image(), block, format, MinPictureScale));
}

void TForm1::TrocarIcone1Click() {
  const int block = SelectedSaveStart();
  if (block == 0) return;
  OpenDialogIcone = {QStringLiteral("OpenDialogIcone"),
                     FileDialogRequest::Kind::Open,
                     {},
                     QStringLiteral("Figuras (.PNG, .BMP, .GIF, .JPG)|*.png;*.bmp;*.gif;*.jpg;"
                                    "*.jpeg|Todos os arquivos (*.*)|*"),
                     {},
                     {}};
  const std::optional<QString> chosen = RunFileDialog(OpenDialogIcone);
  if (!chosen) return;
  const IconImport picture = IconFromPicture(*chosen);
  if (!picture.icon) {
    dialogs_.ShowMessage(this, picture.refusal, QStringLiteral("Erro"));
    return;
  }
  // Tried on a copy first, so a save without room for the frames says so before the preview.
  auto trial = std::make_unique<CardImage>(document_->Image());
  if (!WriteSaveIcon(*trial, block, *picture.icon)) return;
  TFrmTrocaIcone preview(IconPictures(ReadSaveIcon(document_->Image(), block)),
                         IconPictures(*picture.icon), this);
  if (preview.exec() != QDialog::Accepted) return;
  EditImage(WindowTexts::IconStep.arg(SelectedSaveName()),
            [block, &icon = *picture.icon](CardImage& image, CardContainer&) {
              WriteSaveIcon(image, block, icon);
            });
}
