// What makes one of the program's windows a window: its class, the window
// procedure that hands each message to the object, a table of controls laid
// out in twips at the window's DPI with one message font, and the set-up
// every window shares (DPI, first size and centring, icons, smallest size,
// keyboard navigation). Plain windows rather than dialog templates, so that
// the one message loop can tell them apart and navigate them.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

#include "base/handles_win.h"
#include "base/program_win.h"
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

// A window's control table, as WindowSpec hands it to the window. Made
// from the table itself (not explicit), so `spec.controls = kControls` reads
// as what it is.
struct ControlTable {
  ControlTable() = default;
  template <size_t N>
  ControlTable(const ControlSpec (&table)[N]) : specs(table), count(N) {}
  const ControlSpec* specs = nullptr;
  size_t count = 0;
};

// The frame of a fixed-size window that stands over its owner as a dialog
// would.
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
constexpr DWORD kDialogExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The class and the frame of a window.
struct WindowSpec {
  const wchar_t* className;
  const wchar_t* caption;
  DWORD style;
  DWORD exStyle;
  HWND owner = nullptr;
  // The first client size in twips, centred on the owner while it shows
  // (else on the work area); none: the system's default place and size.
  SIZE client{0, 0};
  // The least client size in twips the user may size the window to.
  SIZE smallest{0, 0};
  // Shared (LoadIcon, or another window's), not owned; none leaves the
  // system's.
  HICON icon = nullptr;
  HICON smallIcon = nullptr;  // the title bar's
  // Whether the message loops give the window Tab and access keys, and
  // which messages it leaves out of them.
  bool navigation = true;
  NavigationFilter leaveOut = nullptr;
  // The controls WM_CREATE makes, before OnCreate; none: the window makes
  // its own.
  ControlTable controls{};
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
  // Registers the class when no window of that name has, takes the DPI of
  // the owner's monitor (of the primary one for none), and creates the
  // window as the spec says. Messages reach OnMessage from WM_NCCREATE on.
  bool Create(const WindowSpec& spec);
  // One window message. The default creates the spec's controls and then
  // calls OnCreate at WM_CREATE, hands WM_COMMAND to OnCommand and
  // WM_CLOSE to Close, keeps the smallest size, answers a DPI change
  // (Layout at the new DPI), and leaves the rest to DefWindowProc.
  virtual LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
  // What the window sets up once its controls are there; false fails the
  // creation. The default has nothing to set up.
  virtual bool OnCreate() { return true; }
  // A command from a control, a menu or the keyboard's navigation. The
  // default closes the window on IDCANCEL (a Cancel button or Esc).
  virtual void OnCommand(int id, int code);
  // A request to close (WM_CLOSE, and Cancel or Esc unless OnCommand says
  // otherwise). The default destroys the window, as DefWindowProc would.
  virtual void Close();
  // Places the controls at dpi_; the default puts the table's controls where
  // the table says.
  virtual void Layout();

  // The outer size, with the window's styles and menu, of a client area of
  // the given twips at dpi_.
  SIZE FrameFor(SIZE twips) const;
  // Moves the window to its first size, centred as Create centres it.
  void MoveCentred();
  // A window that stands over its owner as a modal dialog would, while the
  // one message loop goes on: the owner is disabled while it shows, and
  // enabled again before the window goes, so that it gets the focus back
  // rather than some other program's window.
  void ShowOverOwner();
  void CloseOverOwner();

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
  bool OwnerRect(RECT* rect) const;
  void OnDpiChanged(UINT dpi, const RECT& suggested);

  HWND owner_ = nullptr;
  SIZE client_{0, 0};
  SIZE smallest_{0, 0};
  bool navigation_ = false;

  base::win::unique_hfont font_;
  const ControlSpec* table_ = nullptr;
  size_t tableSize_ = 0;
};

}  // namespace base
