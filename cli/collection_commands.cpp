#include "cli/collection_commands.h"

#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

#include "card/error_reason_text.h"
#include "card/file_io.h"
#include "cli/catalogue.h"
#include "cli/command_line.h"
#include "cli/image_commands.h"
#include "cli/listing.h"
#include "collection/quiet_messages.h"
#include "collection/split.h"
#include "collection/tree_walk.h"
#include "view/system_path.h"

namespace {

const QString kJsonOption = QStringLiteral("json");
const QString kSimulateOption = QStringLiteral("simular");

QString Text(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString FateCode(SaveFate fate) {
  switch (fate) {
    case SaveFate::Written:
      return QStringLiteral("gravado");
    case SaveFate::Identical:
      return QStringLiteral("identico");
    case SaveFate::LeftOut:
      break;
  }
  return QStringLiteral("nao_gravado");
}

QJsonArray PlanJson(const CardPlan& plan) {
  QJsonArray rows;
  for (const PlannedSave& save : plan.Saves()) {
    rows.append(QJsonObject{
        {"origem", Text(plan.Sources()[save.source].label)},
        {"bloco", save.block},
        {"nome", Text(save.name)},
        {"blocos", save.blocks},
        {"destino", TextFromSystemPath(save.target)},
        {"situacao", FateCode(save.fate)},
        {"motivo", Text(save.reason)},
        {"sem_comentario", save.fate == SaveFate::Written && save.comment_left},
    });
  }
  return rows;
}

// Wrong usage when a card the plan writes is one of the files it reads.
void RequireOutputsApart(const CommandLine& line, const CardPlan& plan, const QStringList& inputs) {
  for (const std::string& target : plan.TargetFiles()) {
    line.RequireDistinctFiles(TextFromSystemPath(target), inputs);
  }
}

// Carries the plan out unless simulating, then prints it: plain lines or a JSON array.
int ReportPlan(const CommandLine& line, CardPlan& plan) {
  const bool simulate = line.IsSet(kSimulateOption);
  if (!simulate) plan.CarryOut();
  if (line.IsSet(kJsonOption)) {
    PrintOut(QString::fromUtf8(QJsonDocument(PlanJson(plan)).toJson()));
  } else {
    QString text;
    for (const PlannedSave& save : plan.Saves()) {
      text += Harmless(TextFromSystemPath(PlanLine(plan, save))) + u'\n';
    }
    PrintOut(text + Text(PlanSummary(plan, !simulate)) + u'\n');
  }
  return plan.LeftOutCount() == 0 ? ExitDone : ExitFailed;
}

QString LayoutPatterns() {
  QString text;
  for (const CardLayoutInfo& info : CardLayouts()) {
    text += QStringLiteral("  %1  %2\n")
                .arg(Text(std::string(info.name)), -11)
                .arg(Text(std::string(info.pattern)));
  }
  return text;
}

QString LayoutNames() {
  QStringList names;
  for (const CardLayoutInfo& info : CardLayouts()) {
    names << QString::fromLatin1(info.name.data(), static_cast<qsizetype>(info.name.size()));
  }
  return names.join(u'|');
}

// The catalogue of a walk, one file in memory at a time and rows written as they come.
class Catalogue {
 public:
  Catalogue(bool json, bool duplicates) : json_(json), duplicates_(duplicates) {}

  // Called by several readers at once: a file is read, hashed and made into rows outside the
  // lock, and its rows go out together.
  void File(const std::string& path) {
    const QString name = TextFromSystemPath(path);
    FoundFile found;
    std::optional<std::error_code> unreadable;
    try {
      found = ExamineFile(path);
    } catch (const FileError& error) {
      unreadable = error.reason();
    }
    QByteArray rows;
    for (const FoundSave& save : found.saves) {
      if (duplicates_) break;
      rows += json_ ? CatalogueRowJson(name, found.format, save)
                    : CatalogueRowText(name, found.format, save);
    }
    const std::lock_guard lock(mutex_);
    ++files_;
    ShowProgress();
    if (unreadable) {
      ReportUnreadable(path, *unreadable);
      return;
    }
    switch (found.kind) {
      case FoundKind::Other:
        ++skipped_;
        return;
      case FoundKind::Refused:
        ++refused_;
        PrintError(Harmless(QStringLiteral("vexilor-cli catalogo: ") + Text(found.reason)) + u'\n');
        return;
      case FoundKind::Card:
        ++cards_;
        break;
      case FoundKind::SingleSave:
        ++single_saves_;
        break;
    }
    saves_ += static_cast<int>(found.saves.size());
    if (duplicates_) {
      for (const FoundSave& save : found.saves) {
        if (!save.broken) copies_[save.digest].push_back({name, save.block});
      }
    } else {
      Emit(rows);
    }
  }

  void Unreadable(const std::string& path, std::error_code reason) {
    const std::lock_guard lock(mutex_);
    ReportUnreadable(path, reason);
  }

  void Finish() {
    if (progress_shown_) PrintError(QStringLiteral("\r\x1b[K"));
    if (duplicates_) EmitDuplicates();
    const QString summary = QStringLiteral(
                                "Arquivos: %1 (cartões: %2, 'saves' avulsos: %3, ignorados: %4, "
                                "recusados: %5); ilegíveis: %6; 'saves': %7\n")
                                .arg(files_)
                                .arg(cards_)
                                .arg(single_saves_)
                                .arg(skipped_)
                                .arg(refused_)
                                .arg(unreadable_)
                                .arg(saves_);
    // JSON Lines stay JSON: the summary goes beside them.
    if (json_) {
      Flush();
      PrintError(summary);
    } else {
      Emit(summary.toUtf8());
      Flush();
    }
  }

 private:
  struct Copy {
    QString file;
    int block;
  };

  void ReportUnreadable(const std::string& path, std::error_code reason) {
    ++unreadable_;
    PrintError(Harmless(QStringLiteral("vexilor-cli catalogo: não foi possível ler %1: %2.")
                            .arg(TextFromSystemPath(path), Text(ErrorReasonText(reason)))) +
               u'\n');
  }

  void Emit(const QByteArray& utf8) {
    pending_ += utf8;
    if (pending_.size() > kFlushSize) Flush();
  }
  void Flush() {
    PrintOutUtf8(pending_);
    pending_.clear();
  }

  void EmitDuplicates() {
    for (const auto& [digest, copies] : copies_) {
      if (copies.size() < 2) continue;
      const QString hash = QString::fromLatin1(DigestText(digest));
      if (json_) {
        QJsonArray where;
        for (const Copy& copy : copies) {
          where.append(QJsonObject{{"arquivo", copy.file}, {"bloco", copy.block}});
        }
        Emit(QJsonDocument(QJsonObject{{"sha256", hash}, {"copias", where}})
                 .toJson(QJsonDocument::Compact) +
             '\n');
        continue;
      }
      Emit(QStringLiteral("%1  %2 cópias\n").arg(hash).arg(copies.size()).toUtf8());
      for (const Copy& copy : copies) {
        Emit(QStringLiteral("  %1\t%2\n").arg(Harmless(copy.file)).arg(copy.block).toUtf8());
      }
    }
  }

  // A count on the terminal, redrawn a few times a second; nothing when stderr is redirected.
  void ShowProgress() {
    if (!terminal_) return;
    const auto now = std::chrono::steady_clock::now();
    if (now < next_progress_) return;
    next_progress_ = now + std::chrono::milliseconds(200);
    PrintError(QStringLiteral("\rCatalogando: %1 arquivos").arg(files_));
    progress_shown_ = true;
  }

  static constexpr qsizetype kFlushSize = 1 << 16;
  std::mutex mutex_;
  const bool json_;
  const bool duplicates_;
  const bool terminal_ = ::isatty(STDERR_FILENO) != 0;
  bool progress_shown_ = false;
  std::chrono::steady_clock::time_point next_progress_{};
  int files_ = 0, cards_ = 0, single_saves_ = 0, skipped_ = 0, refused_ = 0, unreadable_ = 0;
  int saves_ = 0;
  QByteArray pending_;
  std::map<SaveDigest, std::vector<Copy>> copies_;
};

// The files the walk has found and no reader has taken yet; the walk waits when it is full, so
// only a few files are ever held.
class FileQueue {
 public:
  void Push(std::string path) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || paths_.size() < kHeld; });
    if (stopped_) return;
    paths_.push_back(std::move(path));
    changed_.notify_all();
  }
  std::optional<std::string> Pop() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stopped_ || closed_ || !paths_.empty(); });
    if (stopped_ || paths_.empty()) return std::nullopt;
    std::string path = std::move(paths_.front());
    paths_.pop_front();
    changed_.notify_all();
    return path;
  }
  // No more paths will come; the readers finish what is queued.
  void Close() {
    const std::lock_guard lock(mutex_);
    closed_ = true;
    changed_.notify_all();
  }
  // Everything ends now: a reader failed.
  void Stop() {
    const std::lock_guard lock(mutex_);
    stopped_ = true;
    changed_.notify_all();
  }

 private:
  static constexpr std::size_t kHeld = 32;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::string> paths_;
  bool closed_ = false;
  bool stopped_ = false;
};

