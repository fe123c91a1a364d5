#include "cli/image_commands.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <span>

#include "card/directory_name.h"
#include "card/file_io.h"
#include "card/file_lock.h"
#include "card/formats/card_file.h"
#include "card/formats/conversion_losses.h"
#include "card/image_file.h"
#include "card/maintenance.h"
#include "card/messages.h"
#include "card/save_comments.h"
#include "card/save_icon.h"
#include "card/save_placement.h"
#include "card/save_source.h"
#include "card/single_save.h"
#include "cli/command_line.h"
#include "cli/listing.h"
#include "cli/loaded_image.h"
#include "cli/message_report.h"
#include "pictures/icon_import.h"
#include "pictures/icon_pictures.h"
#include "view/block_texts.h"
#include "view/system_path.h"
#include "view/window_texts.h"

namespace {

const QString kImage = QStringLiteral("IMAGEM");
const QString kBlock = QStringLiteral("BLOCO");

// The formats converter offers by name.
const QString kFormatCodes = QStringLiteral("mc|mcr|gme|vgs|vmp|psx");

// One of the names listed, in any letter case; a value such as "foo.gme" names none.
std::optional<CardFormat> CardFormatNamed(const QString& name) {
  if (!kFormatCodes.split(u'|').contains(name, Qt::CaseInsensitive)) return std::nullopt;
  return CardFormatFromExtension("." + name.toLower().toStdString());
}

// The window's test before a save or its icon is exported.
bool IsExportableSave(const CardImage& image, int block) {
  if (GetBlockState(image, block) == BlockState::InUseFirst) return true;
  ShowMessage(WindowTexts::SelectFirstBlockRefusal.toStdString(),
              WindowTexts::AttentionCaption.toStdString());
  return false;
}

// A command that changes the loaded image and writes it back. Its arguments are checked before
// the image is read.
using EditFromArguments = std::function<Edit(const CommandLine& line)>;

using AddOptions = std::function<void(CommandLine& line)>;

// The command line of an edit: its own usage, plus -o.
std::unique_ptr<CommandLine> EditCommandLine(CommandUsage usage, const AddOptions& add_options) {
  if (!usage.options_synopsis.isEmpty()) usage.options_synopsis += u' ';
  usage.options_synopsis += QStringLiteral("[-o SAIDA.mc [--forcar]]");
  usage.description +=
      QStringLiteral("\nA imagem é regravada no lugar (ou em SAIDA.mc) só quando muda.");
  auto line = std::make_unique<CommandLine>(std::move(usage));
  line->AddOption({"o", EditOutputOption}, QStringLiteral("Grava a imagem alterada em SAIDA.mc."),
                  QStringLiteral("SAIDA.mc"));
  line->AddForceOption(QStringLiteral("SAIDA.mc"));
  if (add_options) add_options(*line);
  return line;
}

int RunEdit(const QStringList& arguments, CommandUsage usage, const EditFromArguments& make_edit,
            const AddOptions& add_options = {}) {
  const auto line = EditCommandLine(std::move(usage), add_options);
  if (!line->Parse(arguments)) return ExitDone;
  return ApplyEdit(*line, make_edit(*line));
}

struct FormatName {
  const char* name;
  SingleSaveFormat format;
};
constexpr FormatName kFormatNames[] = {{"mcs", SingleSaveFormat::Mcs},
                                       {"bruto", SingleSaveFormat::RawSave},
                                       {"ar", SingleSaveFormat::ActionReplay},
                                       {"psv", SingleSaveFormat::Psv}};
// The extensions each format is known by; a raw save has none.
constexpr FormatName kFormatExtensions[] = {
    {"mcs", SingleSaveFormat::Mcs},          {"psx", SingleSaveFormat::ActionReplay},
    {"pda", SingleSaveFormat::ActionReplay}, {"mcb", SingleSaveFormat::ActionReplay},
    {"mcx", SingleSaveFormat::ActionReplay}, {"psv", SingleSaveFormat::Psv}};
}  // namespace

