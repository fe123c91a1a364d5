// "Separar por jogo...": the open card split into one card per game in a chosen folder, the plan
// shown before anything is written and the result after.

#include <QFileInfo>
#include <memory>

#include "card/file_io.h"
#include "collection/split.h"
#include "uVexilor.h"
#include "view/system_path.h"
#include "view/window_texts.h"

namespace {

const QString kCaption = QStringLiteral("Separar por jogo");

QString Text(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString PlanText(const CardPlan& plan, bool carried_out) {
  QString text;
  for (const PlannedSave& save : plan.Saves()) {
    text += TextFromSystemPath(PlanLine(plan, save)) + u'\n';
  }
  return text + Text(PlanSummary(plan, carried_out));
}

QStringList LayoutChoices() {
  QStringList choices;
  for (const CardLayoutInfo& info : CardLayouts()) {
    choices << Text(std::string(info.name)) + QStringLiteral(": ") +
                   Text(std::string(info.pattern));
  }
  return choices;
}

}  // namespace

void TForm1::SepararPorJogo1Click() {
  FileDialogRequest folder;
  folder.name = QStringLiteral("SelectFolderSeparar");
  folder.kind = FileDialogRequest::Kind::Folder;
  folder.title = kCaption + QStringLiteral(": pasta dos cartões");
  const std::optional<QString> destination = RunFileDialog(folder);
  if (!destination) return;
  const std::optional<int> layout = dialogs_.ChooseItem(
      this, kCaption, QStringLiteral("Organização dos cartões por jogo:"), LayoutChoices());
  if (!layout) return;

  // The card as shown now, edits included: the plan reads it again when it writes.
  auto card = std::make_shared<const CardImage>(document_->Image());
  CardPlan plan(PerGameTargets(CardLayouts()[static_cast<std::size_t>(*layout)].layout,
                               PathFromText(SystemPath(*destination))));
  const QString& source_name = document_->Source();
  const QString label = source_name.isEmpty() ? QString() : QFileInfo(source_name).fileName();
  const CardContainer& container = document_->Container();
  const std::size_t source = plan.AddSource({.label = label.toStdString(),
                                             .card = card,
                                             .comments = container.comments,
                                             .card_bytes = container.card_bytes});
  plan.Plan(source, SavesOfSource(plan.Sources()[source]), GameOfSave);
  if (plan.Saves().empty()) {
    dialogs_.ShowMessage(this, QStringLiteral("A imagem não tem 'saves' para separar."),
                         WindowTexts::AttentionCaption);
    return;
  }
  if (!dialogs_.AskYesNo(this, PlanText(plan, false) + QStringLiteral("\n\nGravar os cartões?"),
                         WindowTexts::ConfirmationCaption, false)) {
    return;
  }
  plan.CarryOut();
  dialogs_.ShowMessage(this, PlanText(plan, true),
                       plan.LeftOutCount() == 0 ? kCaption : QStringLiteral("Erro"));
}
