// What makes one of the program's windows a window: its class, registered
// once, the window procedure that hands each message to the object, a table
// of controls laid out in twips at the window's DPI with one message font,
// and centring on the work area (or on another window).
//
// The windows are plain windows of their own classes rather than dialogs
// made from templates: the main window is resizable and leaves the list
// view's keys out of the navigation, the prompt and the About window are
// told apart from message boxes by their class, and every message loop
// (the main one, a search's, a removal run's, a download's) already hands
// Tab and access keys to them through the registry in base/program_win.h.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

#include "base/handles_win.h"
#include "base/window_metrics_win.h"

namespace base {

// One control of a window's table. Creation order is the tab order; every
// control is created visible.
struct ControlSpec {
  int id;
  const wchar_t* cls;
  const wchar_t* text;
  DWORD style;  // WS_CHILD | WS_VISIBLE are added
  DWORD exStyle;
  int left, top, width, height;  // twips, in the window's client area
};

// The class and the frame of a window.
struct WindowSpec {
  const wchar_t* className;
  const wchar_t* caption;
  DWORD style;
  DWORD exStyle;
  HWND owner = nullptr;
  HICON classIcon = nullptr;  // shared (LoadIcon), not owned
};

// The outer size of a window whose client area has the given size.
SIZE FrameSize(SIZE client, DWORD style, DWORD exStyle, bool menu);
// The rectangle that centres a window of the given outer size on `around`,
// or on the work area of the primary monitor when there is none.
RECT CentredRect(SIZE frame, const RECT* around = nullptr);

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // A window that outlives its object gets no more of its messages.
  virtual ~Window();

  // Null before Create and once the window is destroyed.
  HWND hwnd() const { return hwnd_; }
  // The text of one of the window's controls.
  std::wstring ControlText(int id) const;

 protected:
  // Registers the class when no window of that name has, and creates the
  // window at `frame` (the system's default place and size for none).
  // Messages reach OnMessage from WM_NCCREATE on.
  bool Create(const WindowSpec& spec, const RECT* frame = nullptr);
  // One window message; the default is DefWindowProc.
  virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

  // Creates the table's controls in its order, placed at dpi_ and given the
  // message font for dpi_. False when one could not be made.
  template <size_t N>
  bool CreateControls(const ControlSpec (&table)[N]) {
    return CreateControls(table, N);
  }
  bool CreateControls(const ControlSpec* table, size_t count);
  // After a DPI change: the message font for the new dpi_ on every control
  // of the table (the old font is freed once none uses it).
  void RenewFont();

  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  int Px(int twips) const { return base::win::TwipsToPixels(twips, dpi_); }

  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void SetFont(HWND control) const;

  base::win::unique_hfont font_;
  const ControlSpec* table_ = nullptr;
  size_t tableSize_ = 0;
};

}  // namespace base