QStringList SingleSaveExtensions() {
  QStringList extensions;
  for (const auto& entry : kFormatExtensions) extensions << QString::fromLatin1(entry.name);
  return extensions;
}

namespace {
const QString kFormatOption = QStringLiteral("formato");
const QString kBlockOption = QStringLiteral("bloco");
const QString kNameOption = QStringLiteral("nome");
const QString kScaleOption = QStringLiteral("escala");

// --formato, else the output's extension, else .ico.
IconFormat IconFormatOf(const CommandLine& line, const QString& output) {
  if (!line.IsSet(kFormatOption)) {
    return IconFormatNamed(QFileInfo(output).suffix()).value_or(IconFormat::Ico);
  }
  if (auto format = IconFormatNamed(line.Value(kFormatOption))) return *format;
  line.Fail(QStringLiteral("--formato deve ser ico, png ou gif, não \"%1\"")
                .arg(line.Value(kFormatOption)));
}

std::optional<SingleSaveFormat> FormatNamed(const QString& name,
                                            std::span<const FormatName> table) {
  for (const auto& entry : table) {
    if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0) return entry.format;
  }
  return std::nullopt;
}

// --formato, else the output's extension, else .mcs.
SingleSaveFormat ExportFormat(const CommandLine& line, const QString& output) {
  if (!line.IsSet(kFormatOption)) {
    return FormatNamed(QFileInfo(output).suffix(), kFormatExtensions)
        .value_or(SingleSaveFormat::Mcs);
  }
  if (auto format = FormatNamed(line.Value(kFormatOption), kFormatNames)) return *format;
  line.Fail(QStringLiteral("--formato deve ser mcs, bruto, ar ou psv, não \"%1\"")
                .arg(line.Value(kFormatOption)));
}

const QString kReplaceOption = QStringLiteral("substituir");

// A save whose name a save in use already has replaces it only with --substituir.
ReplaceQuestion ReplaceOnlyWhenAsked(const CommandLine& line) {
  return [replace = line.IsSet(kReplaceOption)](const std::string& name) {
    if (!replace) {
      ReportFailure("Já existe um 'Save' com o nome " + name +
                        " na imagem. Use --substituir para substituí-lo.",
                    "Erro");
    }
    return replace;
  };
}

void ImportInto(CardImage& image, CardContainer& container, std::optional<SaveContents> save,
                const ReplaceQuestion& replace) {
  if (save) ImportSaves(image, container.comments, std::span(&*save, 1), replace);
}

// Takes the save that starts at block of the card at path, with its comment there, into image.
Edit ImportFromCard(const std::string& path, int block, ReplaceQuestion replace) {
  return [path, block, replace](CardImage& image, CardContainer& container) {
    auto source = std::make_unique<LoadedImage>();
    if (!LoadSourceCard(source->image, source->container, path) ||
        !IsExportableSave(source->image, block)) {
      return;
    }
    ImportInto(image, container,
               SaveFromCard(source->image, block, path, CardFileComment(source->container, block),
                            source->container.card_bytes),
               replace);
  };
}

// The name given for a raw save; wrong usage when it is missing where the file name carries
// none, or given for another kind of file.
std::optional<std::string> RawSaveName(const CommandLine& line, const std::string& source) {
  if (!line.IsSet(kNameOption)) {
    if (IsUnnamedRawSave(source)) {
      line.Fail(QStringLiteral("o nome do arquivo %1 não traz o nome do 'save' (como "
                               "BASLUS-00958GAME); informe-o com --nome NOME")
                    .arg(line.Positional(1)));
    }
    return std::nullopt;
  }
  if (!HoldsRawSave(source)) {
    line.Fail(QStringLiteral("--nome só vale quando ARQUIVO é um 'save' bruto"));
  }
  const std::string name = line.Value(kNameOption).toStdString();
  if (!IsDirectoryNameText(name)) {
    line.Fail(QStringLiteral("--nome deve ter de 1 a 20 caracteres ASCII visíveis, não \"%1\"")
                  .arg(line.Value(kNameOption)));
  }
  return name;
}

