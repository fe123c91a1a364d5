#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

#include "card/card_image.h"

// Parsing of one command's arguments, with help and usage texts in Portuguese (Qt's own are in
// English, so the parser is used only to split options from positional arguments).

inline constexpr int ExitDone = 0;
inline constexpr int ExitFailed = 1;  // refused or failed; the program's message is on stderr
inline constexpr int ExitUsage = 2;

// Wrong usage: main prints the text and the command's usage line and exits with ExitUsage.
class UsageError : public std::runtime_error {
 public:
  UsageError(const QString& text, QString usage)
      : std::runtime_error(text.toStdString()), usage_(std::move(usage)) {}
  const QString& usage() const { return usage_; }

 private:
  QString usage_;
};

struct CommandUsage {
  QString name;  // e.g. "remover"
  // Names as shown: {"IMAGEM", "BLOCO"}. Only the last names may be in brackets ("[TEXTO]"),
  // which may be left out, or end in "...", which takes one or more arguments.
  QStringList positionals;
  QString options_synopsis;  // shown after them in the usage line: "[-o SAIDA.mc]"
  QString description;       // one or more lines of help
};

class CommandLine {
 public:
  explicit CommandLine(CommandUsage usage);

  // value_name empty: a flag.
  void AddOption(const QStringList& names, const QString& help, const QString& value_name = {});

  // False when help was asked for and printed; the command then exits with ExitDone. Throws
  // UsageError for an unknown option, a missing value or a wrong number of arguments.
  bool Parse(const QStringList& arguments);

  QString Positional(int index) const { return positionals_.at(index); }
  bool HasPositional(int index) const { return index < positionals_.size(); }
  // The arguments from index on (those of a last name ending in "...").
  QStringList PositionalsFrom(int index) const { return positionals_.mid(index); }
  bool IsSet(const QString& name) const { return parser_.isSet(name); }
  QString Value(const QString& name) const { return parser_.value(name); }

  QString Usage() const;
  [[noreturn]] void Fail(const QString& text) const;

  // Block numbers outside 1..15 are wrong usage, not a question for the card.
  int BlockArgument(int index) const;
  // An integer in first..last, or wrong usage naming the option.
  int IntegerOption(const QString& name, int first, int last) const;
  // Wrong usage when the output names the same file as one of the inputs (whatever the text:
  // another path, a link), which writing would destroy before it is read.
  void RequireDistinctFiles(const QString& output, const QStringList& inputs) const;

  // The overwrite rule of every command that writes a file other than the image it edits: an
  // output that is one of the inputs is wrong usage, and so is an existing one unless --forcar
  // (added by AddForceOption) is given.
  void AddForceOption(const QString& output_name);
  void RequireNewOutput(const QString& output, const QStringList& inputs) const;

 private:
  QString HelpText() const;

  CommandUsage usage_;
  QCommandLineParser parser_;
  struct OptionHelp {
    QStringList names;
    QString synopsis;
    QString help;
  };
  std::vector<OptionHelp> option_help_;
  QStringList positionals_;
};

// Writes UTF-8 text to standard output or standard error as it is. Output that cannot be written
// (a full disk, a closed pipe) throws OutputError: a command whose result is lost has failed.
class OutputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
void PrintOut(const QString& text);
// The same for text already in UTF-8.
void PrintOutUtf8(const QByteArray& bytes);
// Throws OutputError when anything written to standard output did not get through.
void FinishOutput();
void PrintError(const QString& text);
