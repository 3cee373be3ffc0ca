// The program's one path grammar: roots, full-path and device tests, names,
// parents, joining, the plain and verbatim forms and the one comparison.
// Every full path the program hands to the file system goes as "\\?\C:\..."
// or "\\?\UNC\server\share\...", so that the platform takes the names exactly
// as listed. Without that prefix Win32 drops trailing dots and blanks from
// every name, and "report.docx." would reach "report.docx", its neighbour.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace base::paths {

constexpr size_t kMaxPath = 260;

// "\" or "/": the platform reads either as a separator.
bool IsSeparator(wchar_t c);
// Whether a path is full, that is has a canonical form: a drive letter, ":"
// and a separator, or two separators, a server and a share
// ("\\server\share"), either also after a "\\?\" or "\\?\UNC\" prefix
// ("UNC" in any letter case). A relative or drive-relative path names
// whatever the current folder makes of it.
bool IsFullPath(const std::wstring& path);
// True for a path to a device rather than a file or folder: the device
// namespaces ("\\.\", "\??\", "\\?\GLOBALROOT") and a last name that
// is a reserved device name (CON, NUL, COM1, LPT1, ...), with or without an
// extension, in any letter case.
bool IsDevicePath(const std::wstring& path);
// True when the path holds a character no name can have: a control
// character, < > " | ? *, or a ":" anywhere but after the drive letter.
bool HasInvalidCharacter(const std::wstring& path);

// The program's one spelling of a full path, made wherever a path comes in:
// "\" for every separator (a share may be written "//server/share" too),
// repeated separators, "." and ".." resolved (never above the root), a
// "\\?\" or "\\?\UNC\" prefix read, and no closing separator except on a
// root ("C:\", "\\server\share\"). Every name is kept as written, trailing
// dots and blanks included: canonical is not what Win32 would trim it to.
// The empty text for a path that is not full (relative, drive-relative, a
// device): only the platform can make those full (FullPathName).
std::wstring Canonical(const std::wstring& path);
// The canonical form with the "\\?\" prefix ("\\?\C:\x" or
// "\\?\UNC\srv\share\x"), as every full path goes to the file system, so
// that the platform takes each name exactly as listed. Never a closing separator but on a root:
// "\\?\C:\x\" would reach through a link that "\\?\C:\x" names. Paths that
// are not full are returned unchanged.
std::wstring Verbatim(const std::wstring& path);
// The root of a full path in its plain form ("C:\" or "\\server\share\"), or
// the empty text when the path is not full.
std::wstring Root(const std::wstring& path);
// Removes a "\\?\" or "\\?\UNC\" prefix again, for display.
std::wstring ShortForm(const std::wstring& path);
// The path as the shell takes it, which reads no "\\?\" prefix: the
// canonical form without it; a path that is not full loses only a "\\?\"
// prefix and its closing separators.
std::wstring ShellPath(const std::wstring& path);
// True when some name of the path ends in a dot or a blank: such a path
// names something else once it goes without the prefix (the shell's calls
// take no prefixed paths).
bool HasNameThatPlainFormChanges(const std::wstring& path);
// The path with every name's trailing dots and blanks dropped ("." and ".."
// kept): the most a call without the prefix may make of it. Text written
// for such calls ("C:\App.\Logs") may mean this reading.
std::wstring WithoutTrailingDotsAndBlanks(const std::wstring& path);

// The path with one closing "\" (added when it has none).
std::wstring WithSeparator(std::wstring path);
// The file or folder a path names, as the shell and the folder calls want
// it: closing backslashes left off, except on a drive root ("C:\").
std::wstring WithoutSeparator(std::wstring path);
// A folder and a name joined with exactly one "\" between them.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// An entry's path from its folder's path (with its closing separator) and
// its name, and a closing separator when `folder` is set; made to size in
// one block. A walk makes one per entry: `folder + name` would make a block,
// grow it into a second one and free the first, and under Wine's heap such
// freed blocks pile up in the free lists that every later allocation
// searches under the heap's one lock.
std::wstring EntryPath(const std::wstring& folderWithSeparator, std::wstring_view name, bool folder = false);