RegionCode RegionArgument(const CommandLine& line, int index) {
  const QString name = line.Positional(index).toUpper();
  if (name == "US") return RegionCode::US;
  if (name == "EU") return RegionCode::EU;
  if (name == "JP") return RegionCode::JP;
  line.Fail(
      QStringLiteral("a localidade deve ser US, EU ou JP, não \"%1\"").arg(line.Positional(index)));
}

}  // namespace

const QString& CardFormatCodes() {
  return kFormatCodes;
}

void AddCardFormatOption(CommandLine& line) {
  line.AddOption({"formato"}, QStringLiteral("Formato de SAIDA: ") + kFormatCodes + u'.',
                 QStringLiteral("FORMATO"));
}

CardFormat OutputCardFormat(const CommandLine& line, const QString& output) {
  const std::optional<CardFormat> format = line.IsSet("formato")
                                               ? CardFormatNamed(line.Value("formato"))
                                               : CardFormatFromExtension(SystemPath(output));
  if (!format && line.IsSet("formato")) {
    line.Fail(QStringLiteral("o formato deve ser %1, não \"%2\"")
                  .arg(kFormatCodes, line.Value("formato")));
  }
  if (!format) {
    line.Fail(QStringLiteral("a extensão de %1 não indica um formato; use --formato %2")
                  .arg(output, kFormatCodes));
  }
  return *format;
}

int RunListar(const QStringList& arguments) {
  CommandLine line({"listar",
                    {"IMAGEM..."},
                    "[--json]",
                    "Mostra os 15 blocos da imagem como a janela principal os mostra, a fonte e "
                    "os contadores de blocos usados e livres.\nCom várias imagens, cada listagem "
                    "vem depois do nome do arquivo (e --json dá uma lista)."});
  line.AddOption({"json"}, QStringLiteral("Saída em JSON, com os detalhes de cada bloco."));
  if (!line.Parse(arguments)) return ExitDone;

  const QStringList paths = line.PositionalsFrom(0);
  const bool several = paths.size() > 1;
  QJsonArray listings;
  QString text;
  int status = ExitDone;
  for (const QString& path : paths) {
    // A file that cannot be listed is said so and the others are still listed.
    auto loaded = LoadImage(path);
    if (!loaded) {
      status = ExitFailed;
      continue;
    }
    const QString source = QFileInfo(path).absoluteFilePath();
    if (line.IsSet("json")) {
      QJsonObject listing = ListingJson(loaded->image, source);
      const std::string_view format = InfoOf(loaded->container.format).code;
      listing.insert(QStringLiteral("formato"),
                     QString::fromUtf8(format.data(), static_cast<qsizetype>(format.size())));
      listings.append(listing);
    } else if (several) {
      if (!text.isEmpty()) text += u'\n';
      text += Harmless(path) + QStringLiteral(":\n") + ListingText(loaded->image, source);
    } else {
      text = ListingText(loaded->image, source);
    }
  }
  if (!line.IsSet("json")) {
    PrintOut(text);
  } else if (several) {
    PrintOut(QString::fromUtf8(QJsonDocument(listings).toJson()));
  } else if (!listings.isEmpty()) {
    PrintOut(QString::fromUtf8(QJsonDocument(listings.first().toObject()).toJson()));
  }
  return status;
}

int RunExportar(const QStringList& arguments) {
  CommandLine line({"exportar",
                    {kImage, kBlock, "SAIDA"},
                    "[--formato mcs|bruto|ar|psv] [--forcar]",
                    "Grava o 'save' que começa em BLOCO num arquivo de 'save' único, no formato "
                    "de --formato;\nsem ele, no da extensão de SAIDA (.mcs; .psx, .pda, .mcb ou "
                    ".mcx; .psv), senão em .mcs."});
  line.AddOption({kFormatOption},
                 QStringLiteral("mcs, bruto (só os blocos), ar (cabeçalho de 54 bytes) ou psv."),
                 QStringLiteral("FORMATO"));
  line.AddForceOption(QStringLiteral("SAIDA"));
  if (!line.Parse(arguments)) return ExitDone;
  const int block = line.BlockArgument(1);
  line.RequireNewOutput(line.Positional(2), {line.Positional(0)});
  const QString output = line.Positional(2);
  const SingleSaveFormat format = ExportFormat(line, output);
  auto loaded = LoadImage(line.Positional(0));
  if (!loaded || !IsExportableSave(loaded->image, block)) return ExitFailed;
  const int messages_before = MessagesShown();
  ExportSingleSave(loaded->image, block, SystemPath(output), format, loaded->container.card_bytes);
  return MessagesShown() == messages_before ? ExitDone : ExitFailed;
}

