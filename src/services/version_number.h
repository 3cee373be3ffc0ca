// Reading the version file of the update check: the leading number of a
// text, and what the file's fields ask the program to do.
#pragma once
#include <string>

namespace services {

// The number a text starts with: blanks skipped, an optional sign, digits
// with "." as the decimal point whatever the locale, an optional exponent.
// Reading stops at the first other character; 0 when there is no number.
double LeadingNumber(const std::wstring& text);

// What the version file offers. Fields: newest version, download page,
// optionally "must-download".
struct UpdateOffer {
  bool offer = false;         // a newer version with a page to show
  std::wstring address;       // the download page, as the file gives it
  bool canOpen = false;       // the address is a web address the shell may open
  bool mustDownload = false;  // the program must not go on running
};

UpdateOffer ReadVersionFile(const std::wstring& data, const std::wstring& currentVersion);

// True for "http://..." and "https://..." (scheme in any case).
bool IsWebAddress(const std::wstring& address);

}  // namespace services
