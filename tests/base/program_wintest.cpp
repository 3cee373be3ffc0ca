// The one way the program ends, under Wine: the end asked for before the
// loop runs, from inside a message box's own loop, from another thread, and
// twice; each time the one message loop ends with the first code asked for.
#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <utility>

#include "base/program_win.h"
#include "base/window_win.h"

namespace base {
namespace {

constexpr UINT_PTR kTimer = 1;

class EndWindow : public Window {
 public:
  bool Open() { return Create({L"OmbrelayEndTest", L"End test", WS_OVERLAPPEDWINDOW, 0}); }
  // Runs at the window's timer, on its thread.
  void At(UINT ms, std::function<void()> step) {
    step_ = std::move(step);
    SetTimer(hwnd_, kTimer, ms, nullptr);
  }

 private:
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_TIMER && wp == kTimer) {
      KillTimer(hwnd_, kTimer);
      const std::function<void()> step = std::exchange(step_, nullptr);  // a step may set the next one
      if (step) step();
      return 0;
    }
    return Window::OnMessage(msg, wp, lp);
  }
  std::function<void()> step_;
};

class ProgramEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetEndForTests();
    ASSERT_TRUE(window_.Open());
    SetBeforeEnd(window_.hwnd(), [this] {
      ++steps_;
      stepThread_ = GetCurrentThreadId();
    });
  }
  void TearDown() override {
    if (window_.hwnd()) DestroyWindow(window_.hwnd());
    ResetEndForTests();
  }

  EndWindow window_;
  int steps_ = 0;
  DWORD stepThread_ = 0;
};

TEST_F(ProgramEnd, AskedBeforeTheLoopRunsEndsItAtOnce) {
  EndProgram(3);
  EXPECT_TRUE(Ending());
  EXPECT_EQ(steps_, 1);
  EXPECT_EQ(RunMessageLoop(), 3);
}

TEST_F(ProgramEnd, TheFirstCodeAskedForStands) {
  window_.At(10, [] {
    EndProgram(4);
    EndProgram(5);
  });
  EXPECT_EQ(RunMessageLoop(), 4);
  EXPECT_EQ(steps_, 1);
}

TEST_F(ProgramEnd, AskedFromInsideAMessageBoxEndsTheBoxAndTheLoop) {
  bool returned = false, after = false;
  window_.At(10, [&] {
    // The box's own loop runs the window's next timer, which asks for the end.
    window_.At(200, [] { EndProgram(6); });
    // Its answer then is nobody's (Wine gives the default button's): the
    // step asks whether the program is ending before it goes on.
    MessageBoxW(window_.hwnd(), L"The end comes while this box is open.", L"End test", MB_OKCANCEL);
    returned = true;
    after = Ending();
  });
  const DWORD start = GetTickCount();
  EXPECT_EQ(RunMessageLoop(), 6);
  EXPECT_LT(GetTickCount() - start, 10000u);
  EXPECT_TRUE(returned);
  EXPECT_TRUE(after);
}

TEST_F(ProgramEnd, AskedFromAnotherThreadIsPostedToTheWindowsThread) {
  std::thread worker;
  window_.At(10, [&] { worker = std::thread([] { EndProgram(7); }); });
  EXPECT_EQ(RunMessageLoop(), 7);
  worker.join();
  EXPECT_EQ(steps_, 1);
  EXPECT_EQ(stepThread_, GetCurrentThreadId());
}

TEST_F(ProgramEnd, AQuitPostedByOthersEndsTheLoopWithItsCode) {
  window_.At(10, [] { PostQuitMessage(8); });
  EXPECT_EQ(RunMessageLoop(), 8);
  EXPECT_FALSE(Ending());
  EXPECT_EQ(steps_, 0);
}

}  // namespace
}  // namespace base
