// Detection of a whole file's entries: values checked once, shared folders
// and keys listed once.
#include "routines/detection_checks_win.h"

#include <windows.h>

#include "base/paths.h"
#include "base/text_utils.h"
#include "routines/detection_win.h"
#include "routines/folder_pattern.h"
#include "base/folder_listing_win.h"

namespace routines {
namespace {

// A folder or key that this many values pass through is listed.
constexpr size_t kShared = 8;

bool ListFolder(const std::wstring& folder, const std::atomic<bool>& stop, std::unordered_set<std::wstring>& names) {
  return base::ListEntries(base::paths::WithSeparator(folder), L"*", stop, [&](const WIN32_FIND_DATAW& data) {
    names.insert(base::paths::FoldCase(data.cFileName));
    return true;
  });
}

// A registry key's names are parted by "\" alone: "/" is part of a name.
size_t NextKeyPart(std::wstring_view key, size_t from) { return key.find(L'\\', from); }

// Counts the folded ancestors of `folded` below its first `rootLength`
// characters.
void CountAncestors(const std::wstring& folded, size_t rootLength, NextPart next,
                    std::unordered_map<std::wstring, size_t>& counts) {
  for (size_t at = next(folded, rootLength + 1); at != std::wstring::npos; at = next(folded, at + 1))
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
  const std::string_view name = base::text::TrimBlanks(line.substr(0, equals)),
                         value = base::text::TrimBlanks(line.substr(equals + 1));
  if (name.size() < 6 || (name[0] != 'D' && name[0] != 'd') || value.empty()) return;
  for (char c : value)
    if (static_cast<unsigned char>(c) >= 0x80) return;
  const listfile::KeyKind kind = listfile::KindOfKey(std::wstring(name.begin(), name.end()));
  if (kind != listfile::KeyKind::Detect && kind != listfile::KeyKind::DetectFile) return;
  Add(kind == listfile::KeyKind::Detect, std::wstring(value.begin(), value.end()));
}

void DetectionChecks::Add(bool registry, std::wstring value) {
  auto& index = registry ? keys_ : paths_;
  if (!index.emplace(value, probes_.size()).second) return;
  probes_.emplace_back().registry = registry;
  probes_.back().value = std::move(value);
}

void DetectionChecks::Prepare(const VariableLookup& lookup, const std::atomic<bool>& stop) {
  std::unordered_map<std::wstring, size_t> folders, keys;
  for (Probe& p : probes_) {
    if (p.registry) {
      const std::wstring folded = base::paths::FoldCase(p.value);
      CountAncestors(folded, NextKeyPart(folded, 0), NextKeyPart, keys);
      continue;
    }
    for (const std::wstring& text : ExpandVariables(p.value, lookup).texts) {
      FolderPattern pattern;
      std::wstring problem;
      if (!SplitFolderPattern(text, pattern, problem)) {
        p.plain = false;
        continue;
      }
      p.roots.push_back(base::paths::FoldCase(pattern.root));
      CountAncestors(p.roots.back(), base::paths::RootLength(p.roots.back()), base::paths::NextSeparator, folders);
    }
  }
  for (const auto& [folder, count] : folders) {
    std::unordered_set<std::wstring> names;
    if (count >= kShared && !stop && ListFolder(folder, stop, names)) folders_.emplace(folder, std::move(names));
  }
  for (const auto& [key, count] : keys) {
    std::unordered_set<std::wstring> names;
    if (count >= kShared && ListRegistrySubkeys(key, names)) keyLists_.emplace(key, std::move(names));
  }
}

// Whether a listed ancestor of `folded` lacks the name that follows it.
bool DetectionChecks::Absent(const Listings& listings, const std::wstring& folded, size_t rootLength,
                             NextPart nextPart) const {
  if (listings.empty() || rootLength == std::wstring::npos) return false;
  for (size_t at = nextPart(folded, rootLength + 1); at != std::wstring::npos;) {
    const size_t next = nextPart(folded, at + 1);
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

bool DetectionChecks::Check(const Probe& p, const VariableLookup& lookup, const std::atomic<bool>& stop) const {
  if (p.registry) {
    const std::wstring folded = base::paths::FoldCase(p.value);
    return !Absent(keyLists_, folded, NextKeyPart(folded, 0), NextKeyPart) && RegistryKeyExists(p.value);
  }
  bool absent = p.plain;
  for (const std::wstring& root : p.roots)
    absent = absent && Absent(folders_, root, base::paths::RootLength(root), base::paths::NextSeparator);
  return !absent && DetectFileExists(p.value, lookup, stop);
}

void DetectionChecks::CheckAll(const VariableLookup& lookup, const std::atomic<bool>& stop,
                               const std::atomic<bool>& abandon) {
  for (size_t i; !stop && !abandon && (i = next_.fetch_add(1)) < probes_.size();) {
    const bool exists = Check(probes_[i], lookup, stop);
    if (!stop) probes_[i].answer.store(exists ? 1 : 0, std::memory_order_release);
  }
}

bool DetectionChecks::Fits(const listfile::Routine& routine, const VariableLookup& lookup,
                           const std::atomic<bool>& stop) {
  if (routine.detects.empty() && routine.detectFiles.empty()) return true;
  const auto answer = [&](bool registry, const std::wstring& value) {
    const auto& index = registry ? keys_ : paths_;
    const auto found = index.find(value);
    if (found != index.end()) {
      const signed char known = probes_[found->second].answer.load(std::memory_order_acquire);
      if (known >= 0) return known == 1;
    }
    return registry ? RegistryKeyExists(value) : DetectFileExists(value, lookup, stop);
  };
  for (const std::wstring& key : routine.detects)
    if (answer(true, key)) return true;
  for (const std::wstring& path : routine.detectFiles)
    if (answer(false, path)) return true;
  return false;
}

std::vector<char> DetectionChecks::DecideFits(const std::vector<Entry>& entries, const VariableLookup& lookup,
                                              const std::atomic<bool>& stop) {
  std::vector<char> fits(entries.size(), 0);
  for (size_t i = 0; i < entries.size() && !stop; ++i)
    fits[i] = entries[i].Understood() && Fits(entries[i].routine, lookup, stop);
  return fits;
}

}  // namespace routines
