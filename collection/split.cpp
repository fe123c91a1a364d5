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

std::string GameOfSave(const SaveContents& save) {
  return GameCodeOf(save.frame);
}

void PlanFile(CardPlan& plan, const std::string& label, const std::string& path,
              const CardPlan::GroupOf& group) {
  const std::size_t source = plan.AddSource({label, path, nullptr});
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
