#include "card_plan.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

#include "card/directory_name.h"
#include "card/error_reason_text.h"
#include "card/file_io.h"
#include "card/file_lock.h"
#include "card/image_file.h"
#include "card/save_placement.h"
#include "card/single_save.h"
#include "collection/quiet_messages.h"

namespace {

// How long writing into an existing card waits for a command editing it.
constexpr std::chrono::milliseconds kEditPatience{2000};
// Cards written at once: waits for the disk overlap.
constexpr std::size_t kWriters = 8;

// The names a save is known by: all 20 bytes, and the bytes up to the first NUL that an import
// compares. Two saves clash on a card when they share either.
std::vector<std::string> NameKeys(const Frame& frame) {
  auto bytes = DirectoryNameBytes(frame);
  std::vector<std::string> keys{std::string(bytes.begin(), bytes.end())};
  std::string looked_up = SaveName(frame);
  if (!looked_up.empty() && looked_up.size() < keys.front().size()) {
    keys.push_back(std::move(looked_up));
  }
  return keys;
}

std::string FileErrorText(const FileError& error) {
  return error.path() + ": " + FileFailureReason(error);
}

}  // namespace

CardPlan::CardPlan(CardTargets targets) : targets_(std::move(targets)) {}

std::size_t CardPlan::AddSource(SaveSource source) {
  sources_.push_back(std::move(source));
  return sources_.size() - 1;
}

CardPlan::TargetCard CardPlan::Probe(std::filesystem::path path) const {
  TargetCard target;
  target.path = std::move(path);
  target.format = targets_.format;
  const std::string file = target.path.string();
  std::error_code missing;
  if (!std::filesystem::exists(std::filesystem::symlink_status(target.path, missing))) {
    return target;
  }
  target.exists = true;
  if (!targets_.add_to_existing) return target;
  // An existing file is written to only when it loads as a card; anything else is left alone.
  QuietMessages quiet;
  auto card = std::make_unique<CardImage>();
  CardContainer container;
  try {
    target.usable = RegularFileExists(file) && LoadCardFile(*card, container, file);
  } catch (const FileError&) {
    target.usable = false;
  }
  if (!target.usable) return target;
  target.format = container.format;
  target.free_blocks = CountFreeBlocks(*card);
  for (const FoundSave& save : SavesOfCard(*card, {}, container.card_bytes)) {
    if (save.removed) continue;
    for (std::string& key : NameKeys(save.contents.frame)) target.names.insert(std::move(key));
    if (!save.broken) target.digests.insert(save.digest);
  }
  return target;
}

CardPlan::TargetCard& CardPlan::Target(const std::string& group, int n) {
  std::vector<TargetCard>& cards = groups_[group];
  while (std::ssize(cards) < n) {
    cards.push_back(Probe(targets_.path(group, static_cast<int>(cards.size()) + 1)));
  }
  return cards[static_cast<std::size_t>(n - 1)];
}

void CardPlan::Plan(std::size_t source, const std::vector<FoundSave>& saves, const GroupOf& group) {
  for (const FoundSave& save : saves) {
    if (save.removed) continue;
    PlannedSave planned;
    planned.source = source;
    planned.block = save.block;
    planned.name = DirectoryName(save.contents.frame);
    planned.blocks = save.contents.block_count;
    planned.digest = save.digest;
    if (save.broken || planned.name.empty()) {
      // A game never finds a save without a name.
      planned.reason = save.broken ? "a cadeia de blocos do 'save' é inválida"
                                   : "o 'save' não tem nome (o nome do arquivo não o traz)";
      saves_.push_back(std::move(planned));
      continue;
    }
    PlanOne(std::move(planned), save.contents, group(save.contents));
  }
}

