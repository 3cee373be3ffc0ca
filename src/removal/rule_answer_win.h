// The one answer to "what does this rule take now": the rule window's live
// count, the preview and the run all ask it here. It refuses a rule whose
// folder is not understood, not there, a link or a protected place; it
// never takes the list file or the program, known by their identity
// however they were named; it walks the folder once (links inside never
// entered) and judges the patterns, the exceptions and the age by the one
// clock handed in. Nothing here touches the disk but to read it.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_identity_win.h"
#include "listfile/folder_rule.h"
#include "listfile/protected_places_win.h"
#include "search/file_tally_win.h"

namespace removal {

// Files no rule ever takes: the list file and the program. Each is known
// by its identity, read once when it is added, so that a relative name, a
// link on the way, a short name or other letter case cannot pass it off as
// another file. Asked from the walk's workers at once.
class NeverTaken {
 public:
  // The program's own file is always among them.
  NeverTaken();
  // Adds a file (nothing when it cannot be opened: then it is not there).
  void Add(const std::wstring& path);
  // Whether the file `name` in `folder` (with its closing separator), of
  // `size` bytes as listed, is one of them. Only a file of the same size is
  // opened to compare.
  bool Holds(std::wstring_view folder, std::wstring_view name, uint64_t size) const;

 private:
  struct Item {
    base::FileId id;
    uint64_t size = 0;
  };
  std::vector<Item> items_;
};

// What a rule takes now. `refusal` says why it takes nothing; otherwise the
// counts, and with `paths` asked for, the files by their full paths in walk
// order (with their sizes) and the subfolders it empties (when the rule
// says so), in walk order.
struct RuleAnswer {
  std::wstring refusal;
  uint64_t files = 0;
  uint64_t bytes = 0;
  std::vector<std::wstring> paths;
  std::vector<uint64_t> sizes;
  std::vector<std::wstring> emptied;
  bool stopped = false;  // the walk was stopped: what it found so far
};

RuleAnswer AnswerRule(const listfile::FolderRule& rule, const NeverTaken& never, listfile::ProtectedPlaces& places,
                      uint64_t now, bool paths, const std::atomic<bool>& stop);

// Why a folder a rule or a routine names is not walked (`who` says which:
// "a rule"): not a full path, not there, a link, not a folder, a protected
// place; empty when it may be walked. The folder is asked about itself: a
// link is told by its own reparse tag, in whatever spelling.
std::wstring FolderRefusal(const std::wstring& folder, listfile::ProtectedPlaces& places, const wchar_t* who);

// The walked folders that hold nothing once the taken files are gone:
// every file in them taken, no link among them, and every subfolder of
// theirs emptied too; the walk's own folder (the first) only when
// `ownToo`. Deepest first.
std::vector<std::wstring> EmptiedFolders(const std::vector<search::WalkedFolder>& walked, bool ownToo);

// The clock a run judges the rules' ages by: 100-ns ticks since 1601, read
// once when the run starts.
uint64_t RuleClock();

}  // namespace removal
