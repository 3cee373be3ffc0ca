// Which entries of a routines file fit this computer, decided as
// FitsComputer decides it for one routine, but quicker for a whole file: each Detect and DetectFile value is checked
// once, and the folders and registry keys many of them pass through (%LocalAppData%, HKCU\Software) are listed once, so
// that a value whose next name is not in such a listing is known to be absent without asking the system for it. A name
// that may be a short 8.3 alias is always asked for. The values are picked from the file's lines, so that the routines
// window can begin the checks on a second worker while the file is still being read into its entries.
#pragma once
#include <atomic>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "listfile/routine.h"
#include "routines/routines_file.h"
#include "routines/variables.h"

namespace routines {

// Where the part after `from` of a path or a registry key begins, as its
// own kind parts them.
using NextPart = size_t (*)(std::wstring_view text, size_t from);

class DetectionChecks {
 public:
  // The Detect and DetectFile values of the file's lines (plain ASCII ones;
  // any other is checked when an entry asks for it).
  explicit DetectionChecks(const std::string& bytes);

  // Lists the shared folders and keys; once, before CheckAll.
  void Prepare(const VariableLookup& lookup, const std::atomic<bool>& stop);
  // Checks the values not taken yet, until none is left or `stop` or
  // `abandon` is raised; several threads may share the work.
  void CheckAll(const VariableLookup& lookup, const std::atomic<bool>& stop, const std::atomic<bool>& abandon);
  // Once the checks have ended: whether each entry of the file fits this
  // computer, 1 for one that fits, 0 for one that does not or is not
  // understood. A raised `stop` ends it early; the entries not decided by
  // then fit not.
  std::vector<char> DecideFits(const std::vector<Entry>& entries, const VariableLookup& lookup,
                               const std::atomic<bool>& stop);

 private:
  struct Probe {
    bool registry = false;
    std::wstring value;
    std::vector<std::wstring> roots;  // a DetectFile's fixed folders, variables replaced (folded)
    bool plain = true;                // every root split; otherwise always asked for
    std::atomic<signed char> answer{-1};
  };
  using Listings = std::unordered_map<std::wstring, std::unordered_set<std::wstring>>;

  void Pick(std::string_view line);
  void Add(bool registry, std::wstring value);
  bool Check(const Probe& probe, const VariableLookup& lookup, const std::atomic<bool>& stop) const;
  bool Fits(const listfile::Routine& routine, const VariableLookup& lookup, const std::atomic<bool>& stop);
  bool Absent(const Listings& listings, const std::wstring& folded, size_t rootLength, NextPart next) const;

  std::deque<Probe> probes_;  // atomics do not move
  std::unordered_map<std::wstring, size_t> keys_, paths_;
  Listings folders_, keyLists_;
  std::atomic<size_t> next_{0};
};

}  // namespace routines
