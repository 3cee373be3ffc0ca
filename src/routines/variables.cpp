// Variables replaced by their values, every choice of values in turn.
#include "routines/variables.h"

#include <algorithm>
#include <utility>

#include "listfile/routine.h"

namespace routines {

const wchar_t* const kFolderVariables[12] = {
    L"LocalAppData", L"AppData",   L"LocalLowAppData", L"UserProfile",  L"ProgramData",        L"CommonAppData",
    L"Public",       L"Documents", L"WinDir",          L"ProgramFiles", L"CommonProgramFiles", L"Temp"};

Expanded ExpandVariables(const std::wstring& text, const VariableLookup& lookup) {
  Expanded result;
  std::vector<std::wstring> texts(1);
  std::vector<size_t> leads(1, 0);
  for (size_t at = 0; at < text.size();) {
    const size_t open = text.find(L'%', at);
    const size_t close = listfile::VariableEnd(text, open);
    const bool variable = close != std::wstring::npos;
    // A "%" that opens no variable is text; the next one may open one.
    const size_t plainEnd = variable ? open : open == std::wstring::npos ? text.size() : open + 1;
    for (std::wstring& t : texts) t.append(text, at, plainEnd - at);
    at = plainEnd;
    if (!variable) continue;
    const std::vector<std::wstring> values = lookup(text.substr(open + 1, close - open - 1));
    result.wild = std::any_of(values.begin(), values.end(),
                              [](const std::wstring& v) { return v.find_first_of(L"*?") != std::wstring::npos; });
    if (values.empty() || result.wild) {
      result.unknown = text.substr(open, close - open + 1);
      return result;
    }
    std::vector<std::wstring> grown;
    std::vector<size_t> grownLeads;
    grown.reserve(texts.size() * values.size());
    for (size_t t = 0; t < texts.size(); ++t)
      for (const std::wstring& v : values) {
        grown.push_back(texts[t] + v);
        grownLeads.push_back(open == 0 ? v.size() : leads[t]);
      }
    texts = std::move(grown);
    leads = std::move(grownLeads);
    at = close + 1;
  }
  result.texts = std::move(texts);
  result.leads = std::move(leads);
  return result;
}

std::wstring VariableProblem(const Expanded& expanded) {
  return L"the variable " + expanded.unknown +
         (expanded.wild ? L" holds a wildcard here, so it names no one folder" : L" is not known on this computer");
}

}  // namespace routines
