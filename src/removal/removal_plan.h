// What a removal run works on and what it tells the user, kept apart from
// the window and the file system: the list path on the command line, the
// password check, the order of the two passes and the texts of the
// confirmation and the closing report.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/texts.h"
#include "listfile/folder_rule.h"
#include "listfile/list_file.h"
#include "listfile/routine.h"

namespace removal {

// The text without one pair of double quotes around it, if it has them.
std::wstring WithoutQuotes(const std::wstring& text);
// The list path: the second "*"-separated piece of the argument text
// (empty when there is none). Blanks need no quoting; a console or the Run
// box quotes them anyway, so one pair of quotes around the whole argument
// text or around the path is dropped.
std::wstring ListPathFromArguments(const std::wstring& arguments);

// The typed text against the stored password, both trimmed of blanks (so a
// password typed exactly as it was saved matches); case-sensitive.
bool PasswordMatches(const std::wstring& typed, const std::wstring& stored);

// A record the passes leave alone, kept for the preview: one that names an
// item listed before it in pass order (in any spelling), or one that is not
// understood (a type word other than "File", "Folder" and "Rule", or a rule
// that does not parse or whose patterns cannot be used).
struct SetAside {
  std::wstring path;
  std::wstring type;
  bool duplicate = false;  // otherwise: not understood
};

// A rule or a routine of the list. What it takes is known once a run (or a
// preview) has walked its folders: its files are then a run of
// Plan::files, and the folders it empties (a rule's subfolders, a
// routine's REMOVESELF folders) are among the first folders of
// Plan::folders.
struct PlannedRule {
  listfile::FolderRule rule;                         // a rule's
  std::shared_ptr<const listfile::Routine> routine;  // set for a routine (then `rule` is unused)
  std::wstring refusal;             // why it takes nothing (a protected place, not on this computer), once walked
  std::vector<std::wstring> notes;  // a routine's places that take nothing, each with why, once walked
  size_t firstFile = 0;
  size_t files = 0;
  size_t folders = 0;  // the subfolders it empties
  std::uint64_t bytes = 0;
};

// A rule's folder or a routine's name, as its row and its account show it.
std::wstring PlannedName(const PlannedRule& rule);
// Its record's text.
std::wstring PlannedRecordText(const PlannedRule& rule);

// The paths of both passes, each from the last record to the first, chosen
// by the type word alone ("File" or "Folder", exactly). An item listed
// twice by one type word is in its pass once, where it comes first.
struct Plan {
  std::vector<std::wstring> files;
  std::vector<std::wstring> folders;
  std::vector<SetAside> setAside;  // in pass order
  std::vector<PlannedRule> rules;  // in pass order
  // Once the rules are walked: the files before the rules' ones are the
  // listed files; the first ruleOfFolder.size() folders are the subfolders
  // the rules empty (deepest first), each with its rule.
  size_t listedFiles = 0;
  std::vector<size_t> ruleOfFolder;
  bool expanded = false;
  std::wstring listPath;  // the list file, which no rule takes
};
Plan MakePlan(const std::vector<listfile::Record>& records);
// The records of a list's texts as a run reads them (listfile::ReadRecord).
// Each text is let go once read, so a long list is not held twice.
std::vector<listfile::Record> RunRecords(std::vector<std::wstring>&& texts);
// The same, taking the paths over from the records.
Plan MakePlan(std::vector<listfile::Record>&& records);

// The removal's texts write their numbers in the user's style (base/texts.h).
using base::text::GroupedNumber;
using base::text::NumberStyle;

// What a preview found the list's rules take: told at the confirmation
// while the list still has the very rules the preview walked.
struct RulesForeseen {
  std::vector<std::wstring> records;  // the rules' records, in plan order
  size_t files = 0;
  size_t folders = 0;
  std::wstring size;  // of the files, worded
};
// The rules' records and what they take, of a plan whose rules are walked.
RulesForeseen ForeseenOf(const Plan& plan, const std::wstring& size);

// "Are you sure you wish to remove your files?" and a line saying how many
// files and folders the list names (each once); with rules, a line saying
// how many rules take what their folders hold when the run starts and,
// when `foreseen` is of the same rules, what the preview found them take.
// The numbers are written in `style`.
std::wstring ConfirmationText(const Plan& plan, const std::wstring& listPath, const RulesForeseen* foreseen = nullptr,
                              const NumberStyle& style = NumberStyle());

// The message for a list file that cannot be read.
std::wstring UnreadableListText(const std::wstring& listPath, const std::wstring& reason);
// The message for a list file that names no file and no folder.
std::wstring EmptyListText(const std::wstring& listPath);

// Briefly locked items (a virus scanner, an indexer or a sync client holding
// them open) are tried again after the first sweep of a pass: one round
// after each of these pauses, so an item waits about 1 s at most, and the
// whole run waits no more than kRetryBudgetMs.
constexpr unsigned kRetryPausesMs[] = {50, 100, 150, 250, 450};
constexpr unsigned kRetryBudgetMs = 10000;
// Whether a refusal with this code may go away by itself: a sharing or lock
// violation, a delete still pending, or an access denied not caused by the
// read-only attribute.
bool MayPass(unsigned long code, bool readOnly);

// Why an item stayed: a short reason for the usual error codes, otherwise
// the platform's own text for the code.
std::wstring ReasonText(unsigned long code, bool readOnly, const std::wstring& systemText);

// Why a listed folder stays that still holds something: how many of its
// items are not in the list; when all are, how many listed ones stay
// (`foreseen`: a preview's words, before the run).
std::wstring HeldText(size_t unlisted, size_t staying, bool foreseen, const NumberStyle& style = NumberStyle());

// One listed item that is still there after the passes.
struct Leftover {
  std::wstring path;
  std::wstring reason;
};
// The closing message when something stayed: how many, and the first
// `shown` of them with their reasons (very long paths shortened in the
// middle).
constexpr size_t kShownLeftovers = 20;
std::wstring LeftoverReport(const std::vector<Leftover>& leftovers, size_t shown = kShownLeftovers,
                            const NumberStyle& style = NumberStyle());
// The closing message of a run the user stopped: how many items it removed,
// then what was left, as LeftoverReport lists it. It never says "Done".
std::wstring StoppedReport(size_t removed, const std::vector<Leftover>& leftovers, size_t shown = kShownLeftovers,
                           const NumberStyle& style = NumberStyle());

// What a run removed, for the closing message.
struct Account {
  size_t files = 0;
  size_t folders = 0;
  std::wstring size;      // the removed files' bytes, as Explorer writes them
  bool recycled = false;  // moved to the Recycle Bin rather than deleted
};
// "Removed 105,051 items: 100,000 files (1.2 GB) and 5,051 folders."
std::wstring AccountText(const Account& account, const NumberStyle& style);
// What one rule of a run did: the items (files and emptied subfolders) it
// took that went, and those that stayed.
struct RuleAccount {
  std::wstring folder;  // a routine's name
  size_t removed = 0;
  size_t stayed = 0;
  bool routine = false;
  bool absent = false;  // a routine that is not on this computer: it took nothing, and that is no failure
};
// The line the account gets when the list has rules: "Of them, 2 rules
// took 14 items." and, for each rule where something stayed, "D:\Cache\:
// 2 of its 16 items stayed." (a refused rule is reported as an item that
// stayed; a routine not on this computer says so: "Editor Logs: not on
// this computer."). Empty without rules.
std::wstring RulesAccountText(const std::vector<RuleAccount>& rules, const NumberStyle& style);
// The same, one line each (none without rules).
std::vector<std::wstring> RulesAccountLines(const std::vector<RuleAccount>& rules, const NumberStyle& style);
// The whole closing message: "Done" and the account when nothing stayed;
// the account above the list of what stayed; or, for a stopped run, its
// first line, the account and what was left.
std::wstring ClosingText(const std::wstring& account, bool stopped, size_t removed,
                         const std::vector<Leftover>& leftovers, size_t shown = kShownLeftovers,
                         const NumberStyle& style = NumberStyle());
// A path for a message: whole up to `longest` characters, otherwise its
// start and end around "...".
std::wstring ShownPath(const std::wstring& path, size_t longest = 300);

// The full report written when more items stay than the message shows.
using ReportTime = base::text::DateTime;
// "<list name> - not removed 2026-12-08 14.05.09.txt"; a later copy of the
// same second gets " (2)", " (3)"... before ".txt".
std::wstring ReportFileName(const std::wstring& listPath, const ReportTime& time, int copy = 1);
// Every item that stayed with its reason, one per line, CR LF line ends.
std::wstring FullReportText(const std::vector<Leftover>& leftovers, const std::wstring& listPath,
                            const ReportTime& time, const NumberStyle& style = NumberStyle());
// The line the closing message ends with: where the full report is, or why
// it could not be written.
std::wstring ReportPlaceText(const std::wstring& reportPath, const std::wstring& failure);

}  // namespace removal