// Reading a file and hashing its saves take about as long as each other: two readers keep both
// processors busy while the walk feeds them.
constexpr int kReaders = 2;

// Each file's buffers (up to 135 KiB) are freed as the next file's are taken. By default the
// readers' heaps hand such memory back to the system and fault it in again, a third of the run;
// a few MiB kept for reuse avoid it.
void KeepFreedBuffersForReuse() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 1 << 20);
  mallopt(M_TRIM_THRESHOLD, 16 << 20);
#endif
}

}  // namespace

int RunCatalogo(const QStringList& arguments) {
  CommandLine line({"catalogo",
                    {"CAMINHO..."},
                    "[--json] [--duplicados]",
                    "Percorre arquivos e pastas (sem seguir atalhos para pastas; cada arquivo uma "
                    "vez), reconhece\npelo conteúdo cada imagem de Memory Card e cada 'save' "
                    "avulso e mostra uma linha por 'save'\n(os removidos também), com os campos "
                    "separados por tabulação: arquivo, formato, bloco,\nlocalidade, código de "
                    "produto, ID do jogo, título, blocos, estado e o SHA-256 do 'save'\n(o seu "
                    "nome de 20 bytes seguido dos seus blocos). Arquivos que não são cartões nem "
                    "'saves'\nsão contados e pulados; os ilegíveis são informados e contados."});
  line.AddOption({kJsonOption},
                 QStringLiteral("Um objeto JSON por 'save' e por linha (JSON Lines); o resumo "
                                "vai para stderr."));
  line.AddOption({"duplicados"},
                 QStringLiteral("Agrupa os 'saves' de mesmo SHA-256 e mostra onde está cada "
                                "cópia."));
  if (!line.Parse(arguments)) return ExitDone;
  std::vector<std::string> roots;
  for (const QString& path : line.PositionalsFrom(0)) roots.push_back(SystemPath(path));
  Catalogue catalogue(line.IsSet(kJsonOption), line.IsSet("duplicados"));
  KeepFreedBuffersForReuse();
  // Installed before the readers start, so that theirs only join it.
  const QuietMessages quiet;
  FileQueue queue;
  std::mutex failure_guard;
  std::exception_ptr failure;
  {
    std::vector<std::jthread> readers;
    for (int i = 0; i < kReaders; ++i) {
      readers.emplace_back([&] {
        try {
          while (std::optional<std::string> path = queue.Pop()) catalogue.File(*path);
        } catch (...) {
          // A lost output (a closed pipe) or any other failure ends the whole run.
          queue.Stop();
          const std::lock_guard lock(failure_guard);
          if (!failure) failure = std::current_exception();
        }
      });
    }
    WalkTree(roots, {[&](const std::string& path) { queue.Push(path); },
                     [&](const std::string& path, std::error_code reason) {
                       catalogue.Unreadable(path, reason);
                     }});
    queue.Close();
  }
  if (failure) std::rethrow_exception(failure);
  catalogue.Finish();
  return ExitDone;
}

