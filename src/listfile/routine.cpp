// A routine's keys read into their parts, and its record in a list.
#include "listfile/routine.h"

#include <utility>

#include "base/paths.h"
#include "base/text_utils.h"
#include "listfile/list_file.h"

namespace listfile {
namespace {

const wchar_t kGroupKey[] = L"group=";
constexpr wchar_t kEscape = L'^';

bool SameAscii(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    wchar_t x = a[i], y = b[i];
    if (x >= L'a' && x <= L'z') x -= 32;
    if (y >= L'a' && y <= L'z') y -= 32;
    if (x != y) return false;
  }
  return true;
}

// "Name" or "Name" and a number, letter case aside.
bool NamedAs(std::wstring_view name, std::wstring_view key, bool numbered) {
  if (name.size() < key.size() || !SameAscii(name.substr(0, key.size()), key)) return false;
  const std::wstring_view number = name.substr(key.size());
  if (!numbered) return number.empty();
  for (wchar_t c : number)
    if (c < L'0' || c > L'9') return false;
  return true;
}

bool HoldsUnnameable(std::wstring_view text) {
  for (wchar_t c : text)
    if (c < 32 || c == L'<' || c == L'>' || c == L'"' || c == L'|') return true;
  return false;
}

std::wstring PatternProblem(std::wstring_view pattern) {
  const auto quoted = [pattern] { return L"the pattern \"" + std::wstring(pattern) + L"\""; };
  if (base::paths::NextSeparator(pattern) != std::wstring_view::npos || pattern.find(L"..") != std::wstring_view::npos)
    return quoted() + L" reaches out of its folder";
  if (HoldsUnnameable(pattern) || pattern.find(L':') != std::wstring_view::npos)
    return quoted() + L" holds a character no name can hold";
  return std::wstring();
}

// The ";"-separated patterns of a field; empty pieces left out.
bool ReadPatterns(std::wstring_view field, std::vector<std::wstring>& patterns, std::wstring& problem) {
  patterns.clear();
  for (std::wstring_view p : base::text::SplitView(field, L';')) {
    if (p.empty()) continue;
    problem = PatternProblem(p);
    if (!problem.empty()) return false;
    patterns.emplace_back(p);
  }
  return true;
}

bool ReadFolder(std::wstring_view folder, std::wstring& out, std::wstring& problem) {
  out.assign(folder);
  problem = FolderProblem(out);
  return problem.empty();
}

}  // namespace

KeyKind KindOfKey(std::wstring_view name) {
  if (NamedAs(name, L"FileKey", true)) return KeyKind::FileKey;
  if (NamedAs(name, L"ExcludeKey", true)) return KeyKind::ExcludeKey;
  if (NamedAs(name, L"DetectFile", true)) return KeyKind::DetectFile;
  if (NamedAs(name, L"Detect", true)) return KeyKind::Detect;
  if (NamedAs(name, L"RegKey", true)) return KeyKind::RegKey;
  if (NamedAs(name, L"Warning", false)) return KeyKind::Warning;
  if (NamedAs(name, L"LangSecRef", false)) return KeyKind::LangSecRef;
  if (NamedAs(name, L"Section", false)) return KeyKind::Section;
  return KeyKind::Other;
}

bool Acts(KeyKind kind) {
  return kind == KeyKind::FileKey || kind == KeyKind::ExcludeKey || kind == KeyKind::Detect ||
         kind == KeyKind::DetectFile || kind == KeyKind::Warning;
}

size_t VariableEnd(std::wstring_view text, size_t open) {
  if (open >= text.size() || text[open] != L'%') return std::wstring_view::npos;
  const size_t close = text.find(L'%', open + 1);
  if (close == std::wstring_view::npos || close == open + 1 || base::paths::NextSeparator(text, open + 1) < close)
    return std::wstring_view::npos;
  return close;
}

std::wstring FolderProblem(const std::wstring& folder) {
  if (folder.empty()) return L"no folder is named";
  bool full = false;
  if (folder[0] == L'%') {
    const size_t close = VariableEnd(folder, 0);
    full = close != std::wstring::npos && (close + 1 == folder.size() || base::paths::IsSeparator(folder[close + 1]));
  } else {
    full = base::paths::IsFullPath(folder);
  }
  if (!full) return L"the folder \"" + folder + L"\" is not a full path";
  if (HoldsUnnameable(folder)) return L"the folder \"" + folder + L"\" holds a character no path can hold";
  // Each name between separators: no step, and a ":" only in the drive.
  const std::vector<std::wstring_view> names = base::paths::SplitNames(folder);
  for (size_t index = 0; index < names.size(); ++index) {
    const std::wstring_view name = names[index];
    if (base::paths::IsStep(name)) return L"the folder \"" + folder + L"\" climbs out of itself";
    const size_t colon = name.find(L':');
    if (colon != std::wstring_view::npos && !(index == 0 && colon == 1 && name.size() == 2))
      return L"the folder \"" + folder + L"\" holds a character no path can hold";
  }
  return std::wstring();
}

bool ParseFileKey(const std::wstring& value, FileKey& key, std::wstring& problem) {
  const std::vector<std::wstring_view> fields = base::text::SplitView(value, L'|');
  FileKey read;
  if (fields.size() > 3) {
    problem = L"a FileKey has more than three fields";
    return false;
  }
  if (!ReadFolder(fields[0], read.folder, problem)) return false;
  if (fields.size() > 1 && !ReadPatterns(fields[1], read.patterns, problem)) return false;
  if (fields.size() > 2) {
    read.recurse = SameAscii(fields[2], L"RECURSE");
    read.removeSelf = SameAscii(fields[2], L"REMOVESELF");
    if (!read.recurse && !read.removeSelf) {
      problem = L"a FileKey's third field is \"" + std::wstring(fields[2]) + L"\", neither RECURSE nor REMOVESELF";
      return false;
    }
  }
  key = std::move(read);
  return true;
}

