// What goes into a shortcut, worked out without the shell: the special
// folder a location code names, the link file's path, whether arguments are
// stored, and the values of the desktop shortcut a save places.
#pragma once
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

}  // namespace listfile
