// The routines file's reader: the bytes to text, the lines to sections and
// keys, each entry's keys to its routine.
#include "routines/routines_file.h"

#include <string_view>
#include <utility>

#include "base/encoding.h"
#include "base/text_utils.h"

namespace routines {
namespace {

const char kUtf8Mark[] = "\xEF\xBB\xBF";
const char kUtf16Mark[] = "\xFF\xFE";

// A strict test: every sequence well-formed, no overlong form, no surrogate.
bool IsUtf8(const std::string& bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  for (size_t i = 0; i < n;) {
    const unsigned char c = b[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    size_t more = 0;
    unsigned lowest = 0;
    if (c >= 0xC2 && c <= 0xDF) {
      more = 1;
      lowest = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2;
      lowest = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3;
      lowest = 0x10000;
    } else {
      return false;
    }
    if (i + more >= n) return false;
    unsigned code = c & (0x3F >> more);
    for (size_t k = 1; k <= more; ++k) {
      if ((b[i + k] & 0xC0) != 0x80) return false;
      code = (code << 6) | (b[i + k] & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += more + 1;
  }
  return true;
}

std::wstring FromUtf16(const std::string& bytes, size_t from) {
  std::wstring text;
  text.reserve((bytes.size() - from) / 2);
  for (size_t i = from; i + 1 < bytes.size(); i += 2)
    text +=
        static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
  return text;
}

// The bytes as text, or the reason they are no text.
bool Decode(const std::string& bytes, std::wstring& text, std::wstring& problem) {
  if (bytes.compare(0, 2, kUtf16Mark) == 0) {
    text = FromUtf16(bytes, 2);
    if (text.find(L'\0') == std::wstring::npos) return true;
  } else if (bytes.find('\0') == std::string::npos) {
    if (bytes.compare(0, 3, kUtf8Mark) == 0) {
      text = base::enc::FromUtf8(bytes.substr(3));
    } else {
      text = IsUtf8(bytes) ? base::enc::FromUtf8(bytes) : base::enc::FromAnsi(bytes);
    }
    return true;
  }
  problem = L"It holds NUL bytes, which no routines file does: a program or a picture was chosen.";
  return false;
}

// The entry's name of a section's text: its closing " *" left off.
std::wstring SectionName(std::wstring_view inside) {
  inside = base::text::TrimBlanks(inside);
  if (!inside.empty() && inside.back() == L'*') inside = base::text::TrimBlanks(inside.substr(0, inside.size() - 1));
  return std::wstring(inside);
}

void NoteProblem(Entry& entry, std::wstring problem) {
  if (entry.problem.empty()) entry.problem = std::move(problem);
}

// Reads the keys of a finished section into its routine.
void Finish(Entry& entry) {
  std::wstring group, section;
  for (const listfile::RoutineKey& key : entry.keys) {
    const listfile::KeyKind kind = listfile::KindOfKey(key.name);
    if (kind == listfile::KeyKind::RegKey) ++entry.regKeys;
    if (kind == listfile::KeyKind::LangSecRef && group.empty()) group = GroupOfNumber(key.value);
    if (kind == listfile::KeyKind::Section && section.empty()) section = key.value;
  }
  entry.routine.group = !group.empty() ? group : !section.empty() ? section : L"No group";
  std::wstring problem;
  if (entry.problem.empty() && !listfile::ReadRoutineKeys(entry.keys, entry.routine, problem)) entry.problem = problem;
}

}  // namespace

std::wstring GroupOfNumber(const std::wstring& number) {
  static const struct {
    const wchar_t* number;
    const wchar_t* name;
  } kGroups[] = {{L"3021", L"Applications"}, {L"3022", L"Internet"}, {L"3023", L"Multimedia"},
                 {L"3024", L"Utilities"},    {L"3025", L"Windows"},  {L"3029", L"Google Chrome"},
                 {L"3026", L"Firefox"},      {L"3027", L"Opera"},    {L"3006", L"Edge"},
                 {L"3030", L"Thunderbird"},  {L"3033", L"Vivaldi"},  {L"3034", L"Brave"}};
  for (const auto& g : kGroups)
    if (number == g.number) return g.name;
  return L"Group " + number;
}

listfile::Routine ListRoutine(const Entry& entry) {
  listfile::Routine routine = entry.routine;
  routine.keys.clear();
  for (const listfile::RoutineKey& key : entry.keys)
    if (listfile::Acts(listfile::KindOfKey(key.name))) routine.keys.push_back(key);
  return routine;
}

std::wstring TooLargeText() {
  return L"It is larger than " + std::to_wstring(kMostFileBytes >> 20) +
         L" MB; a routines file is a few megabytes at most.";
}

RoutinesFile ReadRoutines(const std::string& bytes) {
  RoutinesFile file;
  if (bytes.size() > kMostFileBytes) {
    file.problem = TooLargeText();
    return file;
  }
  std::wstring text;
  if (!Decode(bytes, text, file.problem)) return file;
  size_t lineNumber = 0;
  Entry* entry = nullptr;
  file.entries.reserve(text.size() / 400);  // the community file's entries are about 500 characters
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring_view line(text.data() + start, end - start);
    start = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
    if (lineNumber == 1 && !line.empty() && line[0] == L'\xFEFF') line.remove_prefix(1);
    line = base::text::TrimBlanks(line);
    if (line.empty() || line[0] == L';') continue;
    if (line[0] == L'[') {
      if (entry) Finish(*entry);
      entry = &file.entries.emplace_back();
      entry->line = lineNumber;
      const size_t close = line.rfind(L']');
      entry->routine.name = SectionName(line.substr(1, close == std::wstring_view::npos ? line.size() - 1 : close - 1));
      if (close != line.size() - 1) NoteProblem(*entry, L"its section's line does not end in \"]\"");
      if (entry->routine.name.empty()) NoteProblem(*entry, L"its section has no name");
      continue;
    }
    if (!entry) continue;  // a header before the first entry is no entry's
    const size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) {
      NoteProblem(*entry, L"line " + std::to_wstring(lineNumber) + L" is no key: it has no \"=\"");
      continue;
    }
    listfile::RoutineKey key{std::wstring(base::text::TrimBlanks(line.substr(0, equals))),
                             std::wstring(base::text::TrimBlanks(line.substr(equals + 1)))};
    if (key.name.empty()) NoteProblem(*entry, L"line " + std::to_wstring(lineNumber) + L" is a key with no name");
    entry->keys.push_back(std::move(key));
  }
  if (entry) Finish(*entry);
  if (text.empty() || file.entries.empty()) {
    file.problem = text.find_first_not_of(L" \t\r\n\xFEFF") == std::wstring::npos
                       ? L"It is empty."
                       : L"It holds no entry: no section such as [Name *].";
    file.entries.clear();
    return file;
  }
  bool someRead = false;
  for (const Entry& e : file.entries) someRead = someRead || e.Understood();
  if (!someRead) file.problem = L"None of its entries reads as a cleaning routine.";
  return file;
}

std::wstring NotRoutinesText(const std::wstring& path, const std::wstring& reason) {
  return L"The routines file\n" + path + L"\ncould not be read. " + reason;
}

}  // namespace routines
