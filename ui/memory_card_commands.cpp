// "Ler Memory Card", "Gravar Memory Card" and "Formatar Memory Card".

#include <memory>

#include "transfer/parameters_dialog.h"
#include "uVexilor.h"
#include "view/window_texts.h"

namespace {

const QString MessageCaption = QStringLiteral("Mensagem");
const QString WrittenNote = QStringLiteral("Memory Card gravado com sucesso!");
const QString FormattedNote = QStringLiteral("Memory Card formatado com sucesso!");

// Shows a new parameters dialog modally on image. By the time it returns the dialog has freed
// itself and the transfer, if one was started, has ended with completed final.
template <typename ParametersDialog>
void RunTransferDialog(TForm1& window, CardImage& image, bool& completed) {
  completed = false;
  auto* dialog = new ParametersDialog(
      TransferSetup{image, completed, window.Dialogs(), window.Readers()}, &window);
  dialog->exec();
}

}  // namespace

void TForm1::LerMemoryCard1Click() {
  if (!MayDiscardImage()) return;
  // The card is read aside: a cancelled or failed read leaves the window as it was, and only a
  // whole card replaces the image.
  auto card = std::make_unique<CardImage>();
  RunTransferDialog<TFrmParamLeitura>(*this, *card, ReadCompleted);
  if (!ReadCompleted) return;
  ShowCard(*card, CardContainer{}, WindowTexts::MemoryCardSource);
}

void TForm1::GravarMemoryCard1Click() {
  auto sent = std::make_unique<CardImage>(document_->Image());
  RunTransferDialog<TFrmParamGravacao>(*this, *sent, WriteCompleted);
  if (WriteCompleted) Dialogs().ShowMessage(this, WrittenNote, MessageCaption);
}

void TForm1::FormatarMemoryCard1Click() {
  // A format sends a blank card of its own and never touches the image it is given.
  auto untouched = std::make_unique<CardImage>();
  RunTransferDialog<TFrmParamFormatacao>(*this, *untouched, FormatCompleted);
  if (FormatCompleted) Dialogs().ShowMessage(this, FormattedNote, MessageCaption);
}