bool ParseExcludeKey(const std::wstring& value, ExcludeKey& key, std::wstring& problem) {
  const std::vector<std::wstring_view> fields = base::text::SplitView(value, L'|');
  ExcludeKey read;
  if (SameAscii(fields[0], L"REG")) {
    read.kind = ExcludeKind::Registry;
    key = std::move(read);
    return true;
  }
  const bool file = SameAscii(fields[0], L"FILE");
  if ((!file && !SameAscii(fields[0], L"PATH")) || fields.size() < 2 || fields.size() > 3) {
    problem = L"an ExcludeKey is neither FILE|folder|names, PATH|folder[|names] nor REG|...";
    return false;
  }
  read.kind = file ? ExcludeKind::File : ExcludeKind::Path;
  std::wstring_view folder = fields[1];
  std::wstring_view names = fields.size() > 2 ? fields[2] : std::wstring_view();
  // "FILE|C:\folder\name.txt": the file's own name is the pattern.
  if (file && fields.size() == 2) {
    const size_t end = base::paths::ParentEnd(std::wstring(folder));
    if (end != std::wstring::npos) {
      names = folder.substr(end + 1);
      folder = folder.substr(0, end + 1);
    }
  }
  if (!ReadFolder(folder, read.folder, problem) || !ReadPatterns(names, read.patterns, problem)) return false;
  if (read.patterns.empty() && file) {
    problem = L"an ExcludeKey FILE names no file";
    return false;
  }
  if (read.patterns.empty()) read.patterns.push_back(L"*");
  key = std::move(read);
  return true;
}

bool ReadRoutineKeys(Routine& routine, std::wstring& problem) {
  return ReadRoutineKeys(routine.keys, routine, problem);
}

bool ReadRoutineKeys(const std::vector<RoutineKey>& keys, Routine& routine, std::wstring& problem) {
  routine.fileKeys.clear();
  routine.excludes.clear();
  routine.detects.clear();
  routine.detectFiles.clear();
  routine.warning.clear();
  for (const RoutineKey& key : keys) {
    switch (KindOfKey(key.name)) {
      case KeyKind::FileKey: {
        FileKey read;
        if (!ParseFileKey(key.value, read, problem)) return false;
        routine.fileKeys.push_back(std::move(read));
        break;
      }
      case KeyKind::ExcludeKey: {
        ExcludeKey read;
        if (!ParseExcludeKey(key.value, read, problem)) return false;
        routine.excludes.push_back(std::move(read));
        break;
      }
      case KeyKind::Detect: routine.detects.push_back(key.value); break;
      case KeyKind::DetectFile:
        if (!key.value.empty() && key.value[0] != L'%' && !base::paths::IsFullPath(key.value)) {
          problem = L"the DetectFile \"" + key.value + L"\" is not a full path";
          return false;
        }
        routine.detectFiles.push_back(key.value);
        break;
      case KeyKind::Warning: routine.warning = key.value; break;
      default: break;
    }
  }
  return true;
}

std::wstring EscapeField(std::wstring_view text) {
  std::wstring field;
  field.reserve(text.size());
  for (wchar_t c : text) {
    if (c == L'*') {
      field += L"^s";
    } else if (c == L'|') {
      field += L"^v";
    } else if (c == kEscape) {
      field += L"^^";
    } else {
      field += c;
    }
  }
  return field;
}

bool UnescapeField(std::wstring_view field, std::wstring& text) {
  text.clear();
  text.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != kEscape) {
      text += field[i];
      continue;
    }
    if (++i == field.size()) return false;
    switch (field[i]) {
      case L's': text += L'*'; break;
      case L'v': text += L'|'; break;
      case kEscape: text += kEscape; break;
      default: return false;
    }
  }
  return true;
}

std::wstring RoutineRecordText(const Routine& routine) {
  std::wstring text = EscapeField(routine.name) + L'|' + kRoutineType + L'|' + kGroupKey + EscapeField(routine.group);
  for (const RoutineKey& key : routine.keys) text += L'|' + EscapeField(key.name) + L'=' + EscapeField(key.value);
  return text;
}

bool ParseRoutine(const std::wstring& recordText, Routine& routine) {
  if (recordText.find(L'*') != std::wstring::npos) return false;
  const std::vector<std::wstring_view> fields = base::text::SplitView(recordText, L'|');
  const std::wstring_view group(kGroupKey);
  if (fields.size() < 3 || fields[1] != kRoutineType || fields[2].substr(0, group.size()) != group) return false;
  Routine read;
  if (!UnescapeField(fields[0], read.name) || read.name.empty()) return false;
  if (!UnescapeField(fields[2].substr(group.size()), read.group)) return false;
  for (size_t i = 3; i < fields.size(); ++i) {
    const size_t equals = fields[i].find(L'=');
    if (equals == std::wstring_view::npos) return false;
    RoutineKey key;
    if (!UnescapeField(fields[i].substr(0, equals), key.name) || !Acts(KindOfKey(key.name)) ||
        !UnescapeField(fields[i].substr(equals + 1), key.value))
      return false;
    read.keys.push_back(std::move(key));
  }
  std::wstring problem;
  if (!ReadRoutineKeys(read, problem)) return false;
  routine = std::move(read);
  return true;
}

}  // namespace listfile
