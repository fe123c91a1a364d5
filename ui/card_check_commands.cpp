// The card check in the window: its findings listed once when a card is shown, "Reparar
// cartão..." as one undo step, and a repaired copy offered for a header whose check byte alone
// is wrong.

#include <memory>

#include "card/check.h"
#include "uVexilor.h"
#include "view/system_path.h"
#include "view/window_texts.h"

namespace {

QString Lines(const QString& intro, const std::vector<std::string>& lines) {
  QString text = intro;
  for (const std::string& line : lines)
    text += QStringLiteral("\n• ") + QString::fromStdString(line);
  return text;
}

}  // namespace

void TForm1::ShowCardFindings() {
  const std::vector<Finding> findings =
      CheckCard(document_->Image(), document_->Container().card_bytes);
  if (findings.empty()) return;
  std::vector<std::string> lines;
  for (const Finding& finding : findings) {
    lines.push_back((finding.damage ? "" : WindowTexts::NoticePrefix.toStdString()) +
                    DescribeFinding(finding));
  }
  QString text = Lines(WindowTexts::CardFindingsIntro, lines);
  if (HasDamage(findings)) text += QStringLiteral("\n\n") + WindowTexts::CardFindingsRepairHint;
  dialogs_.ShowMessage(this, text, WindowTexts::AttentionCaption);
}

void TForm1::Repararcartao1Click() {
  RepairShownCard();
}

void TForm1::RepairShownCard() {
  std::vector<Finding> mended;
  EditImage(WindowTexts::RepairStep, [&mended](CardImage& image, CardContainer& container) {
    mended = RepairCard(image, container.card_bytes);
  });
  std::vector<std::string> done;
  for (const Finding& mend : mended) done.push_back(DescribeMend(mend));
  std::vector<std::string> left;
  for (const Finding& finding : CheckCard(document_->Image(), document_->Container().card_bytes)) {
    if (finding.damage) left.push_back(DescribeFinding(finding));
  }
  QString text =
      done.empty() ? WindowTexts::NothingToRepair : Lines(WindowTexts::RepairedIntro, done);
  if (!left.empty()) text += QStringLiteral("\n\n") + Lines(WindowTexts::NotRepairedIntro, left);
  dialogs_.ShowMessage(this, text, WindowTexts::AttentionCaption);
}

void TForm1::OfferRepairedCopy(const CardImage& refused, const QString& path) {
  if (!RepairableHeaderFault(refused)) return;
  if (!dialogs_.AskYesNo(this, WindowTexts::OpenRepairedCopyQuestion.arg(path),
                         WindowTexts::ConfirmationCaption, /*no_is_default=*/true)) {
    return;
  }
  auto card = std::make_unique<CardImage>();
  CardContainer container;
  if (!LoadCardFile(*card, container, SystemPath(path), CardFileUse::Edited, HeaderRule::McOnly) ||
      !MayDiscardImage()) {
    return;
  }
  // Shown as the file holds it, then repaired as an edit: the copy is unsaved, and undo shows the
  // file's own bytes again.
  document_->Load(*card, std::move(container), path);
  RememberSourceContent();
  ShowLoadedImage();
  RepairShownCard();
}