// Where the parent folder of a path ends, as written: its last separator,
// a closing one left out; npos when it has none.
size_t ParentEnd(std::wstring_view path);
// Whether the comparison key `below` names an item inside the folder whose
// key is `folder` (not the folder itself).
bool KeyBelow(std::wstring_view below, std::wstring_view folder);
// The parent folder of a path as written, with its closing separator:
// "C:\a\" of "C:\a\b" and of "C:\a\b\"; the empty text when it has none.
std::wstring ParentOf(const std::wstring& path);
// The last name of a path, closing separators left off: "b" of "C:\a\b\",
// "C:" of "C:\". A view into `path` (no text is made).
std::wstring_view LastName(const std::wstring& path);
// True for the steps "." and "..", which name no item of their own.
bool IsStep(std::wstring_view name);
// The last separator of a path, a closing one too; npos when it has none.
size_t LastSeparator(std::wstring_view path);
// The first separator of a path at or after `from`; npos when there is none.
size_t NextSeparator(std::wstring_view path, size_t from = 0);
// The names of a path between its separators, in order: "", "a" and "" of
// "\a\" (views into `path`; no text is made).
std::vector<std::wstring_view> SplitNames(std::wstring_view path);
// All before the last separator: "C:\T" of "C:\T\*.*" and of "C:\T\", the
// empty text when there is none.
std::wstring FolderPart(const std::wstring& path);
// Where the file part of a full path begins, counted from 1: one past its
// last "\" ("*.*" of "C:\T\*.*", the empty part after "C:\T\"). The root
// ("C:\" or "\\server\share\") is never cut: a path with no "\" after its
// root's name has no file part and gives its length + 1.
size_t FilePartPos(const std::wstring& fullPath);
// A folder as typed, in the form the folder calls take: a bare drive "X:"
// is its root "X:\", and one closing "\" goes except on a root ("C:\Data\"
// is "C:\Data"). The empty text stays empty.
std::wstring Qualify(const std::wstring& path);

// The same folder in one plain spelling: the canonical form, also behind the
// device prefix "\\.\", which reaches the same items; "X:" is read as the
// root "X:\". Other paths only get "\" for "/" and lose closing separators.
// Case and short names are left to the file system.
std::wstring PlainSpelling(const std::wstring& path);
// The length of the root of a plain spelling: 3 for "C:\", the length of
// "\\server\share\" for a share, 0 for a relative path.
size_t RootLength(const std::wstring& plain);
// Where the root of a plain spelling ends before its closing "\": 2 for
// "C:\x", the length of "\\server\share" for a share; no parent of the path
// is shorter.
size_t RootNameEnd(const std::wstring& plain);
// How many names follow the root: 0 for a root, 1 for "C:\Windows", ...
size_t Depth(const std::wstring& plain);
// True when a plain spelling is already the full path the platform would
// make of it: a drive root, then names that are neither "." nor ".." and do
// not end in a dot or a blank. The search's folders are spelled so, and
// need no trip through the platform's path rules.
bool IsPlainFull(const std::wstring& plain);

// The one way the program asks whether two paths name the same item, as the
// file system answers it. The key is the canonical form without the closing
// separator of a root (a drive root keys as "C:"), short 8.3 names replaced
// by the long names the disk has for them, and letter case folded over all
// of Unicode. Equal keys, same item. A path that is not full keys as written,
// "/" read as "\\" and closing separators left off.
std::wstring PathKey(const std::wstring& path);
// The same key, added to the end of `out` (no text of its own for most paths).
void AppendPathKey(const std::wstring& path, std::wstring& out);
bool SamePath(const std::wstring& a, const std::wstring& b);
// Letter case folded as the file system folds it: each code unit to its
// upper case, over all of Unicode (not only A-Z). The program's one fold.
std::wstring FoldCase(std::wstring text);
// Names equal as the file system compares them: ordinal, code unit by code
// unit, after FoldCase.
bool SameText(std::wstring_view a, std::wstring_view b);
// The same fold for a text of plain ASCII, written into `out` (room for
// text.size() code units) with no allocation; false, `out` part-written,
// when the text holds anything else.
bool FoldAscii(std::wstring_view text, wchar_t* out);
// A name folded as FoldCase folds it, on the stack when it is plain ASCII
// and no longer than kMaxPath (nearly every name): a walk folds every name
// it tests, and a block from the heap for each costs more than the test.
class FoldedName {
 public:
  explicit FoldedName(std::wstring_view name);
  FoldedName(const FoldedName&) = delete;
  FoldedName& operator=(const FoldedName&) = delete;
  std::wstring_view View() const { return view_; }

 private:
  wchar_t buffer_[kMaxPath];
  std::wstring text_;
  std::wstring_view view_;
};
// The path with the short 8.3 names that the disk knows replaced by their
// long names; what the disk does not have is kept as written. Only a name
// with a "~" can be a short name, so other paths cost nothing.
std::wstring LongNames(const std::wstring& path);

}  // namespace base::paths
