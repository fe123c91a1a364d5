#include "transfer/fixed_form.h"

#include <QDialog>
#include <QFont>

#include "transfer/form_look.h"

void SetUpFixedForm(QDialog& form, const QString& name, const QString& caption, QSize client) {
  form.setObjectName(name);
  form.setWindowTitle(caption);
  // A title only: no system menu, no close box, no minimise or maximise button, no resizing.
  form.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                      Qt::MSWindowsFixedSizeDialogHint);
  form.setAttribute(Qt::WA_DeleteOnClose);
  form.setFont(FormFont());
  form.setFixedSize(client);
  CentreOnScreen(form);
}
