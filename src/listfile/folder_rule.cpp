// A folder rule's record, its strict reading, its summary and its age.
#include "listfile/folder_rule.h"

#include "listfile/list_file.h"

#include "base/paths.h"
#include "base/text_utils.h"
#include "base/texts.h"

namespace listfile {

namespace {

// The record's fields after the folder and the type word, in this order.
const wchar_t kNamesKey[] = L"names=";
const wchar_t kExceptKey[] = L"except=";
const wchar_t kAgeKey[] = L"age=";
const wchar_t kSubfoldersKey[] = L"subfolders=";
const wchar_t kEmptiedKey[] = L"emptied=";
constexpr size_t kFieldCount = 7;

// What a "*" of a pattern is written as in the record.
constexpr wchar_t kStarMark = L':';
constexpr uint64_t kTicksPerHour = 36000000000ULL;

// A pattern names one file: no path separator, no character no name can
// hold (the pattern's own "*" and "?" aside), and nothing empty.
bool PatternSound(const std::wstring& pattern) {
  if (pattern.empty()) return false;
  for (wchar_t c : pattern) {
    if (c < 32 || c == L'\\' || c == L'/' || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L':' || c == L';')
      return false;
  }
  return true;
}

bool AllSound(const std::vector<std::wstring>& patterns) {
  for (const std::wstring& p : patterns) {
    if (!PatternSound(p)) return false;
  }
  return true;
}

bool FolderSound(const std::wstring& folder) {
  return base::paths::IsFullPath(folder) && !base::paths::IsDevicePath(folder) &&
         !base::paths::HasInvalidCharacter(folder);
}

uint32_t MostAge(AgeUnit unit) { return unit == AgeUnit::Hours ? kMostAgeHours : kMostAgeDays; }

bool AgeSound(const FolderRule& rule) {
  if (rule.ageUnit == AgeUnit::None) return rule.age == 0;
  return rule.age >= 1 && rule.age <= MostAge(rule.ageUnit);
}

// The field's value when it starts with its key.
bool TakeKey(const std::wstring& field, const wchar_t* key, std::wstring& value) {
  const std::wstring k(key);
  if (field.compare(0, k.size(), k) != 0) return false;
  value = field.substr(k.size());
  return true;
}

// "" is no pattern at all; otherwise every piece must be a pattern.
bool ReadPatterns(const std::wstring& value, std::vector<std::wstring>& patterns) {
  patterns.clear();
  if (value.empty()) return true;
  base::text::SplitString(value, L';', patterns);
  // The record holds no "*" (ParseRule looked), so every "*" comes from a mark.
  for (std::wstring& p : patterns) {
    for (wchar_t& c : p) {
      if (c == kStarMark) c = L'*';
    }
  }
  return AllSound(patterns);
}

std::wstring WritePatterns(const std::vector<std::wstring>& patterns) {
  std::wstring text;
  for (const std::wstring& p : patterns) {
    if (!text.empty()) text += L';';
    for (wchar_t c : p) text += c == L'*' ? kStarMark : c;
  }
  return text;
}

// "" (no age), or a count without sign or leading zero and "d" or "h".
bool ReadAge(const std::wstring& value, FolderRule& rule) {
  rule.ageUnit = AgeUnit::None;
  rule.age = 0;
  if (value.empty()) return true;
  const wchar_t unit = value.back();
  const std::wstring digits = value.substr(0, value.size() - 1);
  if (digits.empty() || digits.size() > 6 || digits[0] == L'0') return false;
  uint32_t count = 0;
  for (wchar_t c : digits) {
    if (c < L'0' || c > L'9') return false;
    count = count * 10 + static_cast<uint32_t>(c - L'0');
  }
  if (unit == L'd') {
    rule.ageUnit = AgeUnit::Days;
  } else if (unit == L'h') {
    rule.ageUnit = AgeUnit::Hours;
  } else {
    return false;
  }
  rule.age = count;
  return AgeSound(rule);
}

std::wstring WriteAge(const FolderRule& rule) {
  if (rule.ageUnit == AgeUnit::None) return std::wstring();
  return std::to_wstring(rule.age) + (rule.ageUnit == AgeUnit::Days ? L"d" : L"h");
}

bool ReadYesNo(const std::wstring& value, bool& on) {
  if (value != L"yes" && value != L"no") return false;
  on = value == L"yes";
  return true;
}

const wchar_t* YesNo(bool on) { return on ? L"yes" : L"no"; }

}  // namespace

bool ParseRule(const std::wstring& recordText, FolderRule& rule) {
  std::vector<std::wstring> fields;
  base::text::SplitString(recordText, L'|', fields);
  if (fields.size() != kFieldCount || fields[1] != kRuleType) return false;
  if (recordText.find(L'*') != std::wstring::npos) return false;
  FolderRule read;
  read.folder = fields[0];
  std::wstring names, except, age, subfolders, emptied;
  const bool keyed = TakeKey(fields[2], kNamesKey, names) && TakeKey(fields[3], kExceptKey, except) &&
                     TakeKey(fields[4], kAgeKey, age) && TakeKey(fields[5], kSubfoldersKey, subfolders) &&
                     TakeKey(fields[6], kEmptiedKey, emptied);
  if (!keyed || !FolderSound(read.folder) || !ReadPatterns(names, read.names) ||
      !ReadPatterns(except, read.exceptions) || !ReadAge(age, read) || !ReadYesNo(subfolders, read.subfolders) ||
      !ReadYesNo(emptied, read.removeEmptied))
    return false;
  rule = std::move(read);
  return true;
}

std::wstring RuleRecordText(const FolderRule& rule) {
  return rule.folder + L'|' + kRuleType + L'|' + kNamesKey + WritePatterns(rule.names) + L'|' + kExceptKey +
         WritePatterns(rule.exceptions) + L'|' + kAgeKey + WriteAge(rule) + L'|' + kSubfoldersKey +
         YesNo(rule.subfolders) + L'|' + kEmptiedKey + YesNo(rule.removeEmptied);
}

std::wstring RuleProblem(const FolderRule& rule) {
  if (rule.folder.empty()) return L"Please enter the folder the rule keeps clean.";
  if (!FolderSound(rule.folder))
    return L"The folder must be a full path, such as C:\\Downloads or \\\\server\\share\\folder.";
  if (!AllSound(rule.names) || !AllSound(rule.exceptions))
    return L"A pattern names files in the folder: it cannot hold \\ / : < > \" or |.";
  if (!AgeSound(rule))
    return L"The age must be a whole number from 1 to " + std::to_wstring(MostAge(rule.ageUnit)) +
           (rule.ageUnit == AgeUnit::Hours ? L" hours." : L" days.");
  return std::wstring();
}

std::wstring RuleSummary(const FolderRule& rule) {
  std::wstring text = rule.names.empty() ? L"all files" : JoinPatterns(rule.names);
  if (!rule.exceptions.empty()) text += L", except " + JoinPatterns(rule.exceptions);
  if (rule.ageUnit != AgeUnit::None)
    text += L", older than " + (rule.ageUnit == AgeUnit::Days ? base::text::Counted(rule.age, L"day", L"days")
                                                              : base::text::Counted(rule.age, L"hour", L"hours"));
  if (rule.subfolders) text += L", with subfolders";
  if (rule.removeEmptied) text += L", emptied subfolders removed";
  return text;
}

std::vector<std::wstring> SplitTypedPatterns(const std::wstring& typed) {
  std::vector<std::wstring> pieces, patterns;
  base::text::SplitString(typed, L';', pieces);
  for (const std::wstring& piece : pieces) {
    const std::wstring_view trimmed = base::text::TrimBlanks(piece);
    if (!trimmed.empty()) patterns.emplace_back(trimmed);
  }
  return patterns;
}

std::wstring JoinPatterns(const std::vector<std::wstring>& patterns) {
  std::wstring text;
  for (const std::wstring& p : patterns) {
    if (!text.empty()) text += L"; ";
    text += p;
  }
  return text;
}

uint64_t AgeTicks(const FolderRule& rule) {
  switch (rule.ageUnit) {
    case AgeUnit::Days: return rule.age * 24 * kTicksPerHour;
    case AgeUnit::Hours: return rule.age * kTicksPerHour;
    default: return 0;
  }
}

bool OldEnough(const FolderRule& rule, uint64_t lastWritten, uint64_t now) {
  if (rule.ageUnit == AgeUnit::None) return true;
  if (lastWritten >= now) return false;
  return now - lastWritten > AgeTicks(rule);
}

}  // namespace listfile
