// What goes into a shortcut, worked out without the shell: the special
// folder a location code names, the link file's path, whether arguments are
// stored, the values of the desktop shortcut a save places, and the name it
// goes under when another list's shortcut has the first one.
#pragma once
#include <functional>
#include <string>

namespace listfile {

// "Desktop", "Programs", "StartMenu", "StartUp" for codes 0 to 3; nullptr for
// any other code (the folder text then stays empty).
const wchar_t* SpecialFolderName(long location);
// <folder>\<name>.lnk
std::wstring LinkPath(const std::wstring& folder, const std::wstring& name);
// Arguments made only of blanks are left out of the link.
bool ArgumentsStored(const std::wstring& arguments);

// The program file's base name: its last path component without ".exe".
std::wstring ProgramBaseName(const std::wstring& programPath);

// The desktop shortcut that starts a removal run of one list file.
struct RemovalShortcut {
  std::wstring name;              // also the description
  std::wstring target;            // the program file
  std::wstring iconLocation;      // the program's first icon
  std::wstring workingDirectory;  // the program file's full path, as before
  std::wstring arguments;         // "Remove Files*" and the list path
};
RemovalShortcut MakeRemovalShortcut(const std::wstring& programPath, const std::wstring& listPath);

// The list file a removal shortcut's arguments name ("Remove Files*" and
// the path, as MakeRemovalShortcut writes them); empty for any other text.
std::wstring ListPathOfArguments(const std::wstring& arguments);
// The list file's name without its folder and its extension.
std::wstring ListName(const std::wstring& listPath);

// Whose a shortcut name on the desktop is.
enum class NameOwner { Nobody, ThisList, OtherList };
// The name a list's shortcut goes under, so that no list takes another's
// shortcut: the first name when it is free or already this list's, else
// "<first name> - <list name>", then the same with " (2)", " (3)" and on,
// the first of them that is free or this list's. Empty when a thousand
// names are all other lists'.
std::wstring ChooseShortcutName(const std::wstring& firstName, const std::wstring& listPath,
                                const std::function<NameOwner(const std::wstring& name)>& ownerOf);
// The closing message of a save whose shortcut went under `name`.
std::wstring ShortcutPlacedText(const std::wstring& name, const std::wstring& firstName);

}  // namespace listfile