int RunSeparar(const QStringList& arguments) {
  const QString layouts = LayoutNames();
  CommandLine line(
      {"separar",
       {"CARTAO..."},
       "--destino PASTA [--layout " + layouts + "] [--simular] [--json]",
       "Grava os 'saves' dos cartões num cartão por jogo (o código de produto do nome do "
       "'save'),\nem PASTA, na organização de --layout (a primeira é o padrão):\n" +
           LayoutPatterns() +
           "Os 'saves' que não cabem num cartão vão para o canal seguinte (N de 1 a 8; 2 no "
           "duckstation).\nUm cartão que já existe recebe os 'saves' que cabem e que ainda não "
           "tem; "
           "nenhum arquivo é substituído.\n'Saves' removidos não são copiados; 'saves' idênticos "
           "são "
           "gravados uma vez.\nSaída 1 quando algum 'save' ficou de fora, com o motivo."});
  line.AddOption({"destino"}, QStringLiteral("A pasta dos cartões por jogo."),
                 QStringLiteral("PASTA"));
  line.AddOption({"layout"}, QStringLiteral("A organização dos cartões: ") + layouts + u'.',
                 QStringLiteral("LAYOUT"));
  line.AddOption({kSimulateOption}, QStringLiteral("Mostra o que seria gravado, sem gravar nada."));
  line.AddOption({kJsonOption},
                 QStringLiteral("Saída em JSON: uma lista com um objeto por 'save'."));
  if (!line.Parse(arguments)) return ExitDone;
  if (!line.IsSet("destino")) line.Fail(QStringLiteral("falta a opção --destino PASTA"));
  const QString layout_name = line.IsSet("layout") ? line.Value("layout") : "pasta";
  const std::optional<CardLayout> layout = CardLayoutNamed(layout_name.toStdString());
  if (!layout) {
    line.Fail(QStringLiteral("--layout deve ser %1, não \"%2\"").arg(layouts, layout_name));
  }

  const QStringList inputs = line.PositionalsFrom(0);
  CardPlan plan(PerGameTargets(*layout, PathFromText(SystemPath(line.Value("destino")))));
  for (const QString& input : inputs) {
    PlanFile(plan, input.toStdString(), SystemPath(input), GameOfSave);
  }
  RequireOutputsApart(line, plan, inputs);
  return ReportPlan(line, plan);
}

