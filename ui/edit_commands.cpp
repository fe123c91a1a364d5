// The editing commands and the single-save commands.

#include "card/maintenance.h"
#include "card/single_save.h"
#include "uVexilor.h"
#include "view/block_texts.h"
#include "view/system_path.h"
#include "view/window_texts.h"

namespace {
const QString kSingleSaveExtension = QStringLiteral(".mcs");
}

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

void TForm1::ImportSaveFile(const QString& path) {
  ImportSingleSave(Image, SystemPath(path));
  // Also after a refusal: the import has said why, and the view shows the image as it is.
  RefreshBlockView();
}

void TForm1::Salvarnico1Click() {
  const int block = SelectedSaveStart();
  if (block == 0) return;
  SaveDialog2.file_name = SuggestSaveFileName() + kSingleSaveExtension;
  const std::optional<QString> chosen = RunFileDialog(SaveDialog2);
  if (!chosen) return;
  ExportSingleSave(Image, block, SystemPath(AddMissingExtension(*chosen, kSingleSaveExtension)));
}
