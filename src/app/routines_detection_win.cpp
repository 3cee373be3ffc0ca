// The routines window's detection: values checked once, shared folders and
// keys listed once.
#include "app/routines_detection_win.h"

#include <windows.h>

#include "base/paths.h"
#include "routines/detection_win.h"
#include "routines/folder_pattern.h"
#include "search/folder_listing_win.h"
#include "services/registry_win.h"

namespace app {
namespace {

// A folder or key that this many values pass through is listed.
constexpr size_t kShared = 8;

const struct {
  const wchar_t* name;
  HKEY root;
} kRoots[] = {{L"HKCU", HKEY_CURRENT_USER},  {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
              {L"HKLM", HKEY_LOCAL_MACHINE}, {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
              {L"HKU", HKEY_USERS},          {L"HKEY_USERS", HKEY_USERS}};

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The folded names of a key's subkeys in both registry views; false when
// the key cannot be listed in either.
bool ListKey(const std::wstring& key, std::unordered_set<std::wstring>& names) {
  const size_t separator = key.find(L'\\');
  for (const auto& r : kRoots) {
    if (!base::paths::SameText(key.substr(0, separator), r.name)) continue;
    bool listed = false;
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
      base::win::unique_hkey opened = services::OpenKey(r.root, key.substr(separator + 1), KEY_ENUMERATE_SUB_KEYS | view);
      if (!opened) continue;
      wchar_t name[256];
      DWORD i = 0, length = 256;
      LONG result;
      while ((result = RegEnumKeyExW(opened.get(), i++, name, &length, nullptr, nullptr, nullptr, nullptr)) ==
             ERROR_SUCCESS) {
        names.insert(base::paths::FoldCase(std::wstring(name, length)));
        length = 256;
      }
      if (result != ERROR_NO_MORE_ITEMS) return false;
      listed = true;
    }
    return listed;
  }
  return false;
}

bool ListFolder(const std::wstring& folder, const std::atomic<bool>& stop, std::unordered_set<std::wstring>& names) {
  return search::ListEntries(base::paths::WithSeparator(folder), L"*", stop, [&](const WIN32_FIND_DATAW& data) {
    names.insert(base::paths::FoldCase(data.cFileName));
    return true;
  });
}

// Counts the folded ancestors of `folded` below its first `rootLength`
// characters.
void CountAncestors(const std::wstring& folded, size_t rootLength, std::unordered_map<std::wstring, size_t>& counts) {
  for (size_t at = folded.find(L'\\', rootLength + 1); at != std::wstring::npos; at = folded.find(L'\\', at + 1))
    ++counts[folded.substr(0, at)];
}

}  // namespace

DetectionChecks::DetectionChecks(const std::string& bytes) {
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    Pick(std::string_view(bytes).substr(start, end - start));
    start = end + 1;
  }
}

void DetectionChecks::Pick(std::string_view line) {
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return;
  const std::string_view name = Trimmed(line.substr(0, equals)), value = Trimmed(line.substr(equals + 1));
  if (name.size() < 6 || (name[0] != 'D' && name[0] != 'd') || value.empty()) return;
  for (char c : value)
    if (static_cast<unsigned char>(c) >= 0x80) return;
  const listfile::KeyKind kind = listfile::KindOfKey(std::wstring(name.begin(), name.end()));
  if (kind != listfile::KeyKind::Detect && kind != listfile::KeyKind::DetectFile) return;
  const bool registry = kind == listfile::KeyKind::Detect;
  std::wstring text(value.begin(), value.end());
  auto& index = registry ? keys_ : paths_;
  if (!index.emplace(text, probes_.size()).second) return;
  probes_.emplace_back().registry = registry;
  probes_.back().value = std::move(text);
}

void DetectionChecks::Prepare(const routines::VariableLookup& lookup, const std::atomic<bool>& stop) {
  std::unordered_map<std::wstring, size_t> folders, keys;
  for (Probe& p : probes_) {
    if (p.registry) {
      const std::wstring folded = base::paths::FoldCase(p.value);
      CountAncestors(folded, folded.find(L'\\'), keys);
      continue;
    }
    for (const std::wstring& text : routines::ExpandVariables(p.value, lookup).texts) {
      routines::FolderPattern pattern;
      std::wstring problem;
      if (!routines::SplitFolderPattern(text, pattern, problem)) {
        p.plain = false;
        continue;
      }
      p.roots.push_back(base::paths::FoldCase(pattern.root));
      CountAncestors(p.roots.back(), base::paths::RootLength(p.roots.back()), folders);
    }
  }
  for (const auto& [folder, count] : folders) {
    std::unordered_set<std::wstring> names;
    if (count >= kShared && !stop && ListFolder(folder, stop, names)) folders_.emplace(folder, std::move(names));
  }
  for (const auto& [key, count] : keys) {
    std::unordered_set<std::wstring> names;
    if (count >= kShared && ListKey(key, names)) keyLists_.emplace(key, std::move(names));
  }
}

// Whether a listed ancestor of `folded` lacks the name that follows it.
bool DetectionChecks::Absent(const Listings& listings, const std::wstring& folded, size_t rootLength) const {
  if (listings.empty() || rootLength == std::wstring::npos) return false;
  for (size_t at = folded.find(L'\\', rootLength + 1); at != std::wstring::npos;) {
    const size_t next = folded.find(L'\\', at + 1);
    const auto listing = listings.find(folded.substr(0, at));
    if (listing != listings.end()) {
      const std::wstring name = folded.substr(at + 1, next == std::wstring::npos ? std::wstring::npos : next - at - 1);
      if (name.empty() || name.find(L'~') != std::wstring::npos) return false;  // maybe a short alias
      if (!listing->second.count(name)) return true;
    }
    at = next;
  }
  return false;
}

bool DetectionChecks::Check(const Probe& p, const routines::VariableLookup& lookup,
                            const std::atomic<bool>& stop) const {
  if (p.registry) {
    const std::wstring folded = base::paths::FoldCase(p.value);
    return !Absent(keyLists_, folded, folded.find(L'\\')) && routines::RegistryKeyExists(p.value);
  }
  bool absent = p.plain;
  for (const std::wstring& root : p.roots) absent = absent && Absent(folders_, root, base::paths::RootLength(root));
  return !absent && routines::DetectFileExists(p.value, lookup, stop);
}

void DetectionChecks::CheckAll(const routines::VariableLookup& lookup, const std::atomic<bool>& stop,
                               const std::atomic<bool>& abandon) {
  for (size_t i; !stop && !abandon && (i = next_.fetch_add(1)) < probes_.size();) {
    const bool exists = Check(probes_[i], lookup, stop);
    if (!stop) probes_[i].answer.store(exists ? 1 : 0, std::memory_order_release);
  }
}

bool DetectionChecks::Fits(const listfile::Routine& routine, const routines::VariableLookup& lookup,
                           const std::atomic<bool>& stop) {
  if (routine.detects.empty() && routine.detectFiles.empty()) return true;
  const auto answer = [&](bool registry, const std::wstring& value) {
    const auto& index = registry ? keys_ : paths_;
    const auto found = index.find(value);
    if (found != index.end()) {
      const signed char known = probes_[found->second].answer.load(std::memory_order_acquire);
      if (known >= 0) return known == 1;
    }
    return registry ? routines::RegistryKeyExists(value) : routines::DetectFileExists(value, lookup, stop);
  };
  for (const std::wstring& key : routine.detects)
    if (answer(true, key)) return true;
  for (const std::wstring& path : routine.detectFiles)
    if (answer(false, path)) return true;
  return false;
}

}  // namespace app