int RunJuntar(const QStringList& arguments) {
  CommandLine line({"juntar",
                    {"SAIDA", "ENTRADA..."},
                    "[--formato " + CardFormatCodes() + "] [--forcar] [--simular] [--json]",
                    "Grava todos os 'saves' das ENTRADAs (imagens de Memory Card ou 'saves' "
                    "avulsos, em qualquer formato)\nem tão poucos cartões quanto precisarem: "
                    "SAIDA, depois SAIDA-2, ..., no formato de SAIDA,\nna ordem das entradas. "
                    "'Saves' idênticos são gravados uma vez; dois 'saves' diferentes com o\n"
                    "mesmo nome nunca ficam no mesmo cartão; 'saves' removidos não são copiados."});
  AddCardFormatOption(line);
  line.AddForceOption(QStringLiteral("SAIDA (e SAIDA-2, ...)"));
  line.AddOption({kSimulateOption}, QStringLiteral("Mostra o que seria gravado, sem gravar nada."));
  line.AddOption({kJsonOption},
                 QStringLiteral("Saída em JSON: uma lista com um objeto por 'save'."));
  if (!line.Parse(arguments)) return ExitDone;
  const QString output = line.Positional(0);
  const CardFormat format = OutputCardFormat(line, output);
  const QStringList inputs = line.PositionalsFrom(1);
  CardPlan plan(MergeTargets(PathFromText(SystemPath(output)), format));
  for (const QString& input : inputs) {
    PlanFile(plan, input.toStdString(), SystemPath(input), OneGroup);
  }
  RequireOutputsApart(line, plan, inputs);
  // A simulation writes nothing, so it may name cards that exist.
  if (!line.IsSet(kSimulateOption)) {
    for (const std::string& existing : plan.ExistingTargetFiles()) {
      line.RequireNewOutput(TextFromSystemPath(existing), {});
    }
  }
  return ReportPlan(line, plan);
}
