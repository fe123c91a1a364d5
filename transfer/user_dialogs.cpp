#include "user_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>

namespace {

// The program speaks Portuguese whatever translations the system has installed, so the few
// standard texts of the boxes are set here rather than taken from Qt's catalogues.
const QString kYesText = QStringLiteral("&Sim");
const QString kNoText = QStringLiteral("&Não");
const QString kCancelText = QStringLiteral("Cancelar");
const QString kOpenTitle = QStringLiteral("Abrir");
const QString kSaveTitle = QStringLiteral("Salvar como");
const QString kFolderTitle = QStringLiteral("Escolha a pasta");
const QString kOkText = QStringLiteral("OK");

// "Description|*.a;*.b" becomes Qt's "Description (*.a *.b)", one per pair of a filter of
// several; the patterns are then hidden again by HideNameFilterDetails, so the list shows the
// descriptions exactly as written.
QStringList QtNameFilters(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  if (parts.size() < 2) return {filter};
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts.at(i + 1);
    filters << parts.at(i) + QStringLiteral(" (") + patterns.replace(u';', u' ') + u')';
  }
  return filters;
}

// The index of a filter as the dialog reports it: with its details hidden, Qt gives the
// description alone.
int IndexOfFilter(const QStringList& filters, const QString& reported) {
  for (qsizetype i = 0; i < filters.size(); ++i) {
    const QString& filter = filters.at(i);
    if (reported == filter || reported == filter.left(filter.lastIndexOf(QStringLiteral(" (")))) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

// Qt's dialog names a folder's type and writes dates after the system's locale, even when the
// program's own is Brazilian Portuguese; these two speak the program's language instead.
class ProgramLocaleFileTypes : public QFileIconProvider {
 public:
  QString type(const QFileInfo& info) const override {
    return info.isDir() ? QStringLiteral("Pasta") : QFileIconProvider::type(info);
  }
};

class ProgramLocaleDates : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;
  static constexpr int DateColumn = 3;  // QFileSystemModel's "Date Modified"

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || index.column() != DateColumn || files == nullptr) {
      return QIdentityProxyModel::data(index, role);
    }
    return QLocale().toString(files->lastModified(mapToSource(index)), QLocale::ShortFormat);
  }
};

// On each change of the name field, Qt's dialog selects in its list the entry the text names;
// typing a full path thus selects "/", then each folder on the way, the one shown among them,
// and the earlier ones are dropped only while the field holds the keyboard focus. Text that
// reaches it otherwise leaves them selected, and "Abrir" and Enter act on the first of them, a
// folder: disabled and doing nothing when it is the folder shown. Only the entry the text
// names stays selected; with none, the dialog takes the text itself.
void SelectOnlyTheNamedEntry(QFileDialog& dialog) {
  auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  auto* list = dialog.findChild<QListView*>(QStringLiteral("listView"));
  if (name == nullptr || list == nullptr) return;
  QObject::connect(name, &QLineEdit::textChanged, &dialog, [&dialog, list](const QString& text) {
    if (text.isEmpty()) return;
    const QString named = QDir::cleanPath(dialog.directory().absoluteFilePath(text));
    QItemSelectionModel* selection = list->selectionModel();
    for (const QModelIndex& row : selection->selectedRows()) {
      if (QDir::cleanPath(row.data(QFileSystemModel::FilePathRole).toString()) != named) {
        selection->select(row, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
      }
    }
  });
}

QString StandardTitle(FileDialogRequest::Kind kind) {
  switch (kind) {
    case FileDialogRequest::Kind::Open:
      return kOpenTitle;
    case FileDialogRequest::Kind::Save:
      return kSaveTitle;
    case FileDialogRequest::Kind::Folder:
      break;
  }
  return kFolderTitle;
}

// An input dialog with its caption, its label and Portuguese buttons.
void SetUpInput(QInputDialog& dialog, const QString& caption, const QString& label) {
  dialog.setWindowTitle(caption);
  dialog.setLabelText(label);
  dialog.setOkButtonText(kOkText);
  dialog.setCancelButtonText(kCancelText);
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

UserDialogs::Answer QtUserDialogs::AskYesNoCancel(QWidget* parent, const QString& text,
                                                  const QString& caption) {
  QMessageBox box(QMessageBox::NoIcon, caption, text,
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
  box.button(QMessageBox::Yes)->setText(kYesText);
  box.button(QMessageBox::No)->setText(kNoText);
  box.button(QMessageBox::Cancel)->setText(kCancelText);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

std::optional<QString> QtUserDialogs::ChooseFile(QWidget* parent, FileDialogRequest& request) {
  ProgramLocaleFileTypes file_types;  // outlives the dialog that uses it
  QFileDialog dialog(parent);
  dialog.setObjectName(request.name);
  dialog.setIconProvider(&file_types);
  dialog.setProxyModel(new ProgramLocaleDates(&dialog));
  SelectOnlyTheNamedEntry(dialog);
  const bool save = request.kind == FileDialogRequest::Kind::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // A missing file is reported by the operation that reads it, not refused by the dialog.
  dialog.setFileMode(request.kind == FileDialogRequest::Kind::Folder ? QFileDialog::Directory
                                                                     : QFileDialog::AnyFile);
  dialog.setWindowTitle(request.title.isEmpty() ? StandardTitle(request.kind) : request.title);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirm_overwrite);
  const QStringList filters = QtNameFilters(request.filter);
  if (!request.filter.isEmpty()) {
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(request.filter_index));
  }
  if (!request.initial_folder.isEmpty()) {
    dialog.setDirectory(request.initial_folder == QStringLiteral(".") ? QDir::currentPath()
                                                                      : request.initial_folder);
  }
  if (!request.file_name.isEmpty()) dialog.selectFile(request.file_name);
  QObject::connect(&dialog, &QFileDialog::filterSelected, [&](const QString& filter) {
    const int index = IndexOfFilter(filters, filter);
    if (index >= 0 && index < request.filter_file_names.size()) {
      dialog.selectFile(request.filter_file_names.at(index));
    }
  });
  const int result = dialog.exec();
  request.filter_index = std::max(0, IndexOfFilter(filters, dialog.selectedNameFilter()));
  if (result != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return chosen.first();
}

std::optional<int> QtUserDialogs::ChooseItem(QWidget* parent, const QString& caption,
                                             const QString& label, const QStringList& items) {
  QInputDialog dialog(parent);
  SetUpInput(dialog, caption, label);
  dialog.setComboBoxItems(items);
  dialog.setComboBoxEditable(false);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const auto index = items.indexOf(dialog.textValue());
  if (index < 0) return std::nullopt;
  return static_cast<int>(index);
}

std::optional<QString> QtUserDialogs::AskText(QWidget* parent, const QString& caption,
                                              const QString& label, const QString& initial) {
  QInputDialog dialog(parent);
  SetUpInput(dialog, caption, label);
  dialog.setTextValue(initial);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}
