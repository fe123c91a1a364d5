#include "cli/transfer_commands.h"

#include <memory>
#include <optional>

#include "card/file_checks.h"
#include "card/file_io.h"
#include "card/formats/card_file.h"
#include "card/image_file.h"
#include "cli/command_line.h"
#include "cli/reader_listing.h"
#include "cli/reported_transfer.h"
#include "cli/write_verification.h"
#include "readers/emulated_ps3_adaptor.h"
#include "readers/lpt_connection.h"
#include "readers/ps3_adaptor_connection.h"
#include "readers/ps3_adaptor_reader.h"
#include "readers/reader_registry.h"
#include "transfer/card_run.h"
#include "transport/emulated_card.h"
#include "transport/emulated_card_port_access.h"
#include "transport/port.h"
#include "view/system_path.h"

namespace {

const QString kPortOption = QStringLiteral("porta");
const QString kDelayOption = QStringLiteral("delay");
const QString kVirtualCardOption = QStringLiteral("cartao-virtual");
const QString kVerifyOption = QStringLiteral("verificar");
const QStringList kPortNames = {"LPT1", "LPT2", "LPT3"};
constexpr int kFirstDelay = 1;
constexpr int kLastDelay = 10;
constexpr int kDefaultDelay = 3;

struct TransferOptions {
  ReaderEntry reader;
  int delay;
  std::optional<std::string> virtual_card;  // path of the emulated card's .mc file
  bool verify = false;                      // gravar: read the card back and compare
};

void AddTransferOptions(CommandLine& line) {
  line.AddOption({kPortOption}, QStringLiteral("Porta paralela do cabo (padrão LPT1)."),
                 QStringLiteral("LPT1|LPT2|LPT3"));
  line.AddOption({kDelayOption}, QStringLiteral("Atraso do sinal, de 1 a 10 (padrão 3)."),
                 QStringLiteral("1..10"));
  line.AddOption({kVirtualCardOption},
                 QStringLiteral("Usa um Memory Card emulado, guardado no arquivo CARTAO.mc, em "
                                "vez da porta."),
                 QStringLiteral("CARTAO.mc"));
  line.AddOption({ReaderOption},
                 QStringLiteral("Leitor em vez do cabo: memcarduino, ps1cardlink ou dexdrive (com "
                                "--serial), ou ps3usb (Adaptador USB PS3)."),
                 QStringLiteral("memcarduino|ps1cardlink|dexdrive|ps3usb"));
  line.AddOption({SerialOption},
                 QStringLiteral("Porta serial do leitor, como COM3 ou /dev/ttyUSB0 (veja "
                                "vexilor-cli leitores)."),
                 QStringLiteral("PORTA"));
}

CommandUsage TransferUsage(QString name, QStringList positionals, QString description,
                           QString extra_options = {}) {
  return {std::move(name), std::move(positionals),
          "[--porta LPT1|LPT2|LPT3 | --cartao-virtual CARTAO.mc | --leitor LEITOR --serial "
          "PORTA | --leitor ps3usb [--cartao-virtual CARTAO.mc]] [--delay 1..10]" +
              extra_options,
          std::move(description)};
}

bool UsbAdaptorNamed(const CommandLine& line) {
  return line.IsSet(ReaderOption) &&
         line.Value(ReaderOption).toLower().toStdString() == Ps3AdaptorReader().port;
}

// --leitor names a reader, which keeps its own time: no --delay with it. A serial reader needs
// --serial; the USB adaptor is found by its ids.
std::optional<ReaderEntry> ReaderOf(const CommandLine& line) {
  if (line.IsSet(kDelayOption) && line.IsSet(ReaderOption)) {
    line.Fail(QStringLiteral("--delay vale só para a porta paralela"));
  }
  if (UsbAdaptorNamed(line)) {
    if (line.IsSet(SerialOption)) line.Fail(QStringLiteral("--serial não vale para ps3usb"));
    return Ps3AdaptorReader();
  }
  if (line.IsSet(ReaderOption) != line.IsSet(SerialOption)) {
    line.Fail(QStringLiteral("--leitor e --serial vão juntos"));
  }
  if (!line.IsSet(ReaderOption)) return std::nullopt;
  return NamedSerialReader(line, QStringLiteral("memcarduino, ps1cardlink, dexdrive ou ps3usb"));
}

TransferOptions TransferOptionsOf(const CommandLine& line) {
  TransferOptions options{ParallelReader("LPT1"), kDefaultDelay, std::nullopt};
  if (line.IsSet(kPortOption) && line.IsSet(kVirtualCardOption)) {
    line.Fail(QStringLiteral("use --porta ou --cartao-virtual, não os dois"));
  }
  // The USB adaptor alone may stand in front of the emulated card.
  const bool reader = line.IsSet(ReaderOption) || line.IsSet(SerialOption);
  const bool virtual_card_refused = line.IsSet(kVirtualCardOption) && !UsbAdaptorNamed(line);
  if (reader && (line.IsSet(kPortOption) || virtual_card_refused)) {
    line.Fail(QStringLiteral("use só um de --porta, --cartao-virtual e --leitor"));
  }
  if (line.IsSet(kPortOption)) {
    const QString port = line.Value(kPortOption).toUpper();
    if (!kPortNames.contains(port)) {
      line.Fail(QStringLiteral("--porta deve ser LPT1, LPT2 ou LPT3, não \"%1\"")
                    .arg(line.Value(kPortOption)));
    }
    options.reader = ParallelReader(port.toStdString());
  }
  if (auto chosen = ReaderOf(line)) options.reader = *chosen;
  if (line.IsSet(kDelayOption)) {
    options.delay = line.IntegerOption(kDelayOption, kFirstDelay, kLastDelay);
  }
  if (line.IsSet(kVirtualCardOption))
    options.virtual_card = SystemPath(line.Value(kVirtualCardOption));
  return options;
}

// The emulated card's file, when one is named.
QStringList VirtualCardArgument(const CommandLine& line) {
  if (!line.IsSet(kVirtualCardOption)) return {};
  return {line.Value(kVirtualCardOption)};
}

// The emulated card as its file holds it: any 131072 bytes, as a real card may hold anything.
bool LoadVirtualCard(EmulatedCard& card, const std::string& path) {
  if (!RequireExistingFile(path)) return false;
  if (card.LoadFrom(path)) return true;
  ShowFileRefusal("Tamanho do arquivo ", path, " inválido!");
  return false;
}

// An emulated card's file is rewritten after a write or format however far it got, as a real card
// would keep what it had received. A verified write reads the card back over a new connection.
bool Transfer(TransferKind kind, CardImage& image, const TransferOptions& options,
              const std::string& stopped_note) {
  std::unique_ptr<EmulatedCard> card;
  if (options.virtual_card) {
    card = std::make_unique<EmulatedCard>(PortBaseFromName(options.reader.port));
    if (!LoadVirtualCard(*card, *options.virtual_card)) return false;
  }
  const auto connect = [&]() -> std::unique_ptr<CardConnection> {
    if (!card) return MakeReaderConnection(options.reader, options.delay);
    if (options.reader.kind == ReaderKind::Ps3UsbAdaptor) {
      return std::make_unique<Ps3AdaptorConnection>(std::make_unique<EmulatedPs3Adaptor>(*card));
    }
    return std::make_unique<LptConnection>(std::make_unique<EmulatedCardPortAccess>(*card),
                                           options.reader.port, options.delay);
  };
  bool completed = RunReportedTransfer(kind, image, *connect(), stopped_note);
  if (completed && options.verify) completed = VerifyWrittenCard(image, *connect());
  if (card && kind != TransferKind::Read) card->SaveTo(*options.virtual_card);
  return completed;
}

}  // namespace

