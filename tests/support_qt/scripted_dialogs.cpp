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

void ScriptedDialogs::Record(const DialogRequest& request) {
  requests_.push_back(request);
  if (on_request) on_request(request);
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::TakeAnswer(const DialogRequest& request) {
  if (answers_.empty()) {
    problems_ << QStringLiteral("no answer queued for ") + Describe(request);
    return std::nullopt;
  }
  Answer answer = answers_.front();
  answers_.pop_front();
  const bool is_file_answer =
      answer.kind == Answer::Kind::File || answer.kind == Answer::Kind::Cancel;
  if (is_file_answer != (request.kind == DialogRequest::Kind::File)) {
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
