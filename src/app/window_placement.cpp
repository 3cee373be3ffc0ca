// Remembered placement: its registry text and the visibility test.
#include "app/window_placement.h"

#include <algorithm>

namespace app {
namespace {

constexpr long kFormatVersion = 1;
// Coordinates beyond this are no real screen position.
constexpr long kMaxCoordinate = 100000;
// The part of the caption that must be on a monitor to drag the window back.
constexpr long kReachableWidth = 64;
constexpr long kReachableHeight = 16;

// Reads an optionally signed decimal number of at most 7 digits at `pos`.
bool ReadNumber(const std::wstring& text, size_t& pos, long& value) {
  bool negative = false;
  if (pos < text.size() && text[pos] == L'-') {
    negative = true;
    ++pos;
  }
  size_t digits = 0;
  value = 0;
  while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9' && digits < 8) {
    value = value * 10 + (text[pos] - L'0');
    ++pos;
    ++digits;
  }
  if (digits == 0 || digits > 7) return false;
  if (negative) value = -value;
  return true;
}

}  // namespace

std::wstring FormatPlacement(const SavedPlacement& p) {
  return std::to_wstring(kFormatVersion) + L"," + (p.maximized ? L"1" : L"0") + L"," + std::to_wstring(p.normal.left) +
         L"," + std::to_wstring(p.normal.top) + L"," + std::to_wstring(p.normal.right) + L"," +
         std::to_wstring(p.normal.bottom);
}

std::optional<SavedPlacement> ParsePlacement(const std::wstring& text) {
  long fields[6] = {};
  size_t pos = 0;
  for (int i = 0; i < 6; ++i) {
    if (i > 0) {
      if (pos >= text.size() || text[pos] != L',') return std::nullopt;
      ++pos;
    }
    if (!ReadNumber(text, pos, fields[i])) return std::nullopt;
  }
  if (pos != text.size() || fields[0] != kFormatVersion || (fields[1] != 0 && fields[1] != 1)) return std::nullopt;
  SavedPlacement p;
  p.maximized = fields[1] == 1;
  p.normal = ScreenRect{fields[2], fields[3], fields[4], fields[5]};
  for (int i = 2; i < 6; ++i) {
    if (fields[i] < -kMaxCoordinate || fields[i] > kMaxCoordinate) return std::nullopt;
  }
  if (p.normal.Width() <= 0 || p.normal.Height() <= 0) return std::nullopt;
  return p;
}

bool CaptionReachable(const ScreenRect& rect, const std::vector<ScreenRect>& monitors) {
  const long needWidth = std::min(kReachableWidth, rect.Width());
  const long needHeight = std::min(kReachableHeight, rect.Height());
  for (const ScreenRect& m : monitors) {
    // The strip along the top edge that lies on this monitor.
    const long left = std::max(rect.left, m.left), right = std::min(rect.right, m.right);
    const long top = std::max(rect.top, m.top), bottom = std::min(rect.top + needHeight, m.bottom);
    if (rect.top >= m.top && right - left >= needWidth && bottom - top >= needHeight) return true;
  }
  return false;
}

}  // namespace app
