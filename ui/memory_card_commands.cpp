// "Ler Memory Card", "Gravar Memory Card" and "Formatar Memory Card".

#include "transfer/parameters_dialog.h"
#include "uVexilor.h"

namespace {

const QString MessageCaption = QStringLiteral("Mensagem");
const QString CardSourceName = QStringLiteral("*MEMORY CARD*");
const QString WrittenNote = QStringLiteral("Memory Card gravado com sucesso!");
const QString FormattedNote = QStringLiteral("Memory Card formatado com sucesso!");

// Shows a new parameters dialog modally. By the time it returns the dialog has freed itself and
// the transfer, if one was started, has ended with completed final.
template <typename ParametersDialog>
void RunTransferDialog(TForm1& window, bool& completed) {
  completed = false;
  auto* dialog = new ParametersDialog(
      TransferSetup{window.Image, completed, window.Dialogs(), window.Readers()}, &window);
  dialog->exec();
}

}  // namespace

void TForm1::LerMemoryCard1Click() {
  RunTransferDialog<TFrmParamLeitura>(*this, ReadCompleted);
  // Also after a cancelled dialog or a partial read: the image may hold part of a card.
  if (!ReadCompleted) {
    ShowNoImage();
    return;
  }
  SourceName = CardSourceName;
  ShowLoadedImage();
}

void TForm1::GravarMemoryCard1Click() {
  RunTransferDialog<TFrmParamGravacao>(*this, WriteCompleted);
  if (WriteCompleted) Dialogs().ShowMessage(this, WrittenNote, MessageCaption);
}

void TForm1::FormatarMemoryCard1Click() {
  RunTransferDialog<TFrmParamFormatacao>(*this, FormatCompleted);
  if (FormatCompleted) Dialogs().ShowMessage(this, FormattedNote, MessageCaption);
}
