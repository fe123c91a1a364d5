// vexilor-cli: the card image operations and the card transfers without the window.

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <exception>
#include <iterator>

#include "card/error_reason_text.h"
#include "card/file_io.h"
#include "card/formats/card_file.h"
#include "cli/check_commands.h"
#include "cli/collection_commands.h"
#include "cli/command_line.h"
#include "cli/image_commands.h"
#include "cli/message_report.h"
#include "cli/pocketstation_commands.h"
#include "cli/reader_listing.h"
#include "cli/transfer_commands.h"
#include "view/file_error_report.h"
#include "view/system_path.h"

namespace {

struct Command {
  const char* name;
  const char* arguments;
  const char* summary;
  int (*run)(const QStringList& arguments);
};

constexpr Command kCommands[] = {
    {"listar", "IMAGEM... [--json]", "mostra os blocos, a fonte e os contadores", RunListar},
    {"exportar", "IMAGEM BLOCO SAIDA [--formato mcs|bruto|ar|psv] [--forcar]",
     "grava um 'save' num arquivo de 'save' único", RunExportar},
    {"importar", "IMAGEM ARQUIVO [--bloco N] [--nome NOME] [--substituir] [-o SAIDA.mc [--forcar]]",
     "coloca um 'save' (de um arquivo ou de outra imagem) nos blocos livres", RunImportar},
    {"remover", "IMAGEM BLOCO [-o SAIDA.mc [--forcar]]", "remove um 'save'", RunRemover},
    {"restaurar", "IMAGEM BLOCO [-o SAIDA.mc [--forcar]]", "restaura um 'save' removido",
     RunRestaurar},
    {"limpar", "IMAGEM [-o SAIDA.mc [--forcar]]", "apaga de vez os 'saves' removidos", RunLimpar},
    {"localidade", "IMAGEM BLOCO US|EU|JP [-o SAIDA.mc [--forcar]]",
     "altera a localidade de um 'save'", RunLocalidade},
    {"renomear", "IMAGEM BLOCO NOME [-o SAIDA.mc [--forcar]]",
     "dá outro nome de diretório a um 'save'", RunRenomear},
    {"comentario", "IMAGEM BLOCO [TEXTO] [-o SAIDA.mc [--forcar]]",
     "mostra ou troca o comentário DexDrive de um 'save'", RunComentario},
    {"icone", "IMAGEM BLOCO SAIDA [--formato ico|png|gif] [--escala N] [--forcar]",
     "grava o ícone de um 'save' (.ico, .png ou .gif animado)", RunIcone},
    {"trocar-icone", "IMAGEM BLOCO FIGURA [-o SAIDA.mc [--forcar]]",
     "troca o ícone de um 'save' por uma figura", RunTrocarIcone},
    {"novo", "SAIDA.mc [--forcar]", "grava uma imagem em branco", RunNovo},
    {"converter", "ENTRADA SAIDA [--formato mc|mcr|gme|vgs|vmp|psx] [--forcar]",
     "grava a imagem em outro formato", RunConverter},
    {"verificar", "IMAGEM... [--json]", "lista as inconsistências de cada imagem", RunVerificar},
    {"reparar", "IMAGEM [-o SAIDA [--forcar]]", "repara o que se pode reparar sem adivinhar dados",
     RunReparar},
    {"ler", "SAIDA.mc [opções de porta] [--forcar]", "lê um Memory Card", RunLer},
    {"gravar", "IMAGEM [opções de porta]", "grava a imagem num Memory Card", RunGravar},
    {"formatar", "[opções de porta]", "formata um Memory Card", RunFormatar},
    {"separar",
     "CARTAO... --destino PASTA [--layout pasta|memcardpro|sd2psx|duckstation] "
     "[--simular] [--json]",
     "grava um cartão por jogo com os 'saves' dos cartões", RunSeparar},
    {"juntar",
     "SAIDA ENTRADA... [--formato mc|mcr|gme|vgs|vmp|psx] [--forcar] [--simular] [--json]",
     "grava os 'saves' de muitos arquivos em poucos cartões", RunJuntar},
    {"catalogo", "CAMINHO... [--json] [--duplicados]",
     "lista os 'saves' de todas as imagens e 'saves' avulsos de arquivos e pastas", RunCatalogo},
    {"leitores", "", "mostra os leitores seriais que as portas encontradas podem ter", RunLeitores},
    {"pocketstation", "info|bios SAIDA [--forcar]|relogio --leitor memcarduino --serial PORTA",
     "lê o número de série e o relógio, copia a BIOS ou acerta o relógio de uma PocketStation",
     RunPocketstation},
};

// The completion of file names reads these lines: extensions, each with its dot.
QString FileTypesHelp() {
  QStringList images;
  for (const CardFormatInfo& info : CardFormats()) {
    for (std::string_view extension : info.extensions) {
      images << u'.' +
                    QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size()));
    }
  }
  QStringList saves;
  for (const QString& extension : SingleSaveExtensions()) saves << u'.' + extension;
  return QStringLiteral(
             "Imagens de Memory Card: %1\n'Saves' únicos: %2 e 'saves' brutos\n"
             "(reconhecidos pelo conteúdo, seja qual for a extensão).\n")
      .arg(images.join(u' '), saves.join(u' '));
}

