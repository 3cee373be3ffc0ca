// The window procedure shared by the program's windows, class registration,
// the control-table loop, centring and the set-up every window shares.
#include "base/window_win.h"

#include <utility>

namespace base {

SIZE FrameSize(SIZE client, DWORD style, DWORD exStyle, bool menu) {
  RECT frame{0, 0, client.cx, client.cy};
  if (!AdjustWindowRectEx(&frame, style, menu, exStyle)) return client;
  return SIZE{frame.right - frame.left, frame.bottom - frame.top};
}

RECT CentredRect(SIZE frame, const RECT* around) {
  RECT area{};
  if (around) {
    area = *around;
  } else if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
    area = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  const LONG left = area.left + (area.right - area.left - frame.cx) / 2;
  const LONG top = area.top + (area.bottom - area.top - frame.cy) / 2;
  return RECT{left, top, left + frame.cx, top + frame.cy};
}

Window::~Window() {
  if (hwnd_) SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
}

std::wstring Window::ControlText(int id) const {
  HWND control = Control(id);
  int n = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(control, &text[0], n + 1);
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return text;
}

bool Window::Create(const WindowSpec& spec) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(instance, spec.className, &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = spec.className;
    if (!RegisterClassExW(&wc)) return false;
  }
  owner_ = spec.owner;
  table_ = spec.controls.specs;
  tableSize_ = spec.controls.count;
  client_ = spec.client;
  smallest_ = spec.smallest;
  dpi_ = win::WindowDpi(spec.owner);
  // Before the window is there, its frame is measured by the spec's styles.
  RECT frame{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT};
  if (client_.cx > 0 && client_.cy > 0) {
    const SIZE outer = FrameSize({Px(client_.cx), Px(client_.cy)}, spec.style, spec.exStyle, false);
    RECT owner{};
    frame = CentredRect(outer, OwnerRect(&owner) ? &owner : nullptr);
    frame.right -= frame.left;  // width and height from here on
    frame.bottom -= frame.top;
  }
  if (!CreateWindowExW(spec.exStyle, spec.className, spec.caption, spec.style, frame.left, frame.top, frame.right,
                       frame.bottom, spec.owner, nullptr, instance, this)) {
    return false;
  }
  if (spec.icon) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(spec.icon));
  if (spec.smallIcon) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(spec.smallIcon));
  navigation_ = spec.navigation;
  if (navigation_) AddDialogWindow(hwnd_, spec.leaveOut);
  return true;
}

SIZE Window::FrameFor(SIZE twips) const {
  return FrameSize({Px(twips.cx), Px(twips.cy)}, static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE)),
                   static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE)), GetMenu(hwnd_) != nullptr);
}

// The owner's frame while it shows; false when there is no owner to centre
// on.
bool Window::OwnerRect(RECT* rect) const { return owner_ && IsWindowVisible(owner_) && GetWindowRect(owner_, rect); }

void Window::MoveCentred() {
  RECT owner{};
  const RECT frame = CentredRect(FrameFor(client_), OwnerRect(&owner) ? &owner : nullptr);
  SetWindowPos(hwnd_, nullptr, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER);
}

void Window::ShowOverOwner() {
  if (owner_) EnableWindow(owner_, FALSE);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void Window::CloseOverOwner() {
  if (owner_) EnableWindow(owner_, TRUE);
  DestroyWindow(hwnd_);
}

// The object comes with WM_NCCREATE and is let go after WM_NCDESTROY, when
// the controls that used its font are gone too.
LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  // An end asked for on another thread comes to the program's window.
  if (msg == EndProgramMessage()) {
    EndProgram(static_cast<int>(wp));
    return 0;
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_DESTROY && self->navigation_) {
    RemoveDialogWindow(hwnd);
    self->navigation_ = false;
  }
  const LRESULT result = self->OnMessage(msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->font_.reset();
  }
  return result;
}

LRESULT Window::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      if (table_ && !CreateControls(table_, tableSize_)) return -1;
      return OnCreate() ? 0 : -1;
    case WM_COMMAND: OnCommand(LOWORD(wp), HIWORD(wp)); return 0;
    case WM_CLOSE: Close(); return 0;
    case WM_GETMINMAXINFO:
      if (smallest_.cx > 0 && smallest_.cy > 0) {
        const SIZE least = FrameFor(smallest_);
        reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = POINT{least.cx, least.cy};
        return 0;
      }
      break;
    case WM_DPICHANGED: OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp)); return 0;
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

void Window::OnCommand(int id, int) {
  if (id == IDCANCEL) Close();
}

void Window::Close() { DestroyWindow(hwnd_); }

// The system suggests the frame at the new DPI; the font and the places of
// the controls follow it.
void Window::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  RenewFont();
  Layout();
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void Window::Layout() {
  for (size_t i = 0; i < tableSize_; ++i) {
    const ControlSpec& c = table_[i];
    SetWindowPos(Control(c.id), nullptr, Px(c.left), Px(c.top), Px(c.width), Px(c.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

bool Window::CreateControls(const ControlSpec* table, size_t count) {
  table_ = table;
  tableSize_ = count;
  font_ = win::CreateMessageFont(dpi_);
  bool made = true;
  for (size_t i = 0; i < count; ++i) {
    const ControlSpec& c = table[i];
    HWND control = CreateWindowExW(
        c.exStyle, c.cls, c.text, WS_CHILD | WS_VISIBLE | c.style, Px(c.left), Px(c.top), Px(c.width), Px(c.height),
        hwnd_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), GetModuleHandleW(nullptr), nullptr);
    if (control) SetFont(control);
    made = made && control;
  }
  return made;
}

void Window::RenewFont() {
  win::unique_hfont fresh = win::CreateMessageFont(dpi_);
  if (!fresh) return;
  win::unique_hfont old = std::exchange(font_, std::move(fresh));
  for (size_t i = 0; i < tableSize_; ++i) SetFont(Control(table_[i].id));
}

void Window::SetFont(HWND control) const {
  if (font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
}

}  // namespace base
