#pragma once

#include <filesystem>
#include <string>

#include "collection/card_plan.h"
#include "collection/layout.h"

// Splitting shared cards into one card per game, and the planning both the split and the merge
// do for each file they are given.

// Per-game cards of layout under destination: existing ones get saves added, never replaced.
CardTargets PerGameTargets(CardLayout layout, const std::filesystem::path& destination);

// Cards for a merge: first, then first with "-2", "-3", ... before its extension, all in format;
// existing files are replaced (the caller asks before).
CardTargets MergeTargets(const std::filesystem::path& first, CardFormat format);

// The group of a save in a split: its game.
std::string GameOfSave(const SaveContents& save);

// The group of every save in a merge: one.
std::string OneGroup(const SaveContents& save);

// Examines the file at path and plans its saves (a card's or a single save's); a file that
// cannot be read, or holds neither, is left out with the reason.
void PlanFile(CardPlan& plan, const std::string& label, const std::string& path,
              const CardPlan::GroupOf& group);
