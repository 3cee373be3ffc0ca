// Leading-number reading and the update decision; no platform code.
#include "services/version_number.h"

#include <cmath>
#include <locale>
#include <sstream>
#include <vector>

#include "base/text_utils.h"

namespace services {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

size_t SkipDigits(const std::wstring& text, size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

// The numeric prefix of text from position i, as plain ASCII, or "".
std::string NumberPrefix(const std::wstring& text, size_t i) {
  const size_t start = i;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ++i;
  const size_t wholeStart = i;
  i = SkipDigits(text, i);
  bool digits = i > wholeStart;
  if (i < text.size() && text[i] == L'.') {
    size_t fracEnd = SkipDigits(text, i + 1);
    digits = digits || fracEnd > i + 1;
    i = fracEnd;
  }
  if (!digits) return {};
  // An exponent counts only when digits follow it.
  if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == L'+' || text[j] == L'-')) ++j;
    size_t expEnd = SkipDigits(text, j);
    if (expEnd > j) i = expEnd;
  }
  return std::string(text.begin() + static_cast<std::ptrdiff_t>(start), text.begin() + static_cast<std::ptrdiff_t>(i));
}

}  // namespace

double LeadingNumber(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  const std::string number = NumberPrefix(text, i);
  if (number.empty()) return 0.0;
  std::istringstream in(number);
  in.imbue(std::locale::classic());
  double value = 0.0;
  in >> value;
  // Out of range: too large reads as the largest double, too small as 0.
  if (in.fail() && !(std::abs(value) > 1.0)) return 0.0;
  return value;
}

bool IsWebAddress(const std::wstring& address) {
  auto startsWith = [&](const wchar_t* prefix) {
    size_t n = std::char_traits<wchar_t>::length(prefix);
    if (address.size() <= n) return false;
    for (size_t k = 0; k < n; ++k) {
      wchar_t c = address[k];
      if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
      if (c != prefix[k]) return false;
    }
    return true;
  };
  return startsWith(L"http://") || startsWith(L"https://");
}

UpdateOffer ReadVersionFile(const std::wstring& data, const std::wstring& currentVersion) {
  std::vector<std::wstring> fields;
  base::text::SplitString(data, L',', fields);
  UpdateOffer result;
  // Without a page to point at there is nothing to offer.
  if (fields.size() < 2 || !(LeadingNumber(fields[0]) > LeadingNumber(currentVersion))) return result;
  result.offer = true;
  result.address = fields[1];
  result.canOpen = IsWebAddress(fields[1]);
  result.mustDownload = fields.size() > 2 && fields[2] == L"must-download";
  return result;
}

}  // namespace services
