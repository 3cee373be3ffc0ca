// Window jobs under Wine: a text job's text, or the failure that left its
// work with its number and statement, comes to the window's Guard.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/statement_table.h"
#include "base/window_job_win.h"

namespace base {
namespace {

constexpr UINT kProgress = WM_APP + 1;
constexpr UINT kEnd = WM_APP + 2;
constexpr int kFailingLine = 7;

// Waits for the job's end message, as the window's loop would get it.
bool EndCame(HWND window) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 10000;) {
    MSG msg;
    if (PeekMessageW(&msg, window, kEnd, kEnd, PM_REMOVE)) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_POSTMESSAGE);
  }
  return false;
}

TEST(WindowJob, TheTextOrTheFailureAtItsStatementComesToTheWindowsGuard) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  std::wstring shown;
  const trap::Presenter old = trap::SetPresenter([&](const std::wstring& text, const std::wstring&) {
    shown += text;
    return trap::Answer::Yes;
  });
  const trap::Statement own[] = {{__FILE__, kFailingLine, "RAISE(53, L\"File not found\")"}};
  trap::SetStatementTable(own, 1);

  std::unique_ptr<TextJob> counted = TextJob::Start(window, kProgress, kEnd, [](WindowJob&) { return L"3 files"; });
  ASSERT_TRUE(counted && EndCame(window) && counted->Ended());
  std::wstring text;
  trap::Guard([&] { text = counted->Take(); });
  EXPECT_EQ(text, L"3 files");

  std::unique_ptr<TextJob> failing = TextJob::Start(window, kProgress, kEnd, [](WindowJob&) -> std::wstring {
    trap::Mark(__FILE__, kFailingLine);
    trap::Raise(53, L"File not found");
  });
  ASSERT_TRUE(failing && EndCame(window) && failing->Ended());
  text = L"unchanged";
  trap::Guard([&] { text = failing->Take(); });
  EXPECT_EQ(text, L"unchanged");
  EXPECT_EQ(shown, trap::FormatReport(53, L"File not found", 1, L"RAISE(53, L\"File not found\")"));

  app::UseStatementTable();
  trap::SetPresenter(old);
  trap::ResetForTests();
  DestroyWindow(window);
}

}  // namespace
}  // namespace base
