// A routines file (winapp2.ini's format) read into its entries, each
// understood or not, every key kept as written; the file is only ever read
// (routines_file_win.h reads its bytes). Fit: DetectionChecks::DecideFits;
// what an entry takes: removal/routine_answer_win.h.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "listfile/routine.h"

namespace routines {

// A routines file larger than this is refused unread (the community's own
// file is about 2 MB).
constexpr size_t kMostFileBytes = 32u << 20;

// One entry of the file.
struct Entry {
  // Its name and group, and its keys that act read into their parts when
  // the entry is understood; routine.keys is left empty here (the keys
  // are in `keys`): ListRoutine gives the routine as a list keeps it.
  listfile::Routine routine;
  // Every key of its section as written, in order: the entry's details.
  std::vector<listfile::RoutineKey> keys;
  // Its RegKey lines: registry parts Ombrelay leaves alone.
  size_t regKeys = 0;
  // Why the entry is not understood (a key without "=", a section with no
  // name, a key that does not read); empty when it is. An entry not
  // understood takes nothing.
  std::wstring problem;
  size_t line = 0;  // its section's line, from 1
  bool Understood() const { return problem.empty(); }
};

struct RoutinesFile {
  std::vector<Entry> entries;  // in the file's order
  // Why the file is no routines file (binary, empty, too large, no entry
  // that reads), for the user; empty when it is one.
  std::wstring problem;
};

// The entry's routine as a list keeps it: with its keys that act, as
// written and in order (listfile::RoutineRecord makes its record).
listfile::Routine ListRoutine(const Entry& entry);

// Why a file larger than kMostFileBytes is refused.
std::wstring TooLargeText();

// The file's bytes read. Never throws on bad input.
RoutinesFile ReadRoutines(const std::string& bytes);

// The group an entry's LangSecRef number names ("3021" is "Applications",
// "3029" "Google Chrome", any other "Group <number>").
std::wstring GroupOfNumber(const std::wstring& number);

// The message for a routines file that could not be read or is none.
std::wstring NotRoutinesText(const std::wstring& path, const std::wstring& reason);

}  // namespace routines
