#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

// "Comentário...": the DexDrive comment of a save, one line of at most 255 characters.
class TFrmComentario : public QDialog {
  Q_OBJECT

 public:
  explicit TFrmComentario(const QString& comment, QWidget* parent = nullptr);
  QString Comment() const;

 private:
  QLineEdit* Edit1;
};
