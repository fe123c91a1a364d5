#include "scripted_dialogs.h"

namespace {

QString Describe(const DialogRequest& request) {
  if (request.kind == DialogRequest::Kind::File) return request.file.name;
  return request.caption + QStringLiteral(": ") + request.text;
}

}  // namespace

void ScriptedDialogs::QueueYes() {
  answers_.push_back({Answer::Kind::Yes, {}});
}
void ScriptedDialogs::QueueNo() {
  answers_.push_back({Answer::Kind::No, {}});
}
void ScriptedDialogs::QueueFile(const QString& path, int filter_index) {
  answers_.push_back({Answer::Kind::File, path, filter_index});
}
void ScriptedDialogs::QueueCancel() {
  answers_.push_back({Answer::Kind::Cancel, {}});
}
void ScriptedDialogs::QueueItem(int index) {
  answers_.push_back({Answer::Kind::Item, {}, index});
}
void ScriptedDialogs::QueueText(const QString& text) {
  answers_.push_back({Answer::Kind::Text, text});
}

void ScriptedDialogs::Record(const DialogRequest& request) {
  requests_.push_back(request);
  if (on_request) on_request(request);
}

// The answers each kind of request takes; Cancel closes any dialog.
bool ScriptedDialogs::Fits(DialogRequest::Kind request, Answer::Kind answer) {
  switch (request) {
    case DialogRequest::Kind::Question:
      return answer == Answer::Kind::Yes || answer == Answer::Kind::No;
    case DialogRequest::Kind::File:
      return answer == Answer::Kind::File || answer == Answer::Kind::Cancel;
    case DialogRequest::Kind::Choice:
      return answer == Answer::Kind::Item || answer == Answer::Kind::Cancel;
    case DialogRequest::Kind::Text:
      return answer == Answer::Kind::Text || answer == Answer::Kind::Cancel;
    case DialogRequest::Kind::Message:
      break;
  }
  return false;
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::TakeAnswer(const DialogRequest& request) {
  if (answers_.empty()) {
    problems_ << QStringLiteral("no answer queued for ") + Describe(request);
    return std::nullopt;
  }
  Answer answer = answers_.front();
  answers_.pop_front();
  if (!Fits(request.kind, answer.kind)) {
    problems_ << QStringLiteral("wrong kind of answer queued for ") + Describe(request);
    return std::nullopt;
  }
  return answer;
}

void ScriptedDialogs::ShowMessage(QWidget* parent, const QString& text, const QString& caption) {
  DialogRequest request;
  request.kind = DialogRequest::Kind::Message;
  request.parent = parent;
  request.text = text;
  request.caption = caption;
  Record(request);
}

bool ScriptedDialogs::AskYesNo(QWidget* parent, const QString& text, const QString& caption,
                               bool no_is_default) {
  DialogRequest request;
  request.kind = DialogRequest::Kind::Question;
  request.parent = parent;
  request.text = text;
  request.caption = caption;
  request.no_is_default = no_is_default;
  Record(request);
  const auto answer = TakeAnswer(request);
  return answer && answer->kind == Answer::Kind::Yes;
}

std::optional<QString> ScriptedDialogs::ChooseFile(QWidget* parent, FileDialogRequest& file) {
  DialogRequest request;
  request.kind = DialogRequest::Kind::File;
  request.parent = parent;
  request.file = file;
  Record(request);
  const auto answer = TakeAnswer(request);
  if (!answer || answer->kind != Answer::Kind::File) return std::nullopt;
  if (answer->filter_index >= 0) file.filter_index = answer->filter_index;
  return answer->path;
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::AskInput(DialogRequest::Kind kind,
                                                                 QWidget* parent,
                                                                 const QString& caption,
                                                                 const QString& label,
                                                                 const QStringList& items) {
  DialogRequest request;
  request.kind = kind;
  request.parent = parent;
  request.text = label;
  request.caption = caption;
  request.items = items;
  Record(request);
  return TakeAnswer(request);
}

std::optional<int> ScriptedDialogs::ChooseItem(QWidget* parent, const QString& caption,
                                               const QString& label, const QStringList& items) {
  const auto answer = AskInput(DialogRequest::Kind::Choice, parent, caption, label, items);
  if (!answer || answer->kind != Answer::Kind::Item) return std::nullopt;
  return answer->filter_index;
}

std::optional<QString> ScriptedDialogs::AskText(QWidget* parent, const QString& caption,
                                                const QString& label, const QString& initial) {
  const auto answer = AskInput(DialogRequest::Kind::Text, parent, caption, label, {initial});
  if (!answer || answer->kind != Answer::Kind::Text) return std::nullopt;
  return answer->path;
}

QStringList ScriptedDialogs::Log() const {
  QStringList log;
  for (const auto& request : requests_) log << Describe(request);
  return log;
}

QStringList ScriptedDialogs::Messages() const {
  QStringList messages;
  for (const auto& request : requests_) {
    if (request.kind == DialogRequest::Kind::Message) messages << Describe(request);
  }
  return messages;
}

void ScriptedDialogs::Clear() {
  answers_.clear();
  requests_.clear();
  problems_.clear();
}
