// The main window's remembered placement: the text kept in the registry,
// read back strictly (anything malformed is no placement), and the test
// whether a saved rectangle can still be seen on the monitors there are now.
#pragma once
#include <optional>
#include <string>
#include <vector>

namespace app {

struct ScreenRect {
  long left = 0, top = 0, right = 0, bottom = 0;
  long Width() const { return right - left; }
  long Height() const { return bottom - top; }
};

struct SavedPlacement {
  ScreenRect normal;  // the window's rectangle when neither maximised nor minimised
  bool maximized = false;
};

// "1,<maximised 0|1>,<left>,<top>,<right>,<bottom>".
std::wstring FormatPlacement(const SavedPlacement& placement);
// The placement a text holds, or nothing when the text is not exactly one
// written by FormatPlacement with a plausible rectangle.
std::optional<SavedPlacement> ParsePlacement(const std::wstring& text);
// True when some monitor shows a piece of the rectangle's top edge wide
// and tall enough to take hold of the caption.
bool CaptionReachable(const ScreenRect& rect, const std::vector<ScreenRect>& monitors);

}  // namespace app
