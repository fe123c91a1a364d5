#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "card/formats/card_file.h"
#include "collection/found_file.h"

// Saves of many cards and files put onto as few cards as they need: planned first (the plan is
// what a trial run shows), then carried out one target card at a time. Only the plan stays in
// memory: a save's bytes are read again from its file when its card is written, and a file that
// changed in between is caught by the save's digest.

// Where saves come from: a file, or a card already in memory (the window's).
struct SaveSource {
  std::string label{};  // as reports name it
  std::string path{};   // read again when the plan is carried out; unused when card is set
  std::shared_ptr<const CardImage> card{};
  SaveComments comments{};            // of card
  std::size_t card_bytes = CardSize;  // of card that its file held
};

// The saves of a source, as a plan finds them.
std::vector<FoundSave> SavesOfSource(const SaveSource& source);

enum class SaveFate {
  Written,    // goes (went) onto target
  Identical,  // the same save (same bytes) is already on target, or goes there once already
  LeftOut,    // reason says why
};

struct PlannedSave {
  std::size_t source = 0;
  int block = 0;     // its first block; 0 in a single-save file
  std::string name;  // its directory name, NULs left out
  int blocks = 0;
  SaveDigest digest{};
  SaveFate fate = SaveFate::LeftOut;
  std::string target;         // the card file; empty when left out
  bool comment_left = false;  // written where its DexDrive comment cannot go
  std::string reason;
};

// The cards a group of saves may fill, in order of preference.
struct CardTargets {
  // The card file of the n-th card (1-based) of a group.
  std::function<std::filesystem::path(const std::string& group, int n)> path;
  int limit = 1;                        // cards a group may have
  CardFormat format = CardFormat::Raw;  // of new cards
  // True: an existing card gets saves added when they fit and are not on it yet; a file that is
  // not a card is passed over, never replaced. False: existing files are replaced whole (the
  // caller asks before).
  bool add_to_existing = true;
};

class CardPlan {
 public:
  explicit CardPlan(CardTargets targets);

  std::size_t AddSource(SaveSource source);
  const std::vector<SaveSource>& Sources() const { return sources_; }

  // Plans the saves found in a source, in their order, each into the cards of its group.
  // Removed saves are not carried; a save whose chain is broken is left out.
  using GroupOf = std::function<std::string(const SaveContents& save)>;
  void Plan(std::size_t source, const std::vector<FoundSave>& saves, const GroupOf& group);
  // A source none of whose saves can be read at all.
  void LeaveOutSource(std::size_t source, const std::string& reason);

  const std::vector<PlannedSave>& Saves() const { return saves_; }
  // Files the plan writes, and those of them that exist already.
  std::vector<std::string> TargetFiles() const;
  std::vector<std::string> ExistingTargetFiles() const;
  int LeftOutCount() const;

  // Writes every target card; a save that cannot be written after all is left out with the
  // reason. Reports are in Saves().
  void CarryOut();

 private:
  struct TargetCard {
    std::filesystem::path path;
    bool exists = false;
    bool usable = true;
    CardFormat format = CardFormat::Raw;
    int free_blocks = SaveBlockCount;
    std::set<std::string> names;
    std::set<SaveDigest> digests;
    std::vector<std::size_t> planned;  // indexes of saves_
  };

  // The file a writer read last, kept while the saves of one card are written.
  struct SourceCache {
    std::size_t source = static_cast<std::size_t>(-1);
    std::vector<FoundSave> saves;
  };

  TargetCard& Target(const std::string& group, int n);
  TargetCard Probe(std::filesystem::path path) const;
  void PlanOne(PlannedSave planned, const SaveContents& contents, const std::string& group);
  // Touches only target and its own planned saves, so writers may run side by side.
  void WriteTarget(TargetCard& target, SourceCache& cache);
  std::optional<SaveContents> ReadAgain(const PlannedSave& planned, SourceCache& cache) const;

  CardTargets targets_;
  std::vector<SaveSource> sources_;
  std::vector<PlannedSave> saves_;
  std::map<std::string, std::vector<TargetCard>> groups_;
};

// The report of a plan, in the program's words (UTF-8): one line per save, "origem bloco →
// destino", and the counts.
std::string PlanLine(const CardPlan& plan, const PlannedSave& save);
std::string PlanSummary(const CardPlan& plan, bool carried_out);
