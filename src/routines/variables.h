// The variables a routine's paths hold ("%LocalAppData%\Google\Chrome"),
// replaced by their values for the user who runs. The values come from a
// lookup handed in (variables_win.h reads them from the system), so that
// the replacing is the same everywhere and testable anywhere.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace routines {

// The values of a variable named without its "%" signs, letter case aside;
// none when it is unknown. One variable may name two folders
// (%ProgramFiles% on 64-bit Windows).
using VariableLookup = std::function<std::vector<std::wstring>(const std::wstring& name)>;

struct Expanded {
  // The text with each variable replaced, one text for each choice of
  // values, in order; none when a variable is unknown.
  std::vector<std::wstring> texts;
  // For each text, how long its leading variable's value is: the part the
  // system gave, not the routine; 0 when it does not begin with one.
  std::vector<size_t> leads;
  // The first variable that cannot be used, "%Name%": unknown, or (with
  // `wild`) holding a "*" or "?", which no folder's name holds: its value
  // read as a pattern would reach folders the routine never named.
  std::wstring unknown;
  bool wild = false;
};
// The variables that name the system's own folders (%Temp%, %AppData%, ...):
// programs rely on those being there.
extern const wchar_t* const kFolderVariables[12];

// "%Name%" is a variable when Name is not empty and holds no separator; any
// other "%" is part of a name.
Expanded ExpandVariables(const std::wstring& text, const VariableLookup& lookup);

// Why the variable `unknown` names cannot be used ("the variable %Name% is
// not known on this computer").
std::wstring VariableProblem(const Expanded& expanded);

}  // namespace routines
