#include "cli/pocketstation_commands.h"

#include <QDateTime>
#include <QString>
#include <variant>

#include "card/file_io.h"
#include "cli/command_line.h"
#include "cli/interrupt.h"
#include "cli/message_report.h"
#include "cli/progress_bar.h"
#include "cli/reader_listing.h"
#include "readers/pocketstation_device.h"
#include "view/system_path.h"

namespace {

const QString kReaderSynopsis = QStringLiteral("--leitor memcarduino --serial PORTA");
const QString kReaderHelp = QStringLiteral("memcarduino (firmware 0.8 ou mais recente).");
const QString kSerialHelp = QStringLiteral("Porta serial do leitor, como COM3 ou /dev/ttyUSB0.");

struct Action {
  const char* name;
  QStringList positionals;
  const char* description;
};
const Action kActions[] = {
    {"info", {}, "Mostra o número de série, a data e a hora da PocketStation."},
    {"bios",
     {"SAIDA"},
     "Copia a BIOS da PocketStation (16 KiB, em 128 partes) para SAIDA. Uma cópia que falha ou "
     "é\ninterrompida (Ctrl+C) não grava nada."},
    {"relogio", {}, "Acerta o relógio da PocketStation com a data e a hora deste computador."},
};

QString GeneralText() {
  QString text =
      QStringLiteral("Uso: vexilor-cli pocketstation info|bios SAIDA [--forcar]|relogio %1\n\n")
          .arg(kReaderSynopsis);
  for (const Action& action : kActions) {
    text += QStringLiteral("  %1: %2\n")
                .arg(QString::fromUtf8(action.name), QString::fromUtf8(action.description));
  }
  return text + QStringLiteral(
                    "\nSó o leitor MemCARDuino com firmware 0.8 ou mais recente tem esses "
                    "comandos.\n\nOpções:\n  --leitor LEITOR  %1\n  --serial PORTA   %2\n")
                    .arg(kReaderHelp, kSerialHelp);
}

ReaderEntry ReaderOf(const CommandLine& line) {
  if (!line.IsSet(ReaderOption) || !line.IsSet(SerialOption)) {
    line.Fail(QStringLiteral("a PocketStation é alcançada com %1").arg(kReaderSynopsis));
  }
  return NamedSerialReader(line, QStringLiteral("memcarduino"));
}

int Failed(const ConnectionFailure& failure) {
  ReportFailure(failure.text, failure.caption);
  return ExitFailed;
}

int CopyBios(PocketStationDevice& device, const QString& output) {
  InterruptFlag interrupt;
  ProgressBar progress(stderr);
  auto copied = device.CopyBios([&](int parts) {
    progress.Show(parts * 100 / PocketStation::BiosParts);
    return !interrupt.raised();
  });
  progress.End();
  if (auto* failure = std::get_if<ConnectionFailure>(&copied)) return Failed(*failure);
  WriteFileAtomically(SystemPath(output), std::get<std::vector<uint8_t>>(copied));
  PrintOut(QString::fromStdString(BiosCopiedText(output.toStdString())) + u'\n');
  return ExitDone;
}

}  // namespace

int RunPocketstation(const QStringList& arguments) {
  const QString name = arguments.value(1);
  const Action* action = nullptr;
  for (const Action& candidate : kActions) {
    if (name == QLatin1String(candidate.name)) action = &candidate;
  }
  if (action == nullptr) {
    const bool help = name == "--help" || name == "-h";
    (help ? PrintOut : PrintError)(GeneralText());
    return help ? ExitDone : ExitUsage;
  }
  CommandLine line({QStringLiteral("pocketstation ") + action->name, action->positionals,
                    kReaderSynopsis, QString::fromUtf8(action->description)});
  line.AddOption({ReaderOption}, kReaderHelp, QStringLiteral("LEITOR"));
  line.AddOption({SerialOption}, kSerialHelp, QStringLiteral("PORTA"));
  const bool copies_bios = name == "bios";
  if (copies_bios) line.AddForceOption(QStringLiteral("SAIDA"));
  if (!line.Parse(arguments.mid(1))) return ExitDone;
  // Refused before the device is touched.
  if (copies_bios) line.RequireNewOutput(line.Positional(0), {});
  PocketStationDevice device(ReaderOf(line));
  if (auto failure = device.Open()) return Failed(*failure);

  if (copies_bios) {
    CheckFileCanBeWritten(SystemPath(line.Positional(0)));
    return CopyBios(device, line.Positional(0));
  }
  if (name == "relogio") {
    const PocketStation::Clock clock = ClockOf(QDateTime::currentDateTime());
    if (auto failure = device.SetClock(clock)) return Failed(*failure);
    PrintOut(QString::fromStdString(ClockSetText(clock)) + u'\n');
    return ExitDone;
  }
  const auto info = device.ReadInfo();
  if (auto* failure = std::get_if<ConnectionFailure>(&info)) return Failed(*failure);
  PrintOut(QString::fromStdString(InfoText(std::get<PocketStation::Info>(info))) + u'\n');
  return ExitDone;
}
