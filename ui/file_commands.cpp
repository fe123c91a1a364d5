// "Novo arquivo imagem", "Abrir arquivo imagem" and "Salvar arquivo imagem".

#include "card/file_io.h"
#include "card/image_file.h"
#include "image_file_filters.h"
#include "uVexilor.h"
#include "view/block_texts.h"
#include "view/system_path.h"
#include "view/window_texts.h"

namespace {

const QString kMemoryCardSource = QStringLiteral("*MEMORY CARD*");

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
  SaveDialog1.title = WindowTexts::NewImageDialogTitle;
  const TitleReset reset(SaveDialog1);
  const std::optional<QString> chosen = RunFileDialog(SaveDialog1);
  if (!chosen) return;
  const SaveFilterChoice choice = ImageSaveFilterChoice(SaveDialog1.filter_index);
  const QString path = AddMissingExtension(*chosen, choice.extension);
  // The blank card is written before it replaces the image, so a file that cannot be created
  // leaves the image, its source and the view as they were.
  CardImage blank;
  FormatImage(blank);
  SaveCardFile(blank, NewCardContainer(choice.format), SystemPath(path));
  SourceName = path;
  if (LoadCardFile(Image, ImageContainer, SystemPath(SourceName))) {
    RememberSourceContent();
    ShowLoadedImage();
  } else {
    ShowNoImage();
  }
}

void TForm1::Abrr1Click() {
  const std::optional<QString> chosen = RunFileDialog(OpenDialog1);
  if (chosen) OpenImageFile(*chosen);
}

void TForm1::OpenImageFile(const QString& path) {
  if (LoadCardFile(Image, ImageContainer, SystemPath(path))) {
    SourceName = path;
    RememberSourceContent();
    ShowLoadedImage();
  } else {
    ShowNoImage();
  }
}

void TForm1::Salvararquivoimagem1Click() {
  if (!dialogs_.AskYesNo(this, WindowTexts::SaveCurrentFileQuestion,
                         WindowTexts::ConfirmationCaption, false)) {
    return;
  }
  if (SourceName != kMemoryCardSource) {
    if (!SourceUnchangedOrReplaceConfirmed()) return;
    SaveCardFile(Image, ImageContainer, SystemPath(SourceName));
    RememberSourceContent();
    return;
  }
  SaveImageAs();
}

void TForm1::SaveImageAs() {
  const std::optional<QString> chosen = RunFileDialog(SaveDialog1);
  if (!chosen) return;
  const SaveFilterChoice choice = ImageSaveFilterChoice(SaveDialog1.filter_index);
  SaveCardFile(Image, NewCardContainer(choice.format),
               SystemPath(AddMissingExtension(*chosen, choice.extension)));
}

void TForm1::RememberSourceContent() {
  source_stamp_ = ContentStampOf(SystemPath(SourceName));
}

// Another program (or a second window) may have saved the file since: its work is not
// overwritten without asking. A file that is gone holds no one's work.
bool TForm1::SourceUnchangedOrReplaceConfirmed() {
  const std::optional<uint64_t> now = ContentStampOf(SystemPath(SourceName));
  if (!now || now == source_stamp_) return true;
  return dialogs_.AskYesNo(this, WindowTexts::ChangedOnDiskQuestion.arg(SourceName),
                           WindowTexts::ConfirmationCaption, true);
}
