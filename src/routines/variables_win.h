// The values of the routines' variables for the user who runs, read from
// the system once: the known folders (%LocalAppData%, %AppData%,
// %LocalLowAppData%, %UserProfile%, %ProgramData% and %CommonAppData%,
// %Public%, %Documents%, %WinDir%), %SystemDrive%, %Temp%, %UserName%,
// %ProgramFiles% and %CommonProgramFiles% (on 64-bit Windows both folders
// of each, though this is a 32-bit program), then the process's
// environment. Short 8.3 names in them are made long, so that every path
// a routine makes is spelled as a walk spells it.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "routines/variables.h"

namespace routines {

class SystemVariables {
 public:
  SystemVariables();
  // The values of the variable `name` (without its "%"), letter case
  // aside; none when it is unknown. Safe to ask from several threads.
  std::vector<std::wstring> Values(const std::wstring& name) const;
  VariableLookup Lookup() const;

 private:
  std::map<std::wstring, std::vector<std::wstring>> known_;  // by folded name
};

}  // namespace routines
