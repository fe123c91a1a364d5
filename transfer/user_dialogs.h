#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// Every modal message box and file dialog of the program goes through this one interface: the
// Qt implementation shows the real ones, tests script the answers and read what was asked.

struct FileDialogRequest {
  enum class Kind { Open, Save, Folder };  // Folder: an existing folder is chosen
  QString name;                            // the dialog's component name, e.g. "OpenDialog1"
  Kind kind = Kind::Open;
  QString title;  // empty: the standard title
  // Description, "|", pattern: "Arquivo Memory Card (.MC)|*.mc"; several such pairs are joined
  // by "|", patterns of one filter by ";".
  QString filter;
  QString initial_folder;  // "." is the current working folder; empty: none
  QString file_name;       // offered in the name field
  bool confirm_overwrite = false;
  // With several filters, the name offered with each; it replaces the one in the name field
  // when the user picks that filter. Empty: file_name whatever the filter.
  QStringList filter_file_names{};
  // The filter shown, 0 for the first; the dialog leaves the one the user chose here.
  int filter_index = 0;
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // A box with one OK button and no icon.
  virtual void ShowMessage(QWidget* parent, const QString& text, const QString& caption) = 0;
  // A Yes/No box with no icon; true only for Yes.
  virtual bool AskYesNo(QWidget* parent, const QString& text, const QString& caption,
                        bool no_is_default) = 0;
  enum class Answer { Yes, No, Cancel };
  // A Yes/No/Cancel box with no icon, Yes the default; Esc and the title bar's close button
  // answer Cancel.
  virtual Answer AskYesNoCancel(QWidget* parent, const QString& text, const QString& caption) = 0;
  // The chosen path, or nothing when the user cancelled. Sets request.filter_index.
  virtual std::optional<QString> ChooseFile(QWidget* parent, FileDialogRequest& request) = 0;
  // One of items (its index), the first offered; nothing when the user cancelled.
  virtual std::optional<int> ChooseItem(QWidget* parent, const QString& caption,
                                        const QString& label, const QStringList& items) = 0;
  // A line of text, initial offered; nothing when the user cancelled.
  virtual std::optional<QString> AskText(QWidget* parent, const QString& caption,
                                         const QString& label, const QString& initial) = 0;
};

// The real Qt boxes and dialogs.
class QtUserDialogs : public UserDialogs {
 public:
  void ShowMessage(QWidget* parent, const QString& text, const QString& caption) override;
  bool AskYesNo(QWidget* parent, const QString& text, const QString& caption,
                bool no_is_default) override;
  Answer AskYesNoCancel(QWidget* parent, const QString& text, const QString& caption) override;
  std::optional<QString> ChooseFile(QWidget* parent, FileDialogRequest& request) override;
  std::optional<int> ChooseItem(QWidget* parent, const QString& caption, const QString& label,
                                const QStringList& items) override;
  std::optional<QString> AskText(QWidget* parent, const QString& caption, const QString& label,
                                 const QString& initial) override;
};
