#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "transfer/user_dialogs.h"

// A UserDialogs for tests: answers come from a queue the test fills in advance, and every
// request is recorded in order. Messages take no answer. A request whose answer is missing or of
// the wrong kind is answered No / Cancel and noted in Problems(), so a test can fail on it
// instead of hanging in a real modal box.

struct DialogRequest {
  enum class Kind { Message, Question, YesNoCancel, File, Choice, Text };
  Kind kind = Kind::Message;
  QWidget* parent = nullptr;
  QString text;  // messages and questions
  QString caption;
  bool no_is_default = false;  // questions
  FileDialogRequest file;      // file dialogs
  QStringList items;           // choices; texts: the text offered first
};

class ScriptedDialogs : public UserDialogs {
 public:
  // Answers, consumed in the order queued.
  void QueueYes();
  void QueueNo();
  // filter_index: the filter the user picks, or -1 to leave the one shown.
  void QueueFile(const QString& path, int filter_index = -1);
  // Cancels a file dialog, a Yes/No/Cancel question, a choice or a text input.
  void QueueCancel();
  void QueueItem(int index);
  void QueueText(const QString& text);

  // Runs for every request after it is recorded and before it is answered, e.g. to act while a
  // box would be open.
  std::function<void(const DialogRequest&)> on_request;

  void ShowMessage(QWidget* parent, const QString& text, const QString& caption) override;
  bool AskYesNo(QWidget* parent, const QString& text, const QString& caption,
                bool no_is_default) override;
  Answer AskYesNoCancel(QWidget* parent, const QString& text, const QString& caption) override;
  std::optional<QString> ChooseFile(QWidget* parent, FileDialogRequest& request) override;
  std::optional<int> ChooseItem(QWidget* parent, const QString& caption, const QString& label,
                                const QStringList& items) override;
  std::optional<QString> AskText(QWidget* parent, const QString& caption, const QString& label,
                                 const QString& initial) override;

  const std::vector<DialogRequest>& Requests() const { return requests_; }
  // One line per request: "caption: text" for boxes, "dialog name" for file dialogs.
  QStringList Log() const;
  // Messages only, as "caption: text".
  QStringList Messages() const;
  QStringList Problems() const { return problems_; }
  bool AllAnswersUsed() const { return answers_.empty(); }
  void Clear();

 private:
  struct Scripted {
    enum class Kind { Yes, No, File, Cancel, Item, Text };
    Kind kind;
    QString path;           // or the text
    int filter_index = -1;  // or the item
  };
  std::optional<Scripted> TakeAnswer(const DialogRequest& request);
  // Records a choice or a text input and takes its answer.
  std::optional<Scripted> AskInput(DialogRequest::Kind kind, QWidget* parent,
                                   const QString& caption, const QString& label,
                                   const QStringList& items);
  void Record(const DialogRequest& request);
  static DialogRequest Box(DialogRequest::Kind kind, QWidget* parent, const QString& text,
                           const QString& caption);

  std::deque<Scripted> answers_;
  std::vector<DialogRequest> requests_;
  QStringList problems_;
};
