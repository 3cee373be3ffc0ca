// Judging an HTTP body against its announced length.
#include "services/answer_length.h"

namespace services {
namespace {

const wchar_t kNotWhole[] = L"the answer did not come whole: ";

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  return first == std::wstring::npos ? std::wstring() : text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

}  // namespace

std::optional<std::uint64_t> ContentLengthValue(const std::wstring& header) {
  const std::wstring digits = Trimmed(header);
  // More than 18 digits could overflow, and no answer is that long.
  if (digits.empty() || digits.size() > 18) return std::nullopt;
  std::uint64_t value = 0;
  for (wchar_t c : digits) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - L'0');
  }
  return value;
}

bool IsChunked(const std::wstring& transferEncoding) {
  const size_t comma = transferEncoding.rfind(L',');
  std::wstring last = Trimmed(comma == std::wstring::npos ? transferEncoding : transferEncoding.substr(comma + 1));
  for (wchar_t& c : last)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return last == L"chunked";
}

std::wstring NotWholeReason(const AnnouncedLength& length, std::uint64_t read, bool ended,
                            const base::text::NumberStyle& style) {
  using base::text::GroupedNumber;
  const std::wstring got = GroupedNumber(read, style);
  // A chunked answer's own end marks it whole; a length beside it counts for nothing.
  const std::optional<std::uint64_t> announced = length.chunked ? std::nullopt : length.bytes;
  if (announced && read < *announced) return kNotWhole + got + L" of " + GroupedNumber(*announced, style) + L" bytes";
  if (announced && read > *announced)
    return kNotWhole + got + L" bytes came where " + GroupedNumber(*announced, style) + L" were announced";
  if (!ended) return kNotWhole + (L"it broke off after " + got) + L" bytes";
  if (!announced && !length.chunked)
    return L"the answer did not say its length, so its " + got + L" bytes cannot be known to be whole";
  return std::wstring();
}

}  // namespace services
