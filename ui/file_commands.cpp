// "Novo arquivo imagem", "Abrir arquivo imagem" and "Salvar arquivo imagem".

#include "card/image_file.h"
#include "uVexilor.h"
#include "view/block_texts.h"
#include "view/system_path.h"
#include "view/window_texts.h"

namespace {

const QString kImageExtension = QStringLiteral(".mc");
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
  const QString path = AddMissingExtension(*chosen, kImageExtension);
  // The blank card is written before it replaces the image, so a file that cannot be created
  // leaves the image, its source and the view as they were.
  CardImage blank;
  FormatImage(blank);
  SaveImageFile(blank, SystemPath(path));
  SourceName = path;
  if (LoadImageFile(Image, SystemPath(SourceName))) {
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
  if (LoadImageFile(Image, SystemPath(path))) {
    SourceName = path;
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
    SaveImageFile(Image, SystemPath(SourceName));
    return;
  }
  SaveImageAs();
}

void TForm1::SaveImageAs() {
  const std::optional<QString> chosen = RunFileDialog(SaveDialog1);
  if (!chosen) return;
  SaveImageFile(Image, SystemPath(AddMissingExtension(*chosen, kImageExtension)));
}
