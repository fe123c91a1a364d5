#include "cli/reader_listing.h"

#include "cli/command_line.h"
#include "readers/reader_registry.h"
#include "view/system_path.h"

int RunLeitores(const QStringList& arguments) {
  CommandLine line(CommandUsage{"leitores",
                                {},
                                {},
                                "Mostra os leitores seriais que podem estar nas portas seriais "
                                "encontradas agora, com as opções que os usam."});
  if (!line.Parse(arguments)) return ExitDone;
  QString text;
  for (const ReaderEntry& reader : ListReaders()) {
    if (reader.kind == ReaderKind::ParallelCable) continue;
    // The USB adaptor is found by its ids: no serial port to name.
    if (reader.kind == ReaderKind::Ps3UsbAdaptor) {
      text += QString::fromStdString(reader.label + "  --leitor " + reader.port + "\n");
      continue;
    }
    text += QStringLiteral("%1  --leitor %2 --serial %3\n")
                .arg(QString::fromStdString(reader.label),
                     QString::fromStdString(ReaderKindName(reader.kind)).toLower(),
                     QString::fromStdString(reader.port));
  }
  PrintOut(text.isEmpty() ? QStringLiteral("Nenhuma porta serial encontrada.\n") : text);
  return ExitDone;
}

ReaderEntry NamedSerialReader(const CommandLine& line, const QString& accepted) {
  const auto kind = SerialReaderKindNamed(line.Value(ReaderOption).toLower().toStdString());
  if (!kind) {
    line.Fail(
        QStringLiteral("--leitor deve ser %1, não \"%2\"").arg(accepted, line.Value(ReaderOption)));
  }
  const std::string port = SystemPath(line.Value(SerialOption));
  return ReaderEntry{ReaderKindName(*kind) + " (" + port + ")", *kind, port};
}
