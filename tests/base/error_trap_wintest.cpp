// The error trap in the Win32 build: a real failure shows the real message
// box, whose "Error Code:" line is the failing statement's source text. The
// failure: a setting whose text has no exact ANSI form, which the settings
// store reports rather than writes with substitutes.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <string>
#include <thread>

#include "base/encoding.h"
#include "base/error_trap_win.h"
#include "services/registry_win.h"

namespace {

std::wstring SourceLineHolding(const std::string& file, const std::string& needle) {
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.find(needle) != std::string::npos) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      return base::enc::FromUtf8(line.substr(line.find_first_not_of(" \t")));
    }
  }
  return L"";
}

const wchar_t kKey[] = L"SOFTWARE\\OmbrelayTrapTest";

// Saves a text no ANSI code page holds; true when it was written.
bool SaveUnstorable() {
  const bool saved = services::SaveString(HKEY_CURRENT_USER, kKey, L"Name", L"\u4e2d\u6587");
  RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
  return saved;
}

TEST(ErrorTrapBox, RealFailureShowsFiveLinesAndNoSilencesIt) {
  base::trap::ResetForTests();
  base::trap::InstallMessageBoxPresenter();
  std::wstring text;
  {
    std::thread answer;
    std::wstring seen;
    std::atomic<bool> done{false};
    answer = std::thread([&] {
      for (int i = 0; i < 300 && !done; ++i) {
        HWND box = FindWindowW(L"#32770", L"Error");
        if (box && IsWindowVisible(box)) {
          wchar_t buf[4096] = L"";
          GetDlgItemTextW(box, 0xFFFF, buf, 4096);
          seen = buf;
          PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
          return;
        }
        Sleep(20);
      }
    });
    EXPECT_FALSE(SaveUnstorable());
    done = true;
    answer.join();
    text = seen;
  }
  std::wstring code =
      SourceLineHolding(OMBRELAY_SOURCE_DIR "/src/services/registry_win.cpp", "ST(RequireAnsiForm(text));");
  ASSERT_FALSE(code.empty());
  EXPECT_EQ(text.rfind(L"Error Number: 1113.\r\nError Description: ", 0), 0u) << base::enc::ToUtf8(text);
  EXPECT_NE(text.find(L"\r\nError Code: " + code + L"\r\nDo you wish to pause on this error again?"),
            std::wstring::npos)
      << base::enc::ToUtf8(text);
  ASSERT_EQ(base::trap::SilencedList().size(), 2u);  // No was pressed

  // Silenced: the same statement fails again and no box appears.
  base::trap::Presenter counting = [](const std::wstring&, const std::wstring&) {
    ADD_FAILURE() << "silenced statement shown again";
    return base::trap::Answer::Yes;
  };
  base::trap::SetPresenter(counting);
  EXPECT_FALSE(SaveUnstorable());
  base::trap::SetPresenter(nullptr);
  base::trap::ResetForTests();
}

TEST(ErrorTrapWin32, SystemMessagesAreReadable) {
  EXPECT_NE(base::trap::SystemMessage(ERROR_FILE_NOT_FOUND).back(), L'.');
  EXPECT_FALSE(base::trap::SystemMessage(ERROR_ACCESS_DENIED).empty());
  EXPECT_NE(base::trap::SystemMessage(0xDEADBEEF).find(L"System error"), std::wstring::npos);
}

}  // namespace
