// The editing commands and the single-save commands.

#include <QFileInfo>
#include <array>
#include <memory>

#include "card/directory_name.h"
#include "card/maintenance.h"
#include "card/save_comments.h"
#include "card/save_placement.h"
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

void TForm1::RunMaintenance(const QString& question, const QString& step,
                            const CardDocument::EditFunction& edit) {
  if (!dialogs_.AskYesNo(this, question, WindowTexts::ConfirmationCaption, false)) return;
  EditImage(step, edit);
}

void TForm1::EditImage(const QString& step, const CardDocument::EditFunction& edit) {
  // An edit that changed the image refreshes the view through the document; after a refusal the
  // operation has said why, and the view shows the image as it is.
  if (!document_->Edit(step, edit)) RefreshBlockView();
}

QString TForm1::SelectedSaveName() const {
  const int block = SelectedBlock();
  return IsSaveBlock(block) ? SaveNameText(document_->Image(), block) : QString();
}

void TForm1::DeletarSave1Click() {
  const std::vector<int> blocks = SelectedSavesInState(BlockState::InUseFirst);
  RunMaintenance(WindowTexts::RemoveQuestion,
                 StepName(WindowTexts::RemoveSavesStep, SaveNamesText(document_->Image(), blocks)),
                 [&blocks](CardImage& image, CardContainer&) {
                   for (int block : blocks) RemoveSave(image, block);
                 });
}

void TForm1::RestaurarSave1Click() {
  const std::vector<int> blocks = SelectedSavesInState(BlockState::RemovedFirst);
  RunMaintenance(WindowTexts::RestoreQuestion,
                 StepName(WindowTexts::RestoreSavesStep, SaveNamesText(document_->Image(), blocks)),
                 [&blocks](CardImage& image, CardContainer&) {
                   for (int block : blocks) RestoreSave(image, block);
                 });
}

void TForm1::LimparSavesremovidos1Click() {
  RunMaintenance(WindowTexts::PurgeQuestion, WindowTexts::PurgeStep,
                 [](CardImage& image, CardContainer& container) {
                   PurgeRemovedSaves(image, container.comments);
                 });
}

void TForm1::ChangeRegion(const QString& question, RegionCode region) {
  const int block = SelectedBlock();
  RunMaintenance(
      question, WindowTexts::RegionStep.arg(SelectedSaveName()),
      [block, region](CardImage& image, CardContainer&) { SetSaveRegion(image, block, region); });
}

void TForm1::AlterarlocalidadeUSAmericano1Click() {
  ChangeRegion(WindowTexts::RegionUsQuestion, RegionCode::US);
}

void TForm1::AlterarlocalidadeEUEuropeu1Click() {
  ChangeRegion(WindowTexts::RegionEuQuestion, RegionCode::EU);
}

void TForm1::AlterarlocalidadeJPJapons1Click() {
  ChangeRegion(WindowTexts::RegionJpQuestion, RegionCode::JP);
}

void TForm1::Abrirnicosave1Click() {
  const std::optional<QString> chosen = RunFileDialog(OpenDialog2);
  if (chosen) ImportSaveFile(*chosen);
}

void TForm1::ImportSaveFile(const QString& chosen) {
  const std::string path = SystemPath(chosen);
  if (HoldsCardImage(path)) {
    ImportFromOtherCard(path);
    return;
  }
  std::optional<std::string> name;
  if (IsUnnamedRawSave(path)) {
    name = AskRawSaveName(path);
    if (!name) return;
  }
  if (std::optional<SaveContents> save = ReadSingleSaveFile(path, name)) {
    ImportSavesAsStep(WindowTexts::ImportStep.arg(QFileInfo(chosen).fileName()), {*save});
  } else {
    RefreshBlockView();
  }
}

bool TForm1::ImportSavesAsStep(const QString& step, const std::vector<SaveContents>& saves) {
  const ReplaceQuestion replace = [this](const std::string& name) {
    return dialogs_.AskYesNo(this,
                             WindowTexts::ReplaceSaveQuestion.arg(QString::fromStdString(name)),
                             WindowTexts::ConfirmationCaption, true);
  };
  bool all_placed = true;
  EditImage(step, [&](CardImage& image, CardContainer& container) {
    for (int first : ImportSaves(image, container.comments, saves, replace)) {
      all_placed = all_placed && first != 0;
    }
  });
  return all_placed;
}

// A raw save carries its name only in its file name; when that holds none, the user gives it.
std::optional<std::string> TForm1::AskRawSaveName(const std::string& path) {
  const std::optional<QString> name = dialogs_.AskText(
      this, WindowTexts::RawSaveNameCaption,
      WindowTexts::RawSaveNameQuestion.arg(QFileInfo(TextFromSystemPath(path)).fileName()), {});
  if (!name) return std::nullopt;
  if (!IsDirectoryNameText(name->toStdString())) {
    dialogs_.ShowMessage(this, WindowTexts::RawSaveNameRefusal.arg(*name),
                         WindowTexts::AttentionCaption);
    return std::nullopt;
  }
  return name->toStdString();
}

void TForm1::ImportFromOtherCard(const std::string& path) {
  auto source = std::make_unique<CardImage>();
  CardContainer container;
  if (!LoadSourceCard(*source, container, path)) return;
  TFrmEscolhaSave picker(*source, this);
  if (picker.ListedBlocks().empty()) {
    dialogs_.ShowMessage(this, WindowTexts::NoSaveOnCard.arg(TextFromSystemPath(path)),
                         WindowTexts::AttentionCaption);
    return;
  }
  if (picker.exec() != QDialog::Accepted) return;
  const int block = picker.SelectedBlock();
  std::optional<SaveContents> save =
      SaveFromCard(*source, block, path, CardFileComment(container, block), container.card_bytes);
  if (save) ImportSavesAsStep(WindowTexts::ImportStep.arg(SaveNameText(*source, block)), {*save});
}

void TForm1::Salvarnico1Click() {
  const std::vector<int> saves = SelectedSavesInState(BlockState::InUseFirst);
  if (saves.size() > 1) {
    ExportSavesToFolder(saves);
    return;
  }
  const int block = SelectedSaveStart();
  if (block == 0) return;
  SaveDialog2.file_name = SuggestSaveFileName(document_->Image(), block) + kSingleSaveExtension;
  Frame frame;
  std::ranges::copy(DirectoryFrameOf(document_->Image(), block), frame.begin());
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
  ExportSingleSave(document_->Image(), block, SystemPath(path), format.format,
                   document_->Container().card_bytes);
}
