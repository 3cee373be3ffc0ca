// Removal run logic that needs no file system: command line, password,
// pass order and the texts shown to the user.
#include "removal/removal_plan.h"

#include <cwchar>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "base/beside.h"
#include "base/paths.h"
#include "base/text_utils.h"
#include "base/texts.h"
#include "listfile/shortcut_plan.h"
#include "removal/rule_files.h"

namespace removal {

using base::text::Counted;

namespace {

// "2 rules", "1 routine" or "2 rules and 1 routine".
std::wstring RulesWord(size_t rules, size_t routines, const NumberStyle& style) {
  if (routines == 0) return Counted(rules, L"rule", L"rules", style);
  const std::wstring routinesWord = Counted(routines, L"routine", L"routines", style);
  return rules == 0 ? routinesWord : Counted(rules, L"rule", L"rules", style) + L" and " + routinesWord;
}

size_t RoutineCount(const std::vector<PlannedRule>& rules) {
  size_t routines = 0;
  for (const PlannedRule& rule : rules) routines += rule.routine != nullptr;
  return routines;
}

// Win32 error codes the closing report explains in its own words.
constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kSharingViolation = 32;
constexpr unsigned long kLockViolation = 33;
constexpr unsigned long kDirNotEmpty = 145;
constexpr unsigned long kNotADirectory = 267;
constexpr unsigned long kWriteProtect = 19;
constexpr unsigned long kDeletePending = 303;

}  // namespace

std::wstring WithoutQuotes(const std::wstring& text) {
  if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') return text.substr(1, text.size() - 2);
  return text;
}

std::wstring ListPathFromArguments(const std::wstring& arguments) {
  std::vector<std::wstring> pieces;
  base::text::SplitString(WithoutQuotes(arguments), L'*', pieces);
  return pieces.size() > 1 ? WithoutQuotes(pieces[1]) : std::wstring();
}

bool PasswordMatches(const std::wstring& typed, const std::wstring& stored) {
  return base::text::TrimSpaces(typed) == base::text::TrimSpaces(stored);
}

std::vector<listfile::Record> RunRecords(std::vector<std::wstring>&& texts) {
  std::vector<listfile::Record> records;
  records.reserve(texts.size());
  for (std::wstring& text : texts) records.push_back(listfile::ReadRecord(std::exchange(text, std::wstring())));
  return records;
}

Plan MakePlan(const std::vector<listfile::Record>& records) { return MakePlan(std::vector<listfile::Record>(records)); }

namespace {

// The keys of the listed items ("F" or "D", then the path's key), made
// ahead of the plan, one after another in one text per share of the
// records: a list of a hundred thousand records costs no allocation per
// record. A long list is shared between two threads.
class ItemKeys {
 public:
  explicit ItemKeys(const std::vector<listfile::Record>& records) : records_(records), ends_(records.size(), 0) {
    const size_t half = records.size() >= kSharedFrom ? records.size() / 2 : records.size();
    std::optional<base::Beside<>> second;
    if (half < records.size()) second.emplace([this, half] { Make(half, records_.size(), texts_[1]); });
    Make(0, half, texts_[0]);
    if (second) second->Get();
    half_ = half;
  }

  // The record's key; empty for a record that names no file or folder.
  std::wstring_view Key(size_t i) const {
    const std::wstring& text = texts_[i < half_ ? 0 : 1];
    const size_t first = i == 0 || i == half_ ? 0 : ends_[i - 1];
    return std::wstring_view(text.data() + first, ends_[i] - first);
  }

 private:
  static constexpr size_t kSharedFrom = 20000;

  void Make(size_t first, size_t last, std::wstring& text) {
    for (size_t i = first; i < last; ++i) {
      const listfile::Record& r = records_[i];
      const bool file = r.kind == listfile::RecordKind::File;
      if (file || r.kind == listfile::RecordKind::Folder) {
        text += file ? L'F' : L'D';
        base::paths::AppendPathKey(r.path, text);
      }
      ends_[i] = text.size();
    }
  }

