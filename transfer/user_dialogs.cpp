#include "user_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

// The program speaks Portuguese whatever translations the system has installed, so the few
// standard texts of the boxes are set here rather than taken from Qt's catalogues.
const QString kYesText = QStringLiteral("&Sim");
const QString kNoText = QStringLiteral("&Não");
const QString kOpenTitle = QStringLiteral("Abrir");
const QString kSaveTitle = QStringLiteral("Salvar como");

// "Description|*.ext" becomes Qt's "Description (*.ext)"; the pattern is then hidden again by
// HideNameFilterDetails, so the list shows the description exactly as written.
QString QtNameFilter(const QString& filter) {
  const qsizetype bar = filter.indexOf(u'|');
  if (bar < 0) return filter;
  return filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1).replace(u';', u' ') + u')';
}

QString StandardTitle(FileDialogRequest::Kind kind) {
  return kind == FileDialogRequest::Kind::Open ? kOpenTitle : kSaveTitle;
}

}  // namespace

void QtUserDialogs::ShowMessage(QWidget* parent, const QString& text, const QString& caption) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
  box.exec();
}

bool QtUserDialogs::AskYesNo(QWidget* parent, const QString& text, const QString& caption,
                             bool no_is_default) {
  QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
  box.button(QMessageBox::Yes)->setText(kYesText);
  box.button(QMessageBox::No)->setText(kNoText);
  box.setDefaultButton(no_is_default ? QMessageBox::No : QMessageBox::Yes);
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtUserDialogs::ChooseFile(QWidget* parent,
                                                 const FileDialogRequest& request) {
  QFileDialog dialog(parent);
  dialog.setObjectName(request.name);
  const bool open = request.kind == FileDialogRequest::Kind::Open;
  dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  // A missing file is reported by the operation that reads it, not refused by the dialog.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setWindowTitle(request.title.isEmpty() ? StandardTitle(request.kind) : request.title);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirm_overwrite);
  if (!request.filter.isEmpty()) dialog.setNameFilter(QtNameFilter(request.filter));
  if (!request.initial_folder.isEmpty()) {
    dialog.setDirectory(request.initial_folder == QStringLiteral(".") ? QDir::currentPath()
                                                                      : request.initial_folder);
  }
  if (!request.file_name.isEmpty()) dialog.selectFile(request.file_name);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.first();
}