void CardPlan::PlanOne(PlannedSave planned, const SaveContents& contents,
                       const std::string& group) {
  const std::size_t index = saves_.size();
  // The same bytes on any card of the group are enough: identical saves are written once. Only
  // cards that may exist already can hold a save that was not planned here.
  const int known =
      targets_.add_to_existing ? targets_.limit : static_cast<int>(groups_[group].size());
  for (int n = 1; n <= known; ++n) {
    TargetCard& target = Target(group, n);
    if (target.usable && target.digests.contains(planned.digest)) {
      planned.fate = SaveFate::Identical;
      planned.target = target.path.string();
      saves_.push_back(std::move(planned));
      return;
    }
  }
  const std::vector<std::string> names = NameKeys(contents.frame);
  for (int n = 1; n <= targets_.limit; ++n) {
    TargetCard& target = Target(group, n);
    // A game finds only one of two saves with one name on a card.
    if (!target.usable || target.free_blocks < planned.blocks ||
        std::ranges::any_of(names,
                            [&](const std::string& key) { return target.names.contains(key); })) {
      continue;
    }
    target.free_blocks -= planned.blocks;
    target.names.insert(names.begin(), names.end());
    target.digests.insert(planned.digest);
    target.planned.push_back(index);
    planned.fate = SaveFate::Written;
    planned.target = target.path.string();
    planned.comment_left = !contents.comment.empty() && target.format != CardFormat::DexDrive;
    saves_.push_back(std::move(planned));
    return;
  }
  planned.reason =
      "não cabe em nenhum dos " + std::to_string(targets_.limit) + " cartões permitidos";
  saves_.push_back(std::move(planned));
}

void CardPlan::LeaveOutSource(std::size_t source, const std::string& reason) {
  PlannedSave planned;
  planned.source = source;
  planned.reason = reason;
  saves_.push_back(std::move(planned));
}

std::vector<std::string> CardPlan::TargetFiles() const {
  std::vector<std::string> files;
  for (const auto& [group, cards] : groups_) {
    for (const TargetCard& target : cards) {
      if (!target.planned.empty()) files.push_back(target.path.string());
    }
  }
  return files;
}

std::vector<std::string> CardPlan::ExistingTargetFiles() const {
  std::vector<std::string> files;
  for (const auto& [group, cards] : groups_) {
    for (const TargetCard& target : cards) {
      if (!target.planned.empty() && target.exists) files.push_back(target.path.string());
    }
  }
  return files;
}

int CardPlan::LeftOutCount() const {
  return static_cast<int>(std::ranges::count(saves_, SaveFate::LeftOut, &PlannedSave::fate));
}

std::optional<SaveContents> CardPlan::ReadAgain(const PlannedSave& planned,
                                                SourceCache& cache) const {
  if (cache.source != planned.source) {
    cache.saves.clear();
    cache.source = planned.source;
    cache.saves = SavesOfSource(sources_[planned.source]);
  }
  for (const FoundSave& save : cache.saves) {
    if (save.block == planned.block && !save.broken && save.digest == planned.digest) {
      return save.contents;
    }
  }
  return std::nullopt;
}

