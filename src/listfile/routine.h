// A cleaning routine as a delete list keeps it: one routines-file entry's
// name, group and acting keys (FileKey, ExcludeKey, Detect, DetectFile,
// Warning) read into their parts, and its "^"-escaped record (the README's
// "The delete-list file" has the format). A record that does not read is
// kept as written and never acted on.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace listfile {

// One key as written: its name ("FileKey3") and its value.
struct RoutineKey {
  std::wstring name;
  std::wstring value;
};

// What a key's name makes of it: a number after the name is its place in a
// list ("FileKey1", "FileKey2", ...); letter case as an INI file takes it.
enum class KeyKind { FileKey, ExcludeKey, Detect, DetectFile, Warning, RegKey, LangSecRef, Section, Other };
KeyKind KindOfKey(std::wstring_view name);
// Whether a key of this kind acts, and so goes into a list's record.
bool Acts(KeyKind kind);

// "FileKeyN=<folder>|<patterns>[|RECURSE|REMOVESELF]".
struct FileKey {
  std::wstring folder;                 // as written: variables and "*" "?" in any part
  std::vector<std::wstring> patterns;  // separated by ";" as written; none: it takes nothing
  bool recurse = false;                // every subfolder too
  bool removeSelf = false;             // everything below, then the folder once empty
};

// "ExcludeKeyN=FILE|<folder>|<patterns>": those files in that folder stay;
// "PATH|<folder>[|<patterns>]": the matching items in that folder and below
// stay (all of them without a pattern); "REG|...": a registry exclusion,
// which is none of a file run's business.
enum class ExcludeKind { File, Path, Registry };
struct ExcludeKey {
  ExcludeKind kind = ExcludeKind::File;
  std::wstring folder;
  std::vector<std::wstring> patterns;
};

struct Routine {
  std::wstring name;             // the entry's name, without its closing " *"
  std::wstring group;            // the group's name ("Applications", "Google Chrome", "Group 3999")
  std::vector<RoutineKey> keys;  // the keys that act, as written, in order
  // The keys read into their parts (ReadRoutineKeys):
  std::vector<FileKey> fileKeys;
  std::vector<ExcludeKey> excludes;
  std::vector<std::wstring> detects;      // registry keys, "HKCU\..." and the like
  std::vector<std::wstring> detectFiles;  // paths with variables and wildcards
  std::wstring warning;
};

// The values of a FileKey and an ExcludeKey read; false with a reason for
// the user when one breaks the format: a folder that is not a full path
// nor starts with a variable, a part "." or ".." (it would climb out of its
// folder), a pattern with "\", "/", "..", or a character no name can hold,
// an unknown third field.
bool ParseFileKey(const std::wstring& value, FileKey& key, std::wstring& problem);
bool ParseExcludeKey(const std::wstring& value, ExcludeKey& key, std::wstring& problem);
// Where a variable "%Name%" that opens at `open` in `text` closes (the
// position of its second "%"): Name is not empty and holds no separator.
// npos when no variable opens there; any other "%" is part of a name. The
// one reading of a variable, for the keys' checks and their replacing.
size_t VariableEnd(std::wstring_view text, size_t open);
// A folder as a key writes it: "%Var%\..." or a full path, no step "." or
// "..", no character no path can hold (wildcards aside). The reason when
// it is not; empty when it is.
std::wstring FolderProblem(const std::wstring& folder);

// Reads routine.keys into the parsed lists (the lists are made anew);
// false with the first key's reason when one does not read.
bool ReadRoutineKeys(Routine& routine, std::wstring& problem);
// The same from `keys`, whose keys that do not act are passed over
// (routine.keys is left as it is).
bool ReadRoutineKeys(const std::vector<RoutineKey>& keys, Routine& routine, std::wstring& problem);

// The record's text of a routine: its name, group and keys; ParseRoutine
// gives them back.
std::wstring RoutineRecordText(const Routine& routine);
// The whole record's text to a routine, its keys read; false when it is not
// a routine's record or anything in it does not read.
bool ParseRoutine(const std::wstring& recordText, Routine& routine);

// A field's text in the record, and back (false for a "^" not followed by
// "s", "v" or "^").
std::wstring EscapeField(std::wstring_view text);
bool UnescapeField(std::wstring_view field, std::wstring& text);

}  // namespace listfile
