// Renders the main window to a PNG without a display: the image is opened through the normal
// "Abrir arquivo imagem" command, and the first save that has an icon is selected.

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTest>
#include <cstdio>

#include "card/card_image.h"
#include "scripted_dialogs.h"
#include "uFrmSobre.h"
#include "uVexilor.h"

namespace {

int FirstSaveLine(const CardImage& image) {
  for (int block = FirstSaveBlock; block <= LastSaveBlock; ++block) {
    if (GetBlockState(image, block) == BlockState::InUseFirst) return block - 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QStringList arguments = application.arguments();
  if (arguments.size() == 3 && arguments[1] == QStringLiteral("--sobre")) {
    TForm2 about;
    about.show();
    return about.grab().save(arguments[2]) ? 0 : 1;
  }
  if (arguments.size() < 2 || arguments.size() > 3) {
    std::fprintf(stderr, "uso: screenshot_tool SAIDA.png [IMAGEM.mc] | --sobre SAIDA.png\n");
    return 2;
  }
  ScriptedDialogs dialogs;
  TForm1 window(dialogs);
  window.show();
  if (arguments.size() == 3) {
    dialogs.QueueFile(arguments[2]);
    window.findChild<QAction*>(QStringLiteral("Abrr1"))->trigger();
    auto* list = window.findChild<QListWidget*>(QStringLiteral("ListBox1"));
    const int line = FirstSaveLine(window.Document().Image());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(line)).center());
  }
  QApplication::processEvents();
  for (const QString& message : dialogs.Messages()) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
  }
  if (!window.grab().save(arguments[1])) {
    std::fprintf(stderr, "não foi possível gravar %s\n", qPrintable(arguments[1]));
    return 1;
  }
  return 0;
}
