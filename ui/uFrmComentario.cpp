#include "uFrmComentario.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "card/save_comments.h"
#include "dialog_buttons.h"
#include "transfer/form_look.h"

TFrmComentario::TFrmComentario(const QString& comment, QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmComentario"));
  setWindowTitle(QStringLiteral("Comentário"));
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setFont(FormFont());
  setMinimumWidth(360);

  Edit1 = new QLineEdit(comment, this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setMaxLength(static_cast<int>(MaxCommentLength));
  QDialogButtonBox* buttons = NewOkCancelButtons(*this);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Comentário do 'Save' (DexDrive):"), this));
  layout->addWidget(Edit1);
  layout->addWidget(buttons);
}

QString TFrmComentario::Comment() const {
  return Edit1->text();
}
