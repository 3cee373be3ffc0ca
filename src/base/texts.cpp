// The shared texts: grouped numbers, counts, day names and stamps.
#include "base/texts.h"

#include <cwchar>
#include <vector>

#include "base/text_utils.h"

namespace base::text {
namespace {

const wchar_t* const kDayNames[kDaysInWeek] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                               L"Thursday", L"Friday", L"Saturday"};

// The group sizes from the right, and whether the last one repeats.
std::vector<size_t> GroupSizes(const std::wstring& grouping, bool& repeat) {
  std::vector<std::wstring> pieces;
  SplitString(grouping, L';', pieces);
  std::vector<size_t> sizes;
  repeat = false;
  for (const std::wstring& piece : pieces) {
    const size_t size = piece.empty() ? 0 : static_cast<size_t>(std::wcstoul(piece.c_str(), nullptr, 10));
    repeat = size == 0;
    if (size == 0) break;
    sizes.push_back(size);
  }
  return sizes;
}

}  // namespace

std::wstring GroupedNumber(std::uint64_t n, const NumberStyle& style) {
  bool repeat = false;
  const std::vector<size_t> sizes = GroupSizes(style.grouping, repeat);
  const std::wstring digits = std::to_wstring(n);
  std::wstring text;
  size_t end = digits.size();
  for (size_t group = 0;; ++group) {
    size_t size = group < sizes.size() ? sizes[group] : 0;
    if (group >= sizes.size() && repeat && !sizes.empty()) size = sizes.back();
    if (size == 0 || end <= size) break;
    text = style.separator + digits.substr(end - size, size) + text;
    end -= size;
  }
  return digits.substr(0, end) + text;
}

std::wstring Counted(std::uint64_t n, const wchar_t* one, const wchar_t* many, const NumberStyle& style) {
  return GroupedNumber(n, style) + L' ' + (n == 1 ? one : many);
}

const wchar_t* DayName(int weekday) { return weekday >= 0 && weekday < kDaysInWeek ? kDayNames[weekday] : L""; }

std::wstring TwoDigits(int n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); }

std::wstring ClockText(int hour, int minute) { return TwoDigits(hour) + L":" + TwoDigits(minute); }

std::wstring DateText(const DateTime& t) {
  std::wstring year = std::to_wstring(t.year);
  if (year.size() < 4) year.insert(0, 4 - year.size(), L'0');
  return year + L'-' + TwoDigits(t.month) + L'-' + TwoDigits(t.day);
}

std::wstring DateTimeText(const DateTime& t, wchar_t timeSeparator) {
  return DateText(t) + L' ' + TwoDigits(t.hour) + timeSeparator + TwoDigits(t.minute) + timeSeparator +
         TwoDigits(t.second);
}

}  // namespace base::text