QString GeneralUsage() {
  QStringList synopses;
  qsizetype width = 0;
  for (const auto& command : kCommands) {
    synopses << QString::fromUtf8(command.name) + u' ' + QString::fromUtf8(command.arguments);
    width = std::max(width, synopses.last().size());
  }
  QString text = QStringLiteral("Uso: vexilor-cli COMANDO ARGUMENTOS...\n\nComandos:\n");
  for (std::size_t i = 0; i < std::size(kCommands); ++i) {
    text += QStringLiteral("  %1  %2\n")
                .arg(synopses.at(static_cast<qsizetype>(i)), -static_cast<int>(width))
                .arg(QString::fromUtf8(kCommands[i].summary));
  }
  text += QStringLiteral(
      "\nOpções de porta: --porta LPT1|LPT2|LPT3 (padrão LPT1) e --delay 1..10 (padrão 3),\n"
      "ou --cartao-virtual CARTAO.mc, ou --leitor memcarduino|ps1cardlink|dexdrive --serial "
      "PORTA;\ngravar --verificar lê o Memory Card de volta e compara.\n"
      "Ajuda de cada comando: vexilor-cli COMANDO --help\n"
      "Saída: 0 feito; 1 recusado ou com falha (mensagem em stderr); 2 uso incorreto.\n\n");
  return text + FileTypesHelp();
}

const Command* FindCommand(const QString& name) {
  for (const auto& command : kCommands) {
    if (name == QLatin1String(command.name)) return &command;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  InstallCommandLineMessages();
  // Taken from argv as bytes: Qt's own list would turn names that are not UTF-8 into other names.
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << TextFromSystemPath(argv[i]);

  if (arguments.isEmpty()) {
    PrintError(GeneralUsage());
    return ExitUsage;
  }
  const Command* command = FindCommand(arguments.first());
  const bool help = arguments.first() == "--help" || arguments.first() == "-h";
  if (arguments.first() == "--version") {
    PrintOut(QStringLiteral("vexilor-cli " VEXILOR_VERSION "\n"));
    return ExitDone;
  }
  if (!command && !help) {
    PrintError(QStringLiteral("vexilor-cli: comando desconhecido: %1\n\n").arg(arguments.first()) +
               GeneralUsage());
    return ExitUsage;
  }
  try {
    if (help) {
      PrintOut(GeneralUsage());
      return ExitDone;
    }
    const int status = command->run(arguments);
    FinishOutput();
    return status;
  } catch (const UsageError& error) {
    PrintError(QStringLiteral("vexilor-cli %1: %2\n%3\n")
                   .arg(arguments.first(), QString::fromUtf8(error.what()), error.usage()));
    return ExitUsage;
  } catch (const FileError& error) {
    // The window's caption and reasons, on one line.
    ReportFailure(
        QStringLiteral("Não foi possível ler ou gravar o arquivo %1: %2.")
            .arg(TextFromSystemPath(error.path()), QString::fromStdString(FileFailureReason(error)))
            .toStdString(),
        ApplicationTitle.toStdString());
    return ExitFailed;
  } catch (const std::exception& error) {
    ReportFailure(error.what(), "Erro");
    return ExitFailed;
  }
}