int RunLer(const QStringList& arguments) {
  CommandLine line(TransferUsage("ler", {"SAIDA.mc"},
                                 "Lê o Memory Card inteiro e grava a imagem em SAIDA.mc. Uma "
                                 "leitura que falha ou é interrompida não grava nada.",
                                 " [--forcar]"));
  AddTransferOptions(line);
  line.AddForceOption(QStringLiteral("SAIDA.mc"));
  if (!line.Parse(arguments)) return ExitDone;
  const TransferOptions options = TransferOptionsOf(line);
  line.RequireNewOutput(line.Positional(0), VirtualCardArgument(line));
  // Minutes of reading must not end in finding that the file cannot be written.
  CheckFileCanBeWritten(SystemPath(line.Positional(0)));
  auto image = std::make_unique<CardImage>();
  if (!Transfer(TransferKind::Read, *image, options, "nada foi gravado.")) return ExitFailed;
  const std::string path = SystemPath(line.Positional(0));
  SaveCardFile(*image, ContainerForOutput(CardContainer{}, path), path);
  return ExitDone;
}

int RunGravar(const QStringList& arguments) {
  CommandLine line(TransferUsage("gravar", {"IMAGEM"},
                                 "Grava a imagem no Memory Card, sobrepondo todos os seus dados.",
                                 " [--verificar]"));
  AddTransferOptions(line);
  line.AddOption({kVerifyOption},
                 QStringLiteral("Depois de gravar, lê o Memory Card inteiro e compara com a "
                                "imagem, frame a frame."));
  if (!line.Parse(arguments)) return ExitDone;
  TransferOptions options = TransferOptionsOf(line);
  // The emulated card is written: it cannot be the image written onto it.
  for (const QString& card : VirtualCardArgument(line)) {
    line.RequireDistinctFiles(card, {line.Positional(0)});
  }
  options.verify = line.IsSet(kVerifyOption);
  auto image = std::make_unique<CardImage>();
  CardContainer container;
  if (!LoadCardFile(*image, container, SystemPath(line.Positional(0)), CardFileUse::OnlyRead)) {
    return ExitFailed;
  }
  if (!Transfer(TransferKind::Write, *image, options, "o Memory Card foi gravado só em parte.")) {
    return ExitFailed;
  }
  PrintOut(QStringLiteral("Memory Card gravado com sucesso!\n"));
  return ExitDone;
}

int RunFormatar(const QStringList& arguments) {
  CommandLine line(
      TransferUsage("formatar", {}, "Formata o Memory Card, apagando todos os dados."));
  AddTransferOptions(line);
  if (!line.Parse(arguments)) return ExitDone;
  const TransferOptions options = TransferOptionsOf(line);
  // The run sends a blank card of its own and leaves this image alone.
  auto unused = std::make_unique<CardImage>();
  if (!Transfer(TransferKind::Format, *unused, options,
                "o Memory Card foi formatado só em parte.")) {
    return ExitFailed;
  }
  PrintOut(QStringLiteral("Memory Card formatado com sucesso!\n"));
  return ExitDone;
}
