// The window base under Wine: many windows of one class, the control table
// at a DPI and its font, a control's text, centring, and the messages the
// base hands to a window's own handlers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/window_win.h"

namespace base {
namespace {

const ControlSpec kTable[] = {
    {11, L"STATIC", L"&Name:", SS_LEFT, 0, 150, 150, 1500, 300},
    {12, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 1800, 150, 3000, 300},
};

class TestWindow : public Window {
 public:
  bool Open() { return Create({L"OmbrelayWindowTest", L"Window test", WS_OVERLAPPEDWINDOW, 0}); }
  void Rescale(UINT dpi) {
    dpi_ = dpi;
    RenewFont();
  }
  int creates = 0;

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_CREATE) {
      ++creates;
      dpi_ = 192;  // the controls as a window on a 192 DPI monitor gets them
      return CreateControls(kTable) ? 0 : -1;
    }
    return Window::OnMessage(msg, wp, lp);
  }
};

LONG FontHeight(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
}

TEST(BaseWindow, WindowsOfOneClassTheirControlsAndTexts) {
  TestWindow first, second;
  ASSERT_TRUE(first.Open());
  ASSERT_TRUE(second.Open());
  EXPECT_NE(first.hwnd(), second.hwnd());
  EXPECT_EQ(first.creates, 1);
  EXPECT_EQ(second.creates, 1);

  HWND label = GetDlgItem(first.hwnd(), 11), edit = GetDlgItem(first.hwnd(), 12);
  ASSERT_TRUE(label && edit);
  EXPECT_EQ(GetWindow(label, GW_HWNDNEXT), edit);  // table order is tab order
  RECT r{};
  GetWindowRect(edit, &r);
  MapWindowPoints(nullptr, first.hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 240);  // 1800 twips at 192 DPI
  EXPECT_EQ(r.right - r.left, 400);
  const LONG height = FontHeight(edit);
  EXPECT_GT(height, 0);
  first.Rescale(96);
  EXPECT_LT(FontHeight(edit), height);
  EXPECT_EQ(FontHeight(label), FontHeight(edit));

  const std::wstring typed = L"  pass \u00fc word  " + std::wstring(5000, L'x');
  SetWindowTextW(edit, typed.c_str());
  EXPECT_EQ(first.ControlText(12), typed);
  EXPECT_EQ(second.ControlText(12), L"");
  EXPECT_EQ(first.ControlText(99), L"");

  // Destroyed, the object lets its window go and can make another.
  ASSERT_TRUE(DestroyWindow(first.hwnd()));
  EXPECT_EQ(first.hwnd(), nullptr);
  ASSERT_TRUE(first.Open());
  EXPECT_EQ(first.creates, 2);
  DestroyWindow(first.hwnd());
  DestroyWindow(second.hwnd());
}

// A window that only states its table and its handlers.
class HandlerWindow : public Window {
 public:
  bool Open() {
    WindowSpec spec{L"OmbrelayWindowHandlerTest", L"Handler test", WS_OVERLAPPEDWINDOW, 0};
    spec.controls = kTable;
    return Create(spec);
  }
  bool controlsAtCreate = false;
  int lastCommand = 0;
  int closes = 0;

 private:
  bool OnCreate() override {
    controlsAtCreate = Control(11) && Control(12);
    return true;
  }
  void OnCommand(int id, int code) override {
    lastCommand = id;
    Window::OnCommand(id, code);
  }
  void Close() override {
    ++closes;
    if (closes > 2) Window::Close();
  }
};

TEST(BaseWindow, TableBeforeOnCreateCommandsAndCloseRequests) {
  HandlerWindow window;
  ASSERT_TRUE(window.Open());
  EXPECT_TRUE(window.controlsAtCreate);
  SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(12, EN_CHANGE), 0);
  EXPECT_EQ(window.lastCommand, 12);
  EXPECT_EQ(window.closes, 0);
  SendMessageW(window.hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // Esc
  EXPECT_EQ(window.closes, 1);
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(window.closes, 2);
  EXPECT_NE(window.hwnd(), nullptr) << "a window's Close decides whether it goes";
  SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(window.hwnd(), nullptr);
}

TEST(BaseWindow, CentresOnARectangleOrTheWorkArea) {
  const RECT owner{100, 50, 501, 350};
  RECT r = CentredRect(SIZE{200, 100}, &owner);
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.top, 150);
  EXPECT_EQ(r.right - r.left, 200);
  EXPECT_EQ(r.bottom - r.top, 100);
  // Larger than the owner: it reaches out on every side.
  r = CentredRect(SIZE{601, 500}, &owner);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, -50);

  RECT work{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  r = CentredRect(SIZE{200, 100});
  EXPECT_LE(std::abs((r.left + r.right) - (work.left + work.right)), 1);
  EXPECT_LE(std::abs((r.top + r.bottom) - (work.top + work.bottom)), 1);
}

}  // namespace
}  // namespace base
