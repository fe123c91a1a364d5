// "Novo arquivo imagem", "Abrir arquivo imagem" and "Salvar arquivo imagem".

#include <memory>

#include "card/file_io.h"
#include "card/image_file.h"
#include "image_file_filters.h"
#include "uVexilor.h"
#include "view/block_texts.h"
#include "view/system_path.h"
#include "view/window_texts.h"

namespace {

// Gives a dialog its standard title back however the command ends.
class TitleReset {
 public:
  explicit TitleReset(FileDialogRequest& dialog) : dialog_(dialog) {}
  ~TitleReset() { dialog_.title.clear(); }
  TitleReset(const TitleReset&) = delete;
  TitleReset& operator=(const TitleReset&) = delete;

 private:
  FileDialogRequest& dialog_;
};

}  // namespace

void TForm1::Novoarquivodeimagem1Click() {
  if (!MayDiscardImage()) return;
  SaveDialog1.title = WindowTexts::NewImageDialogTitle;
  const TitleReset reset(SaveDialog1);
  const std::optional<QString> chosen = RunFileDialog(SaveDialog1);
  if (!chosen) return;
  const SaveFilterChoice choice = ImageSaveFilterChoice(SaveDialog1.filter_index);
  const QString path = AddMissingExtension(*chosen, choice.extension);
  // The blank card is written, then read back as any file is, before it replaces the image, so
  // a file that cannot be created leaves the image, its source and the view as they were.
  auto card = std::make_unique<CardImage>();
  FormatImage(*card);
  SaveCardFile(*card, NewCardContainer(choice.format), SystemPath(path));
  CardContainer container;
  if (LoadCardFile(*card, container, SystemPath(path))) ShowCard(*card, std::move(container), path);
}

void TForm1::Abrr1Click() {
  const std::optional<QString> chosen = RunFileDialog(OpenDialog1);
  if (chosen) OpenImageFile(*chosen);
}

void TForm1::OpenImageFile(const QString& path) {
  // Loaded aside: a refused file has said why and the card shown stays, and the question about
  // unsaved edits comes only for a file that can replace it.
  auto card = std::make_unique<CardImage>();
  CardContainer container;
  if (!LoadCardFile(*card, container, SystemPath(path))) {
    OfferRepairedCopy(*card, path);
    return;
  }
  if (!MayDiscardImage()) return;
  ShowCard(*card, std::move(container), path);
}

void TForm1::ShowCard(const CardImage& card, CardContainer container, const QString& source) {
  document_->Load(card, std::move(container), source);
  RememberSourceContent();
  ShowLoadedImage();
  ShowCardFindings();
}

void TForm1::Salvararquivoimagem1Click() {
  if (!dialogs_.AskYesNo(this, WindowTexts::SaveCurrentFileQuestion,
                         WindowTexts::ConfirmationCaption, false)) {
    return;
  }
  SaveImage();
}

bool TForm1::SaveImage() {
  if (document_->Source() == WindowTexts::MemoryCardSource) return SaveImageAs();
  if (!SourceUnchangedOrReplaceConfirmed()) return false;
  SaveCardFile(document_->Image(), document_->Container(), SystemPath(document_->Source()));
  RememberSourceContent();
  document_->MarkSaved();
  return true;
}

bool TForm1::SaveImageAs() {
  const std::optional<QString> chosen = RunFileDialog(SaveDialog1);
  if (!chosen) return false;
  const SaveFilterChoice choice = ImageSaveFilterChoice(SaveDialog1.filter_index);
  SaveCardFile(document_->Image(), NewCardContainer(choice.format),
               SystemPath(AddMissingExtension(*chosen, choice.extension)));
  document_->MarkSaved();
  return true;
}

bool TForm1::MayDiscardImage() {
  if (!document_->IsModified()) return true;
  switch (dialogs_.AskYesNoCancel(this, WindowTexts::SaveCurrentFileQuestion,
                                  WindowTexts::ConfirmationCaption)) {
    case UserDialogs::Answer::Yes:
      return SaveImage();
    case UserDialogs::Answer::No:
      return true;
    case UserDialogs::Answer::Cancel:
      break;
  }
  return false;
}

void TForm1::RememberSourceContent() {
  source_stamp_ = ContentStampOf(SystemPath(document_->Source()));
}

// Another program (or a second window) may have saved the file since: its work is not
// overwritten without asking. A file that is gone holds no one's work.
bool TForm1::SourceUnchangedOrReplaceConfirmed() {
  const std::optional<uint64_t> now = ContentStampOf(SystemPath(document_->Source()));
  if (!now || now == source_stamp_) return true;
  return dialogs_.AskYesNo(this, WindowTexts::ChangedOnDiskQuestion.arg(document_->Source()),
                           WindowTexts::ConfirmationCaption, true);
}
