// Writing a shortcut (.lnk) into one of the user's special folders through
// the scripting shell object, and placing a list's removal shortcut on the
// desktop under a name no other list's shortcut has.
#pragma once
#include <windows.h>

#include <string>

namespace listfile {

// Location codes of CreateLink; any other code names no special folder.
enum LinkLocation : long { DeskTop = 0, Programs = 1, StartMenu = 2, StartUp = 3 };

// Writes (or replaces) <special folder>[\<subFolder>]\<name>.lnk. The name is
// also the link's description. Arguments made only of blanks are not stored.
// False, with the reason (the platform's message), when the link could not
// be written; an earlier link of that name is then as it was. Needs COM
// initialised on the calling thread.
bool CreateLink(long location, const std::wstring& name, const std::wstring& target, const std::wstring& hotKey,
                const std::wstring& iconLocation, const std::wstring& workingDirectory, const std::wstring& subFolder,
                short windowStyle, const std::wstring& arguments, std::wstring& reason);

// The name a removal shortcut went under and the first name it would have
// gone under, were that free.
struct PlacedShortcut {
  std::wstring name;
  std::wstring firstName;
};
// Places the desktop shortcut that starts a removal run of the list file
// (see MakeRemovalShortcut) under a name of ChooseShortcutName. A shortcut
// of another list is never replaced, nor one that cannot be read (held by
// another program, refused): that is a failure, as a failure to write is.
// False with the reason then. Needs COM initialised.
bool PlaceRemovalShortcut(const std::wstring& programPath, const std::wstring& listPath, PlacedShortcut& placed,
                          std::wstring& reason);

}  // namespace listfile