  const std::vector<listfile::Record>& records_;
  std::vector<size_t> ends_;  // where each record's key ends in its share's text
  std::wstring texts_[2];
  size_t half_ = 0;
};

// The keys seen so far, with an open hash table of their places.
class SeenItems {
 public:
  explicit SeenItems(size_t most) {
    size_t slots = 16;
    while (slots < 2 * most) slots *= 2;
    slots_.assign(slots, 0);
    keys_.reserve(most);
  }

  // False when the key was added before. The key's text must outlive this.
  bool Add(std::wstring_view key) {
    size_t slot = std::hash<std::wstring_view>()(key) & (slots_.size() - 1);
    for (; slots_[slot]; slot = (slot + 1) & (slots_.size() - 1))
      if (keys_[slots_[slot] - 1] == key) return false;
    keys_.push_back(key);
    slots_[slot] = keys_.size();
    return true;
  }

 private:
  std::vector<std::wstring_view> keys_;
  std::vector<size_t> slots_;  // index + 1 into keys_, or 0
};

// A rule record that parses and whose patterns can be used joins the plan's
// rules; false for anything else.
bool AddRule(const listfile::Record& record, Plan& plan) {
  PlannedRule planned;
  if (const listfile::Routine* routine = record.parsed.AsRoutine()) {
    planned.routine = std::make_shared<const listfile::Routine>(*routine);
    plan.rules.push_back(std::move(planned));
    return true;
  }
  const listfile::FolderRule* rule = record.parsed.AsRule();
  if (!rule || !PatternsProblem(*rule).empty()) return false;
  planned.rule = *rule;
  plan.rules.push_back(std::move(planned));
  return true;
}

// The type a record set aside shows: a rule's with its further fields, as
// it is written.
std::wstring SetAsideType(listfile::Record& record) {
  if ((record.kind != listfile::RecordKind::Rule && record.kind != listfile::RecordKind::Routine) ||
      record.text.empty())
    return std::move(record.type);
  return record.text.substr(record.path.size() + 1);
}

}  // namespace

std::wstring PlannedName(const PlannedRule& rule) { return rule.routine ? rule.routine->name : rule.rule.folder; }

std::wstring PlannedRecordText(const PlannedRule& rule) {
  return rule.routine ? listfile::RoutineRecordText(*rule.routine) : listfile::RuleRecordText(rule.rule);
}

Plan MakePlan(std::vector<listfile::Record>&& records) {
  Plan plan;
  const ItemKeys keys(records);
  SeenItems seen(records.size());
  for (size_t i = records.size(); i-- > 0;) {
    listfile::Record* r = &records[i];
    const bool file = r->kind == listfile::RecordKind::File;
    if (!file && r->kind != listfile::RecordKind::Folder) {
      if (!AddRule(*r, plan)) plan.setAside.push_back({std::move(r->path), SetAsideType(*r), false});
      continue;
    }
    if (!seen.Add(keys.Key(i))) {
      plan.setAside.push_back({std::move(r->path), std::move(r->type), true});
      continue;
    }
    (file ? plan.files : plan.folders).push_back(std::move(r->path));
  }
  plan.listedFiles = plan.files.size();
  return plan;
}

RulesForeseen ForeseenOf(const Plan& plan, const std::wstring& size) {
  RulesForeseen foreseen;
  for (const PlannedRule& rule : plan.rules) {
    foreseen.records.push_back(PlannedRecordText(rule));
    foreseen.files += rule.files;
    foreseen.folders += rule.folders;
  }
  foreseen.size = size;
  return foreseen;
}

namespace {

bool SameRules(const Plan& plan, const RulesForeseen& foreseen) {
  if (foreseen.records.size() != plan.rules.size()) return false;
  for (size_t r = 0; r < plan.rules.size(); ++r)
    if (PlannedRecordText(plan.rules[r]) != foreseen.records[r]) return false;
  return true;
}

}  // namespace

std::wstring ConfirmationText(const Plan& plan, const std::wstring& listPath, const RulesForeseen* foreseen,
                              const NumberStyle& style) {
  size_t ruleFiles = 0;
  for (const PlannedRule& rule : plan.rules) ruleFiles += rule.files;
  std::wstring text = L"Are you sure you wish to remove your files?\n" +
                      Counted(plan.files.size() - ruleFiles, L"file", L"files", style) + L" and " +
                      Counted(plan.folders.size() - plan.ruleOfFolder.size(), L"folder", L"folders", style) +
                      L" are listed in " + listPath;
  if (plan.rules.empty()) return text;
  const size_t routines = RoutineCount(plan.rules);
  const bool one = plan.rules.size() == 1;
  return text + L"\n" + RulesWord(plan.rules.size() - routines, routines, style) + (one ? L" takes" : L" take") +
         L" what " +
         (one && routines == 0 ? L"its folder holds"
          : one                ? L"its folders hold"
                               : L"their folders hold") +
         L" when the run starts" +
         (foreseen && SameRules(plan, *foreseen)
              ? L": at the preview, " + Counted(foreseen->files, L"file", L"files", style) + L" and " +
                    Counted(foreseen->folders, L"folder", L"folders", style) + L" (" + foreseen->size + L")."
              : std::wstring(L"."));
}

std::wstring UnreadableListText(const std::wstring& listPath, const std::wstring& reason) {
  const std::wstring name = listPath.empty() ? std::wstring(L"(no list file was named)") : listPath;
  return L"The delete list cannot be read:\n" + name + L"\n" + reason + L"\n\nNothing has been removed.";
}

std::wstring EmptyListText(const std::wstring& listPath) {
  return L"The delete list names no file and no folder:\n" + listPath + L"\n\nNothing has been removed.";
}

bool MayPass(unsigned long code, bool readOnly) {
  return code == kSharingViolation || code == kLockViolation || code == kDeletePending ||
         (code == kAccessDenied && !readOnly);
}

std::wstring ReasonText(unsigned long code, bool readOnly, const std::wstring& systemText) {
  switch (code) {
    case kAccessDenied: return readOnly ? L"read-only" : L"access denied";
    case kSharingViolation:
    case kLockViolation: return L"in use by another program";
    case kDeletePending: return L"still held open by another program";
    case kDirNotEmpty: return L"folder not empty";
    case kNotADirectory: return L"not a folder";
    case kWriteProtect: return L"the medium is write-protected";
    default: return systemText;
  }
}

namespace {

std::wstring ListedLeftovers(std::wstring text, const std::vector<Leftover>& leftovers, size_t shown,
                             const NumberStyle& style) {
  const size_t listed = leftovers.size() < shown ? leftovers.size() : shown;
  for (size_t i = 0; i < listed; ++i) text += L'\n' + ShownPath(leftovers[i].path) + L" - " + leftovers[i].reason;
  if (leftovers.size() > listed) text += L"\n... and " + GroupedNumber(leftovers.size() - listed, style) + L" more.";
  return text;
}

}  // namespace

std::wstring HeldText(size_t unlisted, size_t staying, bool foreseen, const NumberStyle& style) {
  if (unlisted)
    return L"it holds " + Counted(unlisted, L"item that is", L"items that are", style) + L" not in the list";
  if (!foreseen) return ReasonText(kDirNotEmpty, false, std::wstring());
  return L"it holds " + Counted(staying, L"listed item that", L"listed items that", style) + L" will stay";
}

std::wstring LeftoverReport(const std::vector<Leftover>& leftovers, size_t shown, const NumberStyle& style) {
  return ListedLeftovers(Counted(leftovers.size(), L"item", L"items", style) + L" could not be removed:\n", leftovers,
                         shown, style);
}

std::wstring StoppedReport(size_t removed, const std::vector<Leftover>& leftovers, size_t shown,
                           const NumberStyle& style) {
  std::wstring text = L"The run was stopped. " + Counted(removed, L"item was", L"items were", style) + L" removed.";
  if (leftovers.empty()) return text;
  return ListedLeftovers(text + L"\n\n" + Counted(leftovers.size(), L"item was", L"items were", style) + L" left:\n",
                         leftovers, shown, style);
}

std::wstring AccountText(const Account& account, const NumberStyle& style) {
  auto counted = [&](size_t n, const wchar_t* one, const wchar_t* many) { return Counted(n, one, many, style); };
  return std::wstring(account.recycled ? L"Moved to the Recycle Bin " : L"Removed ") +
         counted(account.files + account.folders, L"item", L"items") + L": " +
         counted(account.files, L"file", L"files") + L" (" + account.size + L") and " +
         counted(account.folders, L"folder", L"folders") + L".";
}

std::vector<std::wstring> RulesAccountLines(const std::vector<RuleAccount>& rules, const NumberStyle& style) {
  if (rules.empty()) return {};
  size_t removed = 0;
  for (const RuleAccount& rule : rules) removed += rule.removed;
  size_t routines = 0;
  for (const RuleAccount& rule : rules) routines += rule.routine;
  std::vector<std::wstring> lines{L"Of them, " + RulesWord(rules.size() - routines, routines, style) + L" took " +
                                  Counted(removed, L"item", L"items", style) + L"."};
  for (const RuleAccount& rule : rules) {
    if (rule.absent) lines.push_back(ShownPath(rule.folder) + L": not on this computer.");
    if (!rule.stayed) continue;
    lines.push_back(ShownPath(rule.folder) + L": " + GroupedNumber(rule.stayed, style) + L" of its " +
                    Counted(rule.removed + rule.stayed, L"item", L"items", style) + L" stayed.");
  }
  return lines;
}

std::wstring RulesAccountText(const std::vector<RuleAccount>& rules, const NumberStyle& style) {
  const std::vector<std::wstring> lines = RulesAccountLines(rules, style);
  std::wstring text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? L"\n" : L"") + lines[i];
  return text;
}

