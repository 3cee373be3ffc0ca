// Approvals: their kept text, the unattended command line and the check.
#include "unattended/approval.h"

#include <vector>

#include "base/paths.h"
#include "base/text_utils.h"
#include "base/texts.h"

namespace unattended {
namespace {

const wchar_t* const kWhenWords[] = {L"never", L"signin", L"daily", L"weekly"};
const wchar_t* const kDayWords[] = {L"sun", L"mon", L"tue", L"wed", L"thu", L"fri", L"sat"};

// "HH:MM" with both numbers in range.
bool ReadTime(const std::wstring& text, Schedule& s) {
  if (text.size() != 5 || text[2] != L':') return false;
  for (size_t i : {0, 1, 3, 4})
    if (text[i] < L'0' || text[i] > L'9') return false;
  s.hour = (text[0] - L'0') * 10 + (text[1] - L'0');
  s.minute = (text[3] - L'0') * 10 + (text[4] - L'0');
  return s.hour < 24 && s.minute < 60;
}

template <size_t N>
int WordIndex(const wchar_t* const (&words)[N], const std::wstring& word) {
  for (size_t i = 0; i < N; ++i)
    if (word == words[i]) return static_cast<int>(i);
  return -1;
}

bool IsHexDigest(const std::wstring& text) {
  if (text.size() != 64) return false;
  for (wchar_t c : text)
    if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) return false;
  return true;
}

std::wstring Unquoted(const std::wstring& text) {
  if (text.size() >= 2 && text.front() == L'"' && text.back() == L'"') return text.substr(1, text.size() - 2);
  return text;
}

std::wstring WithoutTrailingBlanks(std::wstring text) {
  while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.pop_back();
  return text;
}

// The list path of an unattended run's argument text, or the empty text
// when the text is not exactly one; `quoted` says whether quotes were
// around the whole. A list path holds neither "*" nor a quote.
std::wstring UnattendedListPath(const std::wstring& arguments, bool& quoted) {
  const std::wstring head = L"Remove Files*", tail = L"*unattended";
  const std::wstring blankless = WithoutTrailingBlanks(arguments);
  const std::wstring text = Unquoted(blankless);
  quoted = text.size() != blankless.size();
  if (text.size() <= head.size() + tail.size() || text.compare(0, head.size(), head) != 0 ||
      text.compare(text.size() - tail.size(), tail.size(), tail) != 0)
    return std::wstring();
  std::wstring path = text.substr(head.size(), text.size() - head.size() - tail.size());
  return path.find_first_of(L"*\"") == std::wstring::npos ? path : std::wstring();
}

}  // namespace

std::wstring TimeText(const Schedule& s) { return base::text::ClockText(s.hour, s.minute); }

std::wstring ApprovalText(const Approval& a) {
  const Schedule& s = a.schedule;
  return L"sha256=" + a.digest + L"|runs=" + kWhenWords[static_cast<int>(s.when)] + L"|time=" + TimeText(s) + L"|day=" +
         kDayWords[s.weekday] + L"|recycle=" + (a.recycle ? L"yes" : L"no") + L"|signin=" + a.signInName + L"|task=" +
         a.taskName;
}

// Every field must be there once, in any order; a field this version does
// not know is left alone.
bool ReadApprovalText(const std::wstring& text, Approval& a) {
  std::vector<std::wstring> fields;
  base::text::SplitString(text, L'|', fields);
  int seen = 0;
  for (const std::wstring& field : fields) {
    const size_t eq = field.find(L'=');
    if (eq == std::wstring::npos) return false;
    const std::wstring name = field.substr(0, eq), value = field.substr(eq + 1);
    int bit = 0;
    if (name == L"sha256") {
      if (!IsHexDigest(value)) return false;
      a.digest = value, bit = 1;
    } else if (name == L"runs") {
      const int when = WordIndex(kWhenWords, value);
      if (when < 0) return false;
      a.schedule.when = static_cast<RunWhen>(when), bit = 2;
    } else if (name == L"time") {
      if (!ReadTime(value, a.schedule)) return false;
      bit = 4;
    } else if (name == L"day") {
      a.schedule.weekday = WordIndex(kDayWords, value);
      if (a.schedule.weekday < 0) return false;
      bit = 8;
    } else if (name == L"recycle") {
      if (value != L"yes" && value != L"no") return false;
      a.recycle = value == L"yes", bit = 16;
    } else if (name == L"signin") {
      a.signInName = value, bit = 32;
    } else if (name == L"task") {
      a.taskName = value, bit = 64;
    }
    if (seen & bit) return false;
    seen |= bit;
  }
  return seen == 127;
}

std::wstring ScheduleText(const Schedule& s) {
  switch (s.when) {
    case RunWhen::SignIn: return L"At sign-in";
    case RunWhen::Daily: return L"Every day at " + TimeText(s);
    case RunWhen::Weekly:
      return std::wstring(L"Every week on ") + base::text::DayName(s.weekday) + L" at " + TimeText(s);
    case RunWhen::Never: break;
  }
  return L"Never";
}

std::wstring UnattendedArguments(const std::wstring& listPath) {
  return L"\"Remove Files*" + listPath + L"*unattended\"";
}

bool IsUnattendedRun(const std::wstring& arguments) {
  bool quoted = false;
  return !UnattendedListPath(arguments, quoted).empty();
}

StartCommand SplitStartCommand(const std::wstring& commandLine) {
  const size_t start = base::text::ArgumentsStart(commandLine);
  return {Unquoted(WithoutTrailingBlanks(commandLine.substr(0, start))), commandLine.substr(start)};
}

bool IsApprovalStarter(const StartCommand& command, const std::wstring& ourProgram, const std::wstring& listPath) {
  bool quoted = false;
  const std::wstring listed = UnattendedListPath(command.arguments, quoted);
  return quoted && !listed.empty() && base::paths::SamePath(command.program, ourProgram) &&
         (listPath.empty() || base::paths::SamePath(listed, listPath));
}

std::wstring ApprovalProblem(const Approval* approval, const FileRead& file, const DigestFn& digest) {
  if (!approval) return L"the list was never approved to run by itself";
  if (approval->schedule.when == RunWhen::Never) return L"the list's approval to run by itself was withdrawn";
  if (!file.read) return L"the list file cannot be read: " + file.reason;
  if (digest(file.bytes) != approval->digest)
    return L"the list file changed after it was approved; approve it again in File > Run by itself";
  return std::wstring();
}

bool BytesAreTheSeen(const std::string& bytes, const std::wstring& seen, const DigestFn& digest) {
  return !seen.empty() && digest(bytes) == seen;
}

std::wstring StartName(const std::wstring& listPath, int n) {
  std::wstring name(base::paths::LastName(listPath));
  const size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos && dot > 0) name.erase(dot);
  std::wstring text = L"Ombrelay - " + name;
  if (n > 1) text += L" (" + std::to_wstring(n) + L")";
  return text;
}

}  // namespace unattended
