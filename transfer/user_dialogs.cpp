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

// Each "Description|*.ext" pair becomes Qt's "Description (*.ext)"; the pattern is then hidden
// again by HideNameFilterDetails, so the list shows the description exactly as written.
QStringList QtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  if (parts.size() < 2) return {filter};
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    filters << parts[i] + QStringLiteral(" (") + QString(parts[i + 1]).replace(u';', u' ') + u')';
  }
  return filters;
}

// The 1-based position of the filter the dialog shows as selected, which HideNameFilterDetails
// gives without its patterns; 0 when none matches.
int FilterIndexOf(const QStringList& filters, const QString& selected) {
  for (qsizetype i = 0; i < filters.size(); ++i) {
    const QString& filter = filters[i];
    if (filter == selected || filter.left(filter.lastIndexOf(QStringLiteral(" ("))) == selected) {
      return static_cast<int>(i) + 1;
    }
  }
  return 0;
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
  const QStringList filters = QtNameFilters(request.filter);
  if (!request.filter.isEmpty()) {
    dialog.setNameFilters(filters);
    if (request.filter_index >= 1 && request.filter_index <= filters.size()) {
      dialog.selectNameFilter(filters[request.filter_index - 1]);
    }
  }
  if (!request.initial_folder.isEmpty()) {
    dialog.setDirectory(request.initial_folder == QStringLiteral(".") ? QDir::currentPath()
                                                                      : request.initial_folder);
  }
  if (!request.file_name.isEmpty()) dialog.selectFile(request.file_name);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const int chosen_filter = FilterIndexOf(filters, dialog.selectedNameFilter());
  if (chosen_filter > 0) request.filter_index = chosen_filter;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.first();
}
