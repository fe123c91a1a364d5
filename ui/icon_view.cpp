// The selected save's icon: the icon list, the animation and the icon export.

#include <QAction>
#include <QPainter>

#include "card/file_io.h"
#include "card/icon_file.h"
#include "stretched_picture.h"
#include "uVexilor.h"
#include "view/block_texts.h"
#include "view/system_path.h"
#include "view/window_texts.h"

namespace {

constexpr int kIconFramesPerBlock = 3;
constexpr int kIconPixels = 16;
constexpr int kExportedIconFrame = 1;

}  // namespace

void TForm1::BuildIconList() {
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

void TForm1::Salvarcone1Click() {
  const int block = SelectedSaveStart();
  if (block == 0) return;
  IconFileImage icon_file{};
  BuildIconFile(document_->Image(), block, kExportedIconFrame, icon_file);
  SaveDialog3.file_name = SuggestSaveFileName() + QStringLiteral(".ico");
  const std::optional<QString> chosen = RunFileDialog(SaveDialog3);
  if (!chosen) return;
  WriteFileAtomically(SystemPath(AddMissingExtension(*chosen, QStringLiteral(".ico"))), icon_file);
}
