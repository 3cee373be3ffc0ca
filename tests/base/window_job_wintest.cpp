// Window jobs under Wine: a text job's text, or the failure that left its
// work with its number and statement, comes to the window's Guard.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/statement_table.h"
#include "base/window_job_win.h"

namespace base {
namespace {

// Runs a text job to its end message, as the window's loop would get it,
// and takes its text under a Guard.
std::wstring TextAtTheEnd(HWND window, TextJob::Work work) {
  std::unique_ptr<TextJob> job = TextJob::Start(window, WM_APP + 1, WM_APP + 2, std::move(work));
  MSG msg;
  for (DWORD start = GetTickCount(); !PeekMessageW(&msg, window, WM_APP + 2, WM_APP + 2, PM_REMOVE); Sleep(10))
    if (GetTickCount() - start > 10000) return L"no end message";
  std::wstring text = job->Ended() ? L"unchanged" : L"not ended";
  trap::Guard([&] { text = job->Take(); });
  return text;
}

TEST(WindowJob, TheTextOrTheFailureAtItsStatementComesToTheWindowsGuard) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  std::wstring shown;
  const trap::Presenter old = trap::SetPresenter([&](const std::wstring& text, const std::wstring&) {
    shown += text;
    return trap::Answer::Yes;
  });
  const trap::Statement own[] = {{__FILE__, 7, "RAISE(53, L\"File not found\")"}};
  trap::SetStatementTable(own, 1);
  EXPECT_EQ(TextAtTheEnd(window, [](WindowJob&) { return L"3 files"; }), L"3 files");
  EXPECT_EQ(TextAtTheEnd(window,
                         [](WindowJob&) -> std::wstring {
                           trap::Mark(__FILE__, 7);
                           trap::Raise(53, L"File not found");
                         }),
            L"unchanged");
  EXPECT_EQ(shown, trap::FormatReport(53, L"File not found", 1, L"RAISE(53, L\"File not found\")"));
  app::UseStatementTable();
  trap::SetPresenter(old);
  trap::ResetForTests();
  DestroyWindow(window);
}

}  // namespace
}  // namespace base