int RunImportar(const QStringList& arguments) {
  return RunEdit(
      arguments,
      {"importar",
       {kImage, "ARQUIVO"},
       "[--bloco N] [--nome NOME] [--substituir]",
       "Coloca nos primeiros blocos livres da imagem o 'save' de ARQUIVO: um arquivo de 'save' "
       "único\n(.mcs, 'save' bruto, .psx/.pda/.mcb/.mcx, .psv) ou outra imagem de Memory Card, "
       "da qual\n--bloco escolhe o 'save' pelo seu primeiro bloco. Um 'save' com o nome de outro "
       "que já está\nna imagem é recusado, a não ser com --substituir."},
      [](const CommandLine& line) -> Edit {
        if (line.IsSet(EditOutputOption)) {
          line.RequireDistinctFiles(line.Value(EditOutputOption), {line.Positional(1)});
        }
        const std::string source = SystemPath(line.Positional(1));
        const bool card = HoldsCardImage(source);
        if (card && !line.IsSet(kBlockOption)) {
          line.Fail(
              QStringLiteral("ARQUIVO é uma imagem de Memory Card: escolha o 'save' com "
                             "--bloco"));
        }
        if (!card && line.IsSet(kBlockOption)) {
          line.Fail(QStringLiteral("--bloco só vale quando ARQUIVO é uma imagem de Memory Card"));
        }
        const ReplaceQuestion replace = ReplaceOnlyWhenAsked(line);
        if (card) {
          return ImportFromCard(
              source, line.IntegerOption(kBlockOption, FirstSaveBlock, LastSaveBlock), replace);
        }
        const std::optional<std::string> name = RawSaveName(line, source);
        return [source, name, replace](CardImage& image, CardContainer& container) {
          ImportInto(image, container, ReadSingleSaveFile(source, name), replace);
        };
      },
      [](CommandLine& line) {
        line.AddOption({kNameOption},
                       QStringLiteral("O nome do 'save' (até 20 caracteres, como "
                                      "BASLUS-00958GAME) quando ARQUIVO é um 'save' bruto cujo "
                                      "nome de arquivo não o traz."),
                       QStringLiteral("NOME"));
        line.AddOption({kBlockOption},
                       QStringLiteral("O primeiro bloco do 'save' (1 a 15) quando ARQUIVO é "
                                      "uma imagem."),
                       QStringLiteral("N"));
        line.AddOption({kReplaceOption},
                       QStringLiteral("Substitui (remove, como remover) o 'save' da imagem que "
                                      "tem o mesmo nome."));
      });
}

int RunRemover(const QStringList& arguments) {
  return RunEdit(arguments,
                 {"remover",
                  {kImage, kBlock},
                  {},
                  "Remove o 'save' que começa em BLOCO (pode ser restaurado)."},
                 [](const CommandLine& line) -> Edit {
                   return [block = line.BlockArgument(1)](CardImage& image, CardContainer&) {
                     RemoveSave(image, block);
                   };
                 });
}

int RunRestaurar(const QStringList& arguments) {
  return RunEdit(
      arguments,
      {"restaurar", {kImage, kBlock}, {}, "Restaura o 'save' removido que começa em BLOCO."},
      [](const CommandLine& line) -> Edit {
        return [block = line.BlockArgument(1)](CardImage& image, CardContainer&) {
          RestoreSave(image, block);
        };
      });
}

