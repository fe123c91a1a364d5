#include "cli/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "card/error_reason_text.h"
#include "card/file_io.h"
#include "view/system_path.h"

namespace {
const QString kProgram = QStringLiteral("vexilor-cli");
const QString kHelpName = QStringLiteral("help");
const QString kForceName = QStringLiteral("forcar");
}  // namespace

CommandLine::CommandLine(CommandUsage usage) : usage_(std::move(usage)) {
  parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  AddOption({"h", kHelpName}, QStringLiteral("Mostra esta ajuda."));
}

void CommandLine::AddOption(const QStringList& names, const QString& help,
                            const QString& value_name) {
  parser_.addOption(QCommandLineOption(names, help, value_name));
  QStringList shown;
  for (const auto& name : names) shown << (name.size() == 1 ? "-" : "--") + name;
  QString synopsis = shown.join(", ");
  if (!value_name.isEmpty()) synopsis += u' ' + value_name;
  option_help_.push_back({names, synopsis, help});
}

QString CommandLine::Usage() const {
  QString usage = QStringLiteral("Uso: %1 %2").arg(kProgram, usage_.name);
  for (const auto& name : usage_.positionals) usage += u' ' + name;
  if (!usage_.options_synopsis.isEmpty()) usage += u' ' + usage_.options_synopsis;
  return usage;
}

QString CommandLine::HelpText() const {
  QString text = Usage() + "\n\n" + usage_.description + "\n\nOpções:\n";
  qsizetype width = 0;
  for (const auto& option : option_help_) width = std::max(width, option.synopsis.size());
  for (const auto& option : option_help_) {
    text += "  " + option.synopsis.leftJustified(width + 2) + option.help + "\n";
  }
  return text;
}

void CommandLine::Fail(const QString& text) const {
  throw UsageError(text, Usage());
}

bool CommandLine::Parse(const QStringList& arguments) {
  // arguments[0] is the command name, standing where QCommandLineParser expects the program.
  if (!parser_.parse(arguments)) {
    if (!parser_.unknownOptionNames().isEmpty()) {
      const QString name = parser_.unknownOptionNames().first();
      Fail(QStringLiteral("opção desconhecida: %1%2").arg(name.size() == 1 ? "-" : "--", name));
    }
    Fail(QStringLiteral("linha de comando inválida (%1)").arg(parser_.errorText()));
  }
  // Which of two values would count is a guess; the user is told instead.
  const QStringList given = parser_.optionNames();
  for (const auto& option : option_help_) {
    const auto times = std::count_if(given.begin(), given.end(), [&](const QString& name) {
      return option.names.contains(name);
    });
    if (times > 1) Fail(QStringLiteral("opção repetida: %1").arg(option.synopsis));
  }
  if (parser_.isSet(kHelpName)) {
    PrintOut(HelpText());
    return false;
  }
  positionals_ = parser_.positionalArguments();
  const qsizetype most = usage_.positionals.size();
  const qsizetype expected =
      std::count_if(usage_.positionals.begin(), usage_.positionals.end(),
                    [](const QString& name) { return !name.startsWith(u'['); });
  if (positionals_.size() < expected) {
    Fail(QStringLiteral("falta o argumento %1").arg(usage_.positionals.at(positionals_.size())));
  }
  const bool repeats = most > 0 && usage_.positionals.last().endsWith(QStringLiteral("..."));
  if (positionals_.size() > most && !repeats) {
    Fail(QStringLiteral("argumento a mais: %1").arg(positionals_.at(most)));
  }
  return true;
}

int CommandLine::BlockArgument(int index) const {
  bool ok = false;
  const QString text = Positional(index);
  const int block = text.toInt(&ok, 10);
  if (!ok || !IsSaveBlock(block)) {
    Fail(QStringLiteral("BLOCO deve ser um número de %1 a %2, não \"%3\"")
             .arg(FirstSaveBlock)
             .arg(LastSaveBlock)
             .arg(text));
  }
  return block;
}

int CommandLine::IntegerOption(const QString& name, int first, int last) const {
  bool ok = false;
  const QString text = Value(name);
  const int value = text.toInt(&ok, 10);
  if (!ok || value < first || value > last) {
    Fail(QStringLiteral("--%1 deve ser um número de %2 a %3, não \"%4\"")
             .arg(name)
             .arg(first)
             .arg(last)
             .arg(text));
  }
  return value;
}

void CommandLine::RequireDistinctFiles(const QString& output, const QStringList& inputs) const {
  for (const auto& input : inputs) {
    if (SameFile(SystemPath(output), SystemPath(input))) {
      Fail(QStringLiteral("a saída %1 é o mesmo arquivo que a entrada %2").arg(output, input));
    }
  }
}

void CommandLine::AddForceOption(const QString& output_name) {
  AddOption({kForceName}, QStringLiteral("Substitui %1 se o arquivo já existe.").arg(output_name));
}

void CommandLine::RequireNewOutput(const QString& output, const QStringList& inputs) const {
  RequireDistinctFiles(output, inputs);
  if (!IsSet(kForceName) && RegularFileExists(SystemPath(output))) {
    Fail(QStringLiteral("o arquivo %1 já existe; use --forcar para substituí-lo").arg(output));
  }
}

void PrintOut(const QString& text) {
  PrintOutUtf8(text.toUtf8());
}

void PrintOutUtf8(const QByteArray& bytes) {
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
  FinishOutput();
}

void FinishOutput() {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return;
  const std::error_code reason(errno != 0 ? errno : EIO, std::generic_category());
  throw OutputError("Não foi possível escrever na saída padrão: " + ErrorReasonText(reason) + ".");
}

void PrintError(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
}
