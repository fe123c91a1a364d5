#include "transfer/fixed_form.h"

#include <QDialog>
#include <QFont>
#include <QScreen>

namespace {
constexpr int FormFontPixels = 11;
}

void SetUpFixedForm(QDialog& form, const QString& name, const QString& caption, QSize client) {
  form.setObjectName(name);
  form.setWindowTitle(caption);
  // A title only: no system menu and no close box.
  form.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  form.setAttribute(Qt::WA_DeleteOnClose);
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setPixelSize(FormFontPixels);
  form.setFont(font);
  form.setFixedSize(client);
  if (const QScreen* screen = form.screen()) {
    QRect frame(QPoint(), client);
    frame.moveCenter(screen->availableGeometry().center());
    form.move(frame.topLeft());
  }
}
