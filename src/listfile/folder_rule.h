// A folder rule: the delete-list record that names a folder and what to
// take from it when a run starts, read strictly and written back (the
// README's "The delete-list file" has its seven fields).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace listfile {

enum class AgeUnit { None, Days, Hours };

struct FolderRule {
  std::wstring folder;                   // a full path, with its closing "\"
  std::vector<std::wstring> names;       // empty: all files
  std::vector<std::wstring> exceptions;  // names never taken
  AgeUnit ageUnit = AgeUnit::None;       // None: any age
  uint32_t age = 0;                      // in ageUnit, 1 to the unit's most
  bool subfolders = true;
  bool removeEmptied = false;  // the subfolders its files leave empty; its own folder always stays
};

// The largest ages a record may hold: a hundred years.
constexpr uint32_t kMostAgeDays = 36500;
constexpr uint32_t kMostAgeHours = kMostAgeDays * 24;

// The whole record's text ("folder|Rule|...") to a rule; false when it is
// not a rule's record or any field breaks the format.
bool ParseRule(const std::wstring& recordText, FolderRule& rule);
// The record's text of a rule; ParseRule gives the rule back.
std::wstring RuleRecordText(const FolderRule& rule);
// Why a rule could not be written or kept (its folder, a pattern, its age),
// for the user; empty when it is sound.
std::wstring RuleProblem(const FolderRule& rule);

// The plain summary: "*.tmp; *.log, older than 7 days, with subfolders".
std::wstring RuleSummary(const FolderRule& rule);

// Patterns as typed ("*.tmp; *.log"): split at ";", blanks around each one
// and empty ones left out; and back, joined by "; ".
std::vector<std::wstring> SplitTypedPatterns(const std::wstring& typed);
std::wstring JoinPatterns(const std::vector<std::wstring>& patterns);

// File times are 100-nanosecond ticks since 1601 (as the platform keeps
// them). The rule's age in ticks, 0 for none.
uint64_t AgeTicks(const FolderRule& rule);
// Whether a file last written at `lastWritten` is old enough for the rule
// at `now`: written more than the age before it. Any file is, when the rule
// has no age; a file written after `now` never is, when it has one.
bool OldEnough(const FolderRule& rule, uint64_t lastWritten, uint64_t now);

}  // namespace listfile
