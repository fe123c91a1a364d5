#include "transfer/form_look.h"

#include <QApplication>
#include <QFont>
#include <QGroupBox>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>

namespace {

const QString kFormFontFamily = QStringLiteral("MS Sans Serif");
// 8 points at 96 dots per inch; pixels keep the fixed layouts independent of the screen's DPI.
constexpr int kFormFontPixels = 11;

// Faces with metrics close to the bitmap original, narrowest first, so no fixed-size caption
// is clipped where the original is missing.
void RegisterSubstitutes() {
  static const bool registered = [] {
    QFont::insertSubstitutions(
        kFormFontFamily, {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                          QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    return true;
  }();
  (void)registered;
}

// The classic style draws the caption across the frame's top line; the default style of most
// desktops puts it above the frame, where it pushes into the controls under it.
QStyle* GroupBoxStyle() {
  static QPointer<QStyle> style;
  if (style.isNull()) {
    style = QStyleFactory::create(QStringLiteral("Windows"));
    if (style != nullptr) style->setParent(qApp);
  }
  return style;
}

}  // namespace

QFont FormFont() {
  RegisterSubstitutes();
  QFont font(kFormFontFamily);
  font.setPixelSize(kFormFontPixels);
  return font;
}

void UseFormGroupBoxStyle(QGroupBox& box) {
  if (QStyle* style = GroupBoxStyle()) box.setStyle(style);
}

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = window.screen();
  if (screen == nullptr) return;
  QRect frame(QPoint(), window.frameGeometry().size());
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}
