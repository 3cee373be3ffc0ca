// The texts several windows make alike: whole numbers with their digits
// grouped, counts with their word ("1 file", "2 files"), the day names and
// the date and time stamps. Portable: the user's own number style is read
// in texts_win.h and handed in.
#pragma once
#include <cstdint>
#include <string>

namespace base::text {

// How whole numbers are written: the thousands separator and the grouping
// as Windows states it ("3;0": threes all the way, "3;2;0": three, then
// twos, "3": one group of three only, "" or "0": none). The default is the
// English style every window that does not follow the user's locale shows.
struct NumberStyle {
  std::wstring separator = L",";
  std::wstring grouping = L"3;0";
};
// Digits alone, with no separator: texts that are read back or logged.
const NumberStyle kPlainDigits{L"", L""};

std::wstring GroupedNumber(std::uint64_t n, const NumberStyle& style);
// "1 file", "1,234 files": the number in the style, a blank, then `one`
// for exactly one and `many` for any other count.
std::wstring Counted(std::uint64_t n, const wchar_t* one, const wchar_t* many, const NumberStyle& style = kPlainDigits);

// "Sunday" .. "Saturday", by the weekday number 0 .. 6.
const wchar_t* DayName(int weekday);
constexpr int kDaysInWeek = 7;

// A moment in local time, as the clock gives it.
struct DateTime {
  int year, month, day, hour, minute, second;
};
// "07": at least two digits.
std::wstring TwoDigits(int n);
// "09:05".
std::wstring ClockText(int hour, int minute);
// "2026-12-08".
std::wstring DateText(const DateTime& t);
// "2026-12-08 09:05:03"; file names take '.' between the time's parts.
std::wstring DateTimeText(const DateTime& t, wchar_t timeSeparator = L':');

}  // namespace base::text
