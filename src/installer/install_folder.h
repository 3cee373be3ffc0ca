// Where the Windows Installer package puts Ombrelay when it is given a
// folder: that folder when the program's files may go there, else a folder
// "Ombrelay" inside it, else nowhere. A folder of the user's thus never gets
// the program's files mixed into its own, and removing the program never
// takes one of the user's files. The setup program keeps the same rule.
#pragma once
#include <functional>
#include <string>

namespace installer {

// What is at a path, as far as the rule needs to know.
struct FolderLook {
  enum Kind { kMissing, kFile, kFolder } kind = kMissing;
  bool empty = false;            // a folder with nothing in it
  bool holds_install = false;    // the folder an install of Ombrelay went into
  bool holds_our_names = false;  // something by the name of one of the package's files
};
using LookAt = std::function<FolderLook(const std::wstring& folder)>;

// The answer of the rule: the folder the files go into, spelt as asked
// (without a closing "\" but on a root), or why there is none.
struct InstallFolder {
  enum Refusal {
    kNone,
    kNotFull,  // relative or drive-relative: it would name whatever the Installer's current folder makes of it
    kFile,     // `path` (the folder asked for or one on its way) is a file
    kCrowded,  // the folder and its "Ombrelay" both hold other files
  } refusal = kNone;
  std::wstring path;  // the chosen folder; for kFile the file in the way
};

InstallFolder ChooseInstallFolder(const std::wstring& asked, const LookAt& look);

// The words that say why nothing was installed into `asked`, for the log
// and the Installer's message box.
std::wstring RefusalText(const std::wstring& asked, const InstallFolder& refused);

}  // namespace installer
