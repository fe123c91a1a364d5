// Renders the main window to a PNG without a display: the image is opened through the normal
// "Abrir arquivo imagem" command, and the first save that has an icon is selected. With --dica,
// that line's tooltip (the decoded title) is drawn over the window where it appears.

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPainter>
#include <QTest>
#include <QToolTip>
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

// The window with the tooltip of line drawn where it shows.
QPixmap WithToolTip(QWidget& window, QListWidget& list, int line) {
  const QPoint spot = list.visualItemRect(list.item(line)).center();
  QToolTip::showText(list.viewport()->mapToGlobal(spot), list.item(line)->toolTip(), &list);
  QApplication::processEvents();
  QPixmap shot = window.grab();
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    // The offscreen platform never activates the window, so Qt keeps the tip hidden; it is placed
    // and filled all the same.
    if (widget->inherits("QTipLabel")) {
      QPainter(&shot).drawPixmap(widget->pos() - window.mapToGlobal(QPoint(0, 0)), widget->grab());
    }
  }
  return shot;
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
  const bool tooltip = arguments.size() == 4 && arguments[1] == QStringLiteral("--dica");
  if (tooltip) arguments.removeAt(1);
  if (arguments.size() < 2 || arguments.size() > 3) {
    std::fprintf(stderr,
                 "uso: screenshot_tool [--dica] SAIDA.png [IMAGEM.mc] | --sobre SAIDA.png\n");
    return 2;
  }
  QPixmap shot;
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
    if (tooltip) shot = WithToolTip(window, *list, line);
  }
  QApplication::processEvents();
  for (const QString& message : dialogs.Messages()) {
    std::fprintf(stderr, "%s\n", qPrintable(message));
  }
  if (shot.isNull()) shot = window.grab();
  if (!shot.save(arguments[1])) {
    std::fprintf(stderr, "não foi possível gravar %s\n", qPrintable(arguments[1]));
    return 1;
  }
  return 0;
}