void CardPlan::WriteTarget(TargetCard& target, SourceCache& cache) {
  const std::string file = target.path.string();
  auto leave_out_all = [&](const std::string& reason) {
    for (std::size_t index : target.planned) {
      if (saves_[index].fate != SaveFate::Written) continue;
      saves_[index].fate = SaveFate::LeftOut;
      saves_[index].reason = reason;
    }
  };
  QuietMessages quiet;
  try {
    FileEditLock lock(file);
    auto card = std::make_unique<CardImage>();
    CardContainer container = NewCardContainer(targets_.format);
    const bool add = target.exists && targets_.add_to_existing;
    if (add) {
      if (!lock.Acquire(kEditPatience)) {
        leave_out_all("o cartão " + file + " está sendo alterado por outro comando");
        return;
      }
      if (!LoadCardFile(*card, container, file)) {
        leave_out_all(quiet.Last());
        return;
      }
    } else {
      if (RegularFileExists(file) && !target.exists) {
        leave_out_all("o arquivo " + file + " apareceu durante a separação e não foi substituído");
        return;
      }
      FormatImage(*card);
    }
    for (std::size_t index : target.planned) {
      PlannedSave& planned = saves_[index];
      std::optional<SaveContents> contents;
      try {
        contents = ReadAgain(planned, cache);
      } catch (const FileError& error) {
        planned.reason = FileErrorText(error);
      }
      if (!contents) {
        if (planned.reason.empty()) planned.reason = "o arquivo de origem mudou durante a cópia";
      } else if (const QuietMessages import;
                 ImportSaves(*card, container.comments, std::span(&*contents, 1),
                             [](const std::string&) { return false; })
                     .front() == 0) {
        planned.reason = import.Last().empty() ? "o cartão não aceitou o 'save'" : import.Last();
      } else {
        continue;
      }
      planned.fate = SaveFate::LeftOut;
    }
    if (std::ranges::none_of(target.planned, [&](std::size_t index) {
          return saves_[index].fate == SaveFate::Written;
        })) {
      return;
    }
    std::filesystem::create_directories(target.path.parent_path());
    SaveCardFile(*card, container, file);
  } catch (const FileError& error) {
    leave_out_all(FileErrorText(error));
  } catch (const std::filesystem::filesystem_error& error) {
    leave_out_all(error.path1().string() + ": " + ErrorReasonText(error.code()));
  }
}

void CardPlan::CarryOut() {
  std::vector<TargetCard*> pending;
  for (auto& [group, cards] : groups_) {
    for (TargetCard& target : cards) {
      if (!target.planned.empty()) pending.push_back(&target);
    }
  }
  // Each card waits for the disk to take it far longer than it takes to build: a few are
  // written side by side. The keeper of messages is installed before any writer starts.
  const QuietMessages quiet;
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failure_guard;
  auto writer = [&] {
    SourceCache cache;
    try {
      for (std::size_t i = next++; i < pending.size(); i = next++) WriteTarget(*pending[i], cache);
    } catch (...) {
      const std::lock_guard lock(failure_guard);
      if (!failure) failure = std::current_exception();
      next = pending.size();
    }
  };
  {
    std::vector<std::jthread> writers;
    for (std::size_t i = 1; i < std::min(kWriters, pending.size()); ++i)
      writers.emplace_back(writer);
    writer();
  }
  if (failure) std::rethrow_exception(failure);
}

std::vector<FoundSave> SavesOfSource(const SaveSource& source) {
  return source.card ? SavesOfCard(*source.card, source.comments, source.card_bytes)
                     : ExamineFile(source.path).saves;
}

std::string PlanLine(const CardPlan& plan, const PlannedSave& save) {
  std::string line = plan.Sources()[save.source].label;
  if (save.block != 0) line += " " + std::to_string(save.block);
  switch (save.fate) {
    case SaveFate::Written:
      return line + " → " + save.target + (save.comment_left ? " (sem o comentário DexDrive)" : "");
    case SaveFate::Identical:
      return line + " → " + save.target + " (idêntico, gravado uma vez)";
    case SaveFate::LeftOut:
      break;
  }
  return line + " → não gravado: " + save.reason;
}

std::string PlanSummary(const CardPlan& plan, bool carried_out) {
  const auto count = [&](SaveFate fate) {
    return std::to_string(std::ranges::count(plan.Saves(), fate, &PlannedSave::fate));
  };
  std::string summary = (carried_out ? "Gravados: " : "A gravar: ") + count(SaveFate::Written) +
                        " em " + std::to_string(plan.TargetFiles().size()) +
                        " cartões; idênticos: " + count(SaveFate::Identical) +
                        "; não gravados: " + count(SaveFate::LeftOut);
  const auto comments_left = std::ranges::count_if(plan.Saves(), [](const PlannedSave& save) {
    return save.fate == SaveFate::Written && save.comment_left;
  });
  if (comments_left > 0) {
    summary += "\nComentários DexDrive que o formato dos cartões não guarda: " +
               std::to_string(comments_left);
  }
  if (!carried_out) summary += "\nSimulação: nada foi gravado.";
  return summary;
}
