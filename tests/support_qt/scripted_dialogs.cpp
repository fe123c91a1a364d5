#include "scripted_dialogs.h"

namespace {

QString Describe(const DialogRequest& request) {
  if (request.kind == DialogRequest::Kind::File) return request.file.name;
  return request.caption + QStringLiteral(": ") + request.text;
}

}  // namespace

void ScriptedDialogs::QueueYes() {
  answers_.push_back({Scripted::Kind::Yes, {}});
}
void ScriptedDialogs::QueueNo() {
  answers_.push_back({Scripted::Kind::No, {}});
}
void ScriptedDialogs::QueueFile(const QString& path, int filter_index) {
  answers_.push_back({Scripted::Kind::File, path, filter_index});
}
void ScriptedDialogs::QueueCancel() {
  answers_.push_back({Scripted::Kind::Cancel, {}});
}
void ScriptedDialogs::QueueItem(int index) {
  answers_.push_back({Scripted::Kind::Item, {}, index});
}
void ScriptedDialogs::QueueText(const QString& text) {
  answers_.push_back({Scripted::Kind::Text, text});
}

void ScriptedDialogs::Record(const DialogRequest& request) {
  requests_.push_back(request);
  if (on_request) on_request(request);
}

std::optional<ScriptedDialogs::Scripted> ScriptedDialogs::TakeAnswer(const DialogRequest& request) {
  if (answers_.empty()) {
    problems_ << QStringLiteral("no answer queued for ") + Describe(request);
    return std::nullopt;
  }
  Scripted answer = answers_.front();
  answers_.pop_front();
  using Kind = DialogRequest::Kind;
  const bool fits = [&] {
    switch (answer.kind) {
      case Scripted::Kind::File:
        return request.kind == Kind::File;
      case Scripted::Kind::Item:
        return request.kind == Kind::Choice;
      case Scripted::Kind::Text:
        return request.kind == Kind::Text;
      case Scripted::Kind::Cancel:
        return request.kind == Kind::File || request.kind == Kind::YesNoCancel ||
               request.kind == Kind::Choice || request.kind == Kind::Text;
      default:
        return request.kind == Kind::Question || request.kind == Kind::YesNoCancel;
    }
  }();
  if (!fits) {
    problems_ << QStringLiteral("wrong kind of answer queued for ") + Describe(request);
    return std::nullopt;
  }
  return answer;
}

void ScriptedDialogs::ShowMessage(QWidget* parent, const QString& text, const QString& caption) {
  Record(Box(DialogRequest::Kind::Message, parent, text, caption));
}

DialogRequest ScriptedDialogs::Box(DialogRequest::Kind kind, QWidget* parent, const QString& text,
                                   const QString& caption) {
  DialogRequest request;
  request.kind = kind;
  request.parent = parent;
  request.text = text;
  request.caption = caption;
  return request;
}

bool ScriptedDialogs::AskYesNo(QWidget* parent, const QString& text, const QString& caption,
                               bool no_is_default) {
  DialogRequest request = Box(DialogRequest::Kind::Question, parent, text, caption);
  request.no_is_default = no_is_default;
  Record(request);
  const auto answer = TakeAnswer(request);
  return answer && answer->kind == Scripted::Kind::Yes;
}

UserDialogs::Answer ScriptedDialogs::AskYesNoCancel(QWidget* parent, const QString& text,
                                                    const QString& caption) {
  const DialogRequest request = Box(DialogRequest::Kind::YesNoCancel, parent, text, caption);
  Record(request);
  const auto answer = TakeAnswer(request);
  if (!answer) return Answer::Cancel;
  if (answer->kind == Scripted::Kind::Yes) return Answer::Yes;
  return answer->kind == Scripted::Kind::No ? Answer::No : Answer::Cancel;
}

std::optional<QString> ScriptedDialogs::ChooseFile(QWidget* parent, FileDialogRequest& file) {
  DialogRequest request;
  request.kind = DialogRequest::Kind::File;
  request.parent = parent;
  request.file = file;
  Record(request);
  const auto answer = TakeAnswer(request);
  if (!answer || answer->kind != Scripted::Kind::File) return std::nullopt;
  if (answer->filter_index >= 0) file.filter_index = answer->filter_index;
  return answer->path;
}

std::optional<ScriptedDialogs::Scripted> ScriptedDialogs::AskInput(DialogRequest::Kind kind,
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
  if (!answer || answer->kind != Scripted::Kind::Item) return std::nullopt;
  return answer->filter_index;
}

std::optional<QString> ScriptedDialogs::AskText(QWidget* parent, const QString& caption,
                                                const QString& label, const QString& initial) {
  const auto answer = AskInput(DialogRequest::Kind::Text, parent, caption, label, {initial});
  if (!answer || answer->kind != Scripted::Kind::Text) return std::nullopt;
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
