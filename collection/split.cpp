#include "split.h"

#include "card/error_reason_text.h"
#include "card/file_io.h"
#include "collection/game_code.h"

CardTargets PerGameTargets(CardLayout layout, const std::filesystem::path& destination) {
  CardTargets targets;
  targets.path = [layout, destination](const std::string& game, int channel) {
    return PerGameCardPath(layout, destination, game, channel);
  };
  targets.limit = InfoOf(layout).channels;
  targets.format = CardFormat::Raw;
  targets.add_to_existing = true;
  return targets;
}

CardTargets MergeTargets(const std::filesystem::path& first, CardFormat format) {
  CardTargets targets;
  targets.path = [first](const std::string&, int n) {
    if (n == 1) return first;
    std::filesystem::path numbered = first;
    numbered.replace_filename(first.stem().string() + "-" + std::to_string(n) +
                              first.extension().string());
    return numbered;
  };
  // Never reached in practice: each card takes at least one save.
  targets.limit = 9999;
  targets.format = format;
  targets.add_to_existing = false;
  return targets;
}

std::string OneGroup(const SaveContents&) {
  return {};
}

std::string GameOfSave(const SaveContents& save) {
  return GameCodeOf(save.frame);
}

void PlanFile(CardPlan& plan, const std::string& label, const std::string& path,
              const CardPlan::GroupOf& group) {
  const std::size_t source = plan.AddSource({.label = label, .path = path});
  FoundFile found;
  try {
    found = ExamineFile(path);
  } catch (const FileError& error) {
    plan.LeaveOutSource(source, FileFailureReason(error));
    return;
  }
  switch (found.kind) {
    case FoundKind::Card:
    case FoundKind::SingleSave:
      plan.Plan(source, found.saves, group);
      return;
    case FoundKind::Refused:
      plan.LeaveOutSource(source, found.reason);
      return;
    case FoundKind::Other:
      break;
  }
  plan.LeaveOutSource(source, "não é uma imagem de Memory Card nem um 'save'");
}