std::wstring ClosingText(const std::wstring& account, bool stopped, size_t removed,
                         const std::vector<Leftover>& leftovers, size_t shown, const NumberStyle& style) {
  if (!stopped) {
    if (leftovers.empty()) return L"Done\n\n" + account;
    return account + L"\n\n" + LeftoverReport(leftovers, shown, style);
  }
  std::wstring text = StoppedReport(removed, leftovers, shown, style);
  const size_t firstLineEnd = text.find(L'\n');
  return text.insert(firstLineEnd == std::wstring::npos ? text.size() : firstLineEnd, L"\n\n" + account);
}

std::wstring ShownPath(const std::wstring& path, size_t longest) {
  if (path.size() <= longest) return path;
  const size_t half = longest / 2;
  return path.substr(0, half) + L"..." + path.substr(path.size() - half);
}

namespace {

// The list file's name without folder and extension ("list" when it has none).
std::wstring ListName(const std::wstring& listPath) {
  const std::wstring name = listfile::ListName(listPath);
  return name.empty() ? std::wstring(L"list") : name;
}

}  // namespace

std::wstring ReportFileName(const std::wstring& listPath, const ReportTime& time, int copy) {
  const std::wstring number = copy > 1 ? L" (" + std::to_wstring(copy) + L")" : std::wstring();
  return ListName(listPath) + L" - not removed " + base::text::DateTimeText(time, L'.') + number + L".txt";
}

std::wstring FullReportText(const std::vector<Leftover>& leftovers, const std::wstring& listPath,
                            const ReportTime& time, const NumberStyle& style) {
  std::wstring text = L"Removal run of " + base::text::DateTimeText(time, L':') + L"\r\nDelete list: " + listPath +
                      L"\r\n" + Counted(leftovers.size(), L"item", L"items", style) + L" could not be removed:\r\n\r\n";
  for (const Leftover& item : leftovers) text += item.path + L" - " + item.reason + L"\r\n";
  return text;
}

std::wstring ReportPlaceText(const std::wstring& reportPath, const std::wstring& failure) {
  if (failure.empty()) return L"The full list is in " + reportPath;
  return L"The full list could not be written to " + reportPath + L": " + failure;
}

}  // namespace removal