int RunLimpar(const QStringList& arguments) {
  return RunEdit(arguments,
                 {"limpar",
                  {kImage},
                  {},
                  "Apaga de vez todos os 'saves' removidos, liberando os seus blocos."},
                 [](const CommandLine&) -> Edit {
                   return [](CardImage& image, CardContainer& container) {
                     PurgeRemovedSaves(image, container.comments);
                   };
                 });
}

int RunLocalidade(const QStringList& arguments) {
  return RunEdit(arguments,
                 {"localidade",
                  {kImage, kBlock, "US|EU|JP"},
                  {},
                  "Altera a localidade do 'save' que começa em BLOCO para US - Americano, "
                  "EU - Europeu ou JP - Japonês."},
                 [](const CommandLine& line) -> Edit {
                   return [block = line.BlockArgument(1), region = RegionArgument(line, 2)](
                              CardImage& image, CardContainer&) {
                     SetSaveRegion(image, block, region);
                   };
                 });
}

int RunRenomear(const QStringList& arguments) {
  return RunEdit(arguments,
                 {"renomear",
                  {kImage, kBlock, "NOME"},
                  {},
                  "Dá ao 'save' que começa em BLOCO o nome NOME, o nome inteiro do diretório "
                  "(até 20 caracteres\nASCII de 0x20 a 0x7E, como BASLUS-00067DRAX00), que "
                  "nenhum outro 'save' da imagem pode ter."},
                 [](const CommandLine& line) -> Edit {
                   const QString name = line.Positional(2);
                   // Anything outside ASCII is refused by the card's own rule with its text.
                   const std::string bytes = CardBytes(name).value_or(name.toStdString());
                   return [block = line.BlockArgument(1), bytes](CardImage& image, CardContainer&) {
                     RenameSave(image, block, bytes);
                   };
                 });
}

int RunComentario(const QStringList& arguments) {
  const auto line = EditCommandLine(
      {"comentario",
       {kImage, kBlock, "[TEXTO]"},
       {},
       "Mostra o comentário DexDrive do 'save' que começa em BLOCO ou, com TEXTO, o troca (um "
       "TEXTO\nvazio o apaga). Só o formato DexDrive (.gme) guarda comentários: grave em "
       "-o SAIDA.gme\numa imagem de outro formato."},
      {});
  if (!line->Parse(arguments)) return ExitDone;
  const int block = line->BlockArgument(1);
  if (!line->HasPositional(2)) {
    auto loaded = LoadImage(line->Positional(0));
    if (!loaded) return ExitFailed;
    const QString comment = CardText(CardFileComment(loaded->container, block));
    if (!comment.isEmpty()) PrintOut(Harmless(comment) + u'\n');
    return ExitDone;
  }
  const std::optional<std::string> comment = CardBytes(line->Positional(2));
  if (!comment) {
    line->Fail(
        QStringLiteral("TEXTO tem caracteres que o comentário não pode guardar "
                       "(só os do Windows-1252)"));
  }
  const std::string output = SystemPath(EditOutput(*line));
  return ApplyEdit(*line, [block, comment, output](CardImage& image, CardContainer& container) {
    if (ContainerForOutput(container, output).format != CardFormat::DexDrive) {
      ReportFailure(
          "A imagem não guarda comentários: só o formato DexDrive (.gme) os guarda. "
          "Grave-a em .gme com -o SAIDA.gme.",
          "Erro");
      return;
    }
    SetSaveComment(image, container.comments, block, *comment);
  });
}

