// The editing commands and the single-save commands.

#include <array>
#include <memory>

#include "card/maintenance.h"
#include "card/save_source.h"
#include "card/single_save.h"
#include "uFrmEscolhaSave.h"
#include "uVexilor.h"
#include "view/block_texts.h"
#include "view/system_path.h"
#include "view/window_texts.h"

namespace {

const QString kSingleSaveExtension = QStringLiteral(".mcs");

// The export formats in the order of SaveDialog2's filters, with the extension a name without
// one is given.
struct ExportFormat {
  SingleSaveFormat format;
  QString extension;  // empty: the name is kept as typed
};
const std::array<ExportFormat, 4> kExportFormats = {{
    {SingleSaveFormat::Mcs, kSingleSaveExtension},
    {SingleSaveFormat::RawSave, {}},
    {SingleSaveFormat::ActionReplay, QStringLiteral(".psx")},
    {SingleSaveFormat::Psv, QStringLiteral(".PSV")},
}};

}  // namespace

template <typename Operation>
void TForm1::RunMaintenance(const QString& question, Operation operation) {
  if (!dialogs_.AskYesNo(this, question, WindowTexts::ConfirmationCaption, false)) return;
  operation();
  // Also after a refusal: the operation has said why, and the view shows the image as it is.
  RefreshBlockView();
}

void TForm1::DeletarSave1Click() {
  RunMaintenance(WindowTexts::RemoveQuestion, [this] { RemoveSave(Image, SelectedBlock()); });
}

void TForm1::RestaurarSave1Click() {
  RunMaintenance(WindowTexts::RestoreQuestion, [this] { RestoreSave(Image, SelectedBlock()); });
}

void TForm1::LimparSavesremovidos1Click() {
  RunMaintenance(WindowTexts::PurgeQuestion, [this] { PurgeRemovedSaves(Image); });
}

void TForm1::AlterarlocalidadeUSAmericano1Click() {
  RunMaintenance(WindowTexts::RegionUsQuestion,
                 [this] { SetSaveRegion(Image, SelectedBlock(), RegionCode::US); });
}

void TForm1::AlterarlocalidadeEUEuropeu1Click() {
  RunMaintenance(WindowTexts::RegionEuQuestion,
                 [this] { SetSaveRegion(Image, SelectedBlock(), RegionCode::EU); });
}

void TForm1::AlterarlocalidadeJPJapons1Click() {
  RunMaintenance(WindowTexts::RegionJpQuestion,
                 [this] { SetSaveRegion(Image, SelectedBlock(), RegionCode::JP); });
}

void TForm1::Abrirnicosave1Click() {
  const std::optional<QString> chosen = RunFileDialog(OpenDialog2);
  if (chosen) ImportSaveFile(*chosen);
}

void TForm1::ImportSaveFile(const QString& chosen) {
  const std::string path = SystemPath(chosen);
  if (HoldsCardImage(path)) {
    ImportFromOtherCard(path);
  } else {
    ImportSingleSave(Image, path);
  }
  // Also after a refusal: the import has said why, and the view shows the image as it is.
  RefreshBlockView();
}

void TForm1::ImportFromOtherCard(const std::string& path) {
  auto source = std::make_unique<CardImage>();
  std::size_t source_bytes = CardSize;
  if (!LoadSourceCard(*source, path, &source_bytes)) return;
  TFrmEscolhaSave picker(*source, this);
  if (picker.ListedBlocks().empty()) {
    dialogs_.ShowMessage(this, WindowTexts::NoSaveOnCard.arg(TextFromSystemPath(path)),
                         WindowTexts::AttentionCaption);
    return;
  }
  if (picker.exec() != QDialog::Accepted) return;
  ImportSaveFromCard(Image, *source, picker.SelectedBlock(), path, source_bytes);
}

void TForm1::Salvarnico1Click() {
  const int block = SelectedSaveStart();
  if (block == 0) return;
  SaveDialog2.file_name = SuggestSaveFileName() + kSingleSaveExtension;
  Frame frame;
  std::ranges::copy(DirectoryFrameOf(Image, block), frame.begin());
  SaveDialog2.filter_file_names = {SaveDialog2.file_name};
  for (std::size_t i = 1; i < kExportFormats.size(); ++i) {
    SaveDialog2.filter_file_names << QString::fromStdString(
        ProposedSingleSaveFileName(frame, kExportFormats[i].format));
  }
  SaveDialog2.filter_index = 0;
  const std::optional<QString> chosen = RunFileDialog(SaveDialog2);
  if (!chosen) return;
  const ExportFormat& format =
      kExportFormats.at(static_cast<std::size_t>(SaveDialog2.filter_index));
  const QString path =
      format.extension.isEmpty() ? *chosen : AddMissingExtension(*chosen, format.extension);
  ExportSingleSave(Image, block, SystemPath(path), format.format, ImageContainer.card_bytes);
}
