#include "cli/transfer_commands.h"

#include <memory>
#include <optional>

#include "card/file_checks.h"
#include "card/file_io.h"
#include "card/image_file.h"
#include "cli/command_line.h"
#include "cli/reported_transfer.h"
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
const QString kReaderOption = QStringLiteral("leitor");
const QStringList kPortNames = {"LPT1", "LPT2", "LPT3"};
constexpr int kFirstDelay = 1;
constexpr int kLastDelay = 10;
constexpr int kDefaultDelay = 3;

struct TransferOptions {
  std::string port_name;
  int delay;
  std::optional<std::string> virtual_card;  // path of the emulated card's .mc file
  bool usb_adaptor = false;                 // the PS3 USB adaptor instead of the cable
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
  line.AddOption({kReaderOption},
                 QStringLiteral("Usa o leitor ps3usb (Adaptador USB PS3) em vez do cabo na porta "
                                "paralela."),
                 QStringLiteral("ps3usb"));
}

CommandUsage TransferUsage(QString name, QStringList positionals, QString description) {
  return {std::move(name), std::move(positionals),
          "[--porta LPT1|LPT2|LPT3 | --leitor ps3usb] [--cartao-virtual CARTAO.mc] [--delay 1..10]",
          std::move(description)};
}

TransferOptions TransferOptionsOf(const CommandLine& line) {
  TransferOptions options{"LPT1", kDefaultDelay, std::nullopt};
  if (line.IsSet(kPortOption) && line.IsSet(kVirtualCardOption)) {
    line.Fail(QStringLiteral("use --porta ou --cartao-virtual, não os dois"));
  }
  if (line.IsSet(kPortOption) && line.IsSet(kReaderOption)) {
    line.Fail(QStringLiteral("use --porta ou --leitor, não os dois"));
  }
  if (line.IsSet(kReaderOption)) {
    const QString reader = line.Value(kReaderOption).toLower();
    if (reader.toStdString() != Ps3AdaptorReader().port) {
      line.Fail(
          QStringLiteral("--leitor deve ser ps3usb, não \"%1\"").arg(line.Value(kReaderOption)));
    }
    options.usb_adaptor = true;
  }
  if (line.IsSet(kPortOption)) {
    const QString port = line.Value(kPortOption).toUpper();
    if (!kPortNames.contains(port)) {
      line.Fail(QStringLiteral("--porta deve ser LPT1, LPT2 ou LPT3, não \"%1\"")
                    .arg(line.Value(kPortOption)));
    }
    options.port_name = port.toStdString();
  }
  if (line.IsSet(kDelayOption)) {
    options.delay = line.IntegerOption(kDelayOption, kFirstDelay, kLastDelay);
  }
  if (line.IsSet(kVirtualCardOption))
    options.virtual_card = SystemPath(line.Value(kVirtualCardOption));
  return options;
}

// The emulated card as its file holds it: any 131072 bytes, as a real card may hold anything.
bool LoadVirtualCard(EmulatedCard& card, const std::string& path) {
  if (!RequireExistingFile(path)) return false;
  if (card.LoadFrom(path)) return true;
  ShowFileRefusal("Tamanho do arquivo ", path, " inválido!");
  return false;
}

// An emulated card's file is rewritten after a write or format however far it got, as a real card
// would keep what it had received.
bool Transfer(TransferKind kind, CardImage& image, const TransferOptions& options,
              const std::string& stopped_note) {
  if (!options.virtual_card) {
    const ReaderEntry reader =
        options.usb_adaptor ? Ps3AdaptorReader() : ParallelReader(options.port_name);
    auto connection = MakeReaderConnection(reader, options.delay);
    return RunReportedTransfer(kind, image, *connection, stopped_note);
  }
  auto card = std::make_unique<EmulatedCard>(PortBaseFromName(options.port_name));
  if (!LoadVirtualCard(*card, *options.virtual_card)) return false;
  std::unique_ptr<CardConnection> connection;
  if (options.usb_adaptor) {
    connection =
        std::make_unique<Ps3AdaptorConnection>(std::make_unique<EmulatedPs3Adaptor>(*card));
  } else {
    connection = std::make_unique<LptConnection>(std::make_unique<EmulatedCardPortAccess>(*card),
                                                 options.port_name, options.delay);
  }
  const bool completed = RunReportedTransfer(kind, image, *connection, stopped_note);
  if (kind != TransferKind::Read) card->SaveTo(*options.virtual_card);
  return completed;
}

}  // namespace

int RunLer(const QStringList& arguments) {
  CommandLine line(TransferUsage("ler", {"SAIDA.mc"},
                                 "Lê o Memory Card inteiro e grava a imagem em SAIDA.mc. Uma "
                                 "leitura que falha ou é interrompida não grava nada."));
  AddTransferOptions(line);
  if (!line.Parse(arguments)) return ExitDone;
  const TransferOptions options = TransferOptionsOf(line);
  // Minutes of reading must not end in finding that the file cannot be written.
  CheckFileCanBeWritten(SystemPath(line.Positional(0)));
  auto image = std::make_unique<CardImage>();
  if (!Transfer(TransferKind::Read, *image, options, "nada foi gravado.")) return ExitFailed;
  SaveImageFile(*image, SystemPath(line.Positional(0)));
  return ExitDone;
}

int RunGravar(const QStringList& arguments) {
  CommandLine line(TransferUsage("gravar", {"IMAGEM"},
                                 "Grava a imagem no Memory Card, sobrepondo todos os seus dados."));
  AddTransferOptions(line);
  if (!line.Parse(arguments)) return ExitDone;
  const TransferOptions options = TransferOptionsOf(line);
  auto image = std::make_unique<CardImage>();
  if (!LoadImageFile(*image, SystemPath(line.Positional(0)))) return ExitFailed;
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