int RunIcone(const QStringList& arguments) {
  CommandLine line({"icone",
                    {kImage, kBlock, "SAIDA.ico"},
                    "[--formato ico|png|gif] [--escala N] [--forcar]",
                    "Grava o ícone do 'save' que começa em BLOCO no formato de --formato ou, sem "
                    "ele, no da\nextensão de SAIDA (.ico quando ela não indica outro): .ico, o "
                    "primeiro quadro como a janela\no grava; .png, o primeiro quadro; .gif, todos "
                    "os quadros, animados no ritmo do console.\nNo .png e no .gif, a cor 0x0000 é "
                    "transparente."});
  line.AddOption({kFormatOption}, QStringLiteral("ico, png ou gif."), QStringLiteral("FORMATO"));
  line.AddOption({kScaleOption},
                 QStringLiteral("Amplia cada pixel N vezes (%1 a %2, padrão 1), no .png e no .gif.")
                     .arg(MinPictureScale)
                     .arg(MaxPictureScale),
                 QStringLiteral("N"));
  line.AddForceOption(QStringLiteral("SAIDA"));
  if (!line.Parse(arguments)) return ExitDone;
  const int block = line.BlockArgument(1);
  const QString output = line.Positional(2);
  line.RequireNewOutput(output, {line.Positional(0)});
  const IconFormat format = IconFormatOf(line, output);
  const int scale = line.IsSet(kScaleOption)
                        ? line.IntegerOption(kScaleOption, MinPictureScale, MaxPictureScale)
                        : MinPictureScale;
  if (format == IconFormat::Ico && line.IsSet(kScaleOption)) {
    line.Fail(QStringLiteral("--escala vale só para png e gif"));
  }
  auto loaded = LoadImage(line.Positional(0));
  if (!loaded || !IsExportableSave(loaded->image, block)) return ExitFailed;
  WriteFileAtomically(SystemPath(output), IconFileBytes(loaded->image, block, format, scale));
  return ExitDone;
}

int RunNovo(const QStringList& arguments) {
  CommandLine line({"novo",
                    {"SAIDA.mc"},
                    "[--forcar]",
                    "Grava uma imagem de Memory Card em branco, no formato que a extensão de "
                    "SAIDA indica (.mc quando ela não indica nenhum)."});
  line.AddForceOption(QStringLiteral("SAIDA.mc"));
  if (!line.Parse(arguments)) return ExitDone;
  line.RequireNewOutput(line.Positional(0), {});
  auto blank = std::make_unique<LoadedImage>();
  FormatImage(blank->image);
  SaveImage(*blank, line.Positional(0));
  return ExitDone;
}

int RunConverter(const QStringList& arguments) {
  CommandLine line({"converter",
                    {"ENTRADA", "SAIDA"},
                    "[--formato " + kFormatCodes + "] [--forcar]",
                    "Grava a imagem de ENTRADA em SAIDA no formato pedido ou, sem --formato, "
                    "no formato que a extensão de SAIDA indica."});
  AddCardFormatOption(line);
  line.AddForceOption(QStringLiteral("SAIDA"));
  if (!line.Parse(arguments)) return ExitDone;
  const QString output = line.Positional(1);
  // The format is settled before reading.
  const CardFormat format = OutputCardFormat(line, output);
  line.RequireNewOutput(output, {line.Positional(0)});
  auto loaded = LoadImage(line.Positional(0));
  if (!loaded) return ExitFailed;
  SaveCardFile(loaded->image, ContainerInFormat(loaded->container, format), SystemPath(output));
  WarnOfConversionLosses(loaded->image, loaded->container, format, SystemPath(output));
  return ExitDone;
}

int RunTrocarIcone(const QStringList& arguments) {
  return RunEdit(arguments,
                 {"trocar-icone",
                  {kImage, kBlock, "FIGURA"},
                  {},
                  "Troca o ícone do 'save' que começa em BLOCO pela FIGURA (PNG, "
                  "BMP, GIF de até 3\nquadros ou JPEG), reduzida a 16 x 16 pixels e 16 cores; o "
                  "transparente fica transparente."},
                 [](const CommandLine& line) -> Edit {
                   const int block = line.BlockArgument(1);
                   // Read before the image is locked: a bad picture leaves the card alone.
                   return [block, picture = IconFromPicture(line.Positional(2))](CardImage& image,
                                                                                 CardContainer&) {
                     if (!picture.icon) {
                       ShowMessage(picture.refusal.toStdString(), "Erro");
                       return;
                     }
                     if (IsExportableSave(image, block)) WriteSaveIcon(image, block, *picture.icon);
                   };
                 });
}
