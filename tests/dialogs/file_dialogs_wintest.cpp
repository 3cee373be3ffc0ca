// The file dialog wrappers with the real system dialogs: a second thread
// finds the dialog by its title, types an answer and presses a button, the
// way a user would, while the wrapper runs on the test's own thread.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "base/error_trap.h"
#include "base/handles_win.h"
#include "dialogs/centring_hook_win.h"
#include "dialogs/file_dialogs_win.h"

namespace {

using dialogs::FileDialogResult;

constexpr int kFileNameCombo = 0x47C;
constexpr int kFileNameEdit = 0x480;

// A plain top-level window to own the dialogs, away from the screen centre.
class OwnerWindow {
 public:
  explicit OwnerWindow(RECT place) {
    hwnd_ = CreateWindowExW(0, L"STATIC", L"Dialogs test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, place.left,
                            place.top, place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  }
  ~OwnerWindow() { DestroyWindow(hwnd_); }
  HWND get() const { return hwnd_; }

 private:
  HWND hwnd_ = nullptr;
};

// A folder of its own under the temporary folder, removed with its files.
class TempFolder {
 public:
  TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    path_ = std::wstring(base) + L"ombrelay-dialogs-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(path_.c_str(), nullptr);
  }
  ~TempFolder() {
    WIN32_FIND_DATAW fd;
    base::win::unique_hfind find(FindFirstFileW((path_ + L"\\*").c_str(), &fd));
    if (find) {
      do {
        DeleteFileW((path_ + L"\\" + fd.cFileName).c_str());
      } while (FindNextFileW(find.get(), &fd));
    }
    find.reset();
    RemoveDirectoryW(path_.c_str());
  }
  std::wstring Make(const std::wstring& name) const {
    base::win::unique_hfile f(CreateFileW((path_ + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
    return name;
  }
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

// What the answering thread saw of the dialog.
struct Seen {
  bool found = false;
  RECT rect{};
  std::wstring initialName;
};

// Waits for the dialog captioned `title` in this process, notes its place
// and the name it offers, types `text` (unless null) and presses `button`.
class Answerer {
 public:
  Answerer(std::wstring title, const wchar_t* text, int button)
      : title_(std::move(title)), text_(text ? text : L""), type_(text != nullptr), button_(button) {
    thread_ = std::thread([this] { Run(); });
  }
  ~Answerer() { Join(); }
  const Seen& Join() {
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

 private:
  HWND FileNameControl(HWND dlg) {
    HWND c = GetDlgItem(dlg, kFileNameCombo);
    return c ? c : GetDlgItem(dlg, kFileNameEdit);
  }
  void Run() {
    HWND dlg = nullptr;
    for (int i = 0; i < 500 && !dlg; ++i) {
      HWND h = FindWindowW(L"#32770", title_.c_str());
      if (h && IsWindowVisible(h))
        dlg = h;
      else
        Sleep(20);
    }
    if (!dlg) return;
    Sleep(400);  // let the dialog finish its layout
    seen_.found = true;
    GetWindowRect(dlg, &seen_.rect);
    std::wstring buf(32768, L'\0');
    HWND name = FileNameControl(dlg);
    SendMessageW(name, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(&buf[0]));
    seen_.initialName = buf.c_str();
    if (type_) SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_.c_str()));
    Sleep(100);
    PostMessageW(GetDlgItem(dlg, button_), BM_CLICK, 0, 0);
  }

  std::wstring title_;
  std::wstring text_;
  bool type_;
  int button_;
  Seen seen_;
  std::thread thread_;
};

class DialogsFileDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    base::trap::ResetForTests();
    old_ = base::trap::SetPresenter([this](const std::wstring& text, const std::wstring&) {
      reports_ += text;
      return base::trap::Answer::Yes;
    });
    settings_.filter = dialogs::AllFilesFilter();
    settings_.initialFolder = folder_.path();
    settings_.flags = OFN_LONGNAMES | OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
  }
  void TearDown() override {
    EXPECT_EQ(reports_, L"") << "the error trap reported a failure";
    base::trap::SetPresenter(old_);
  }
  // Runs ShowOpen (or ShowSave) captioned `title` and answers it.
  FileDialogResult Open(const std::wstring& title, const wchar_t* text, int button = IDOK, bool centred = true) {
    settings_.title = title;
    Answerer answer(title, text, button);
    FileDialogResult r = dialogs::ShowOpen(owner_.get(), settings_, centred);
    seen_ = answer.Join();
    return r;
  }
  FileDialogResult Save(const std::wstring& title, const wchar_t* text, int button = IDOK) {
    settings_.title = title;
    Answerer answer(title, text, button);
    FileDialogResult r = dialogs::ShowSave(owner_.get(), settings_);
    seen_ = answer.Join();
    return r;
  }
  std::wstring Folder() const { return folder_.path() + L"\\"; }

  dialogs::FileDialogSettings settings_;
  TempFolder folder_;
  OwnerWindow owner_{RECT{10, 20, 710, 520}};
  Seen seen_;
  std::wstring reports_;
  base::trap::Presenter old_;
};

long CentreX(const RECT& r) { return (r.left + r.right) / 2; }
long CentreY(const RECT& r) { return (r.top + r.bottom) / 2; }

TEST_F(DialogsFileDialog, OneFile) {
  folder_.Make(L"a.txt");
  FileDialogResult r = Open(L"Dialogs one file", L"a.txt");
  ASSERT_TRUE(seen_.found);
  EXPECT_FALSE(r.cancelled);
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.folder, Folder());
  EXPECT_EQ(r.names.at(1), L"a.txt");
}

TEST_F(DialogsFileDialog, SeveralFilesInTheTypedOrder) {
  folder_.Make(L"a.txt");
  folder_.Make(L"b c.txt");
  settings_.flags = 0;  // the open dialog takes several names whatever its caller asks
  FileDialogResult r = Open(L"Dialogs several files", L"\"b c.txt\" \"a.txt\"");
  ASSERT_TRUE(seen_.found);
  ASSERT_EQ(r.count, 2);
  EXPECT_EQ(r.folder, folder_.path());
  EXPECT_EQ(r.names.at(1), L"b c.txt");
  EXPECT_EQ(r.names.at(2), L"a.txt");
}

TEST_F(DialogsFileDialog, CancelReturnsNothing) {
  folder_.Make(L"a.txt");
  FileDialogResult r = Open(L"Dialogs cancel", L"a.txt", IDCANCEL);
  ASSERT_TRUE(seen_.found);
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(r.count, 0);
  EXPECT_EQ(r.folder, L"");
  EXPECT_TRUE(r.names.empty());
}

TEST_F(DialogsFileDialog, NextOpenOffersThePreviousAnswer) {
  folder_.Make(L"first.txt");
  ASSERT_EQ(Open(L"Dialogs carry-over 1", L"first.txt").count, 1);
  // The second dialog is accepted as offered.
  FileDialogResult r = Open(L"Dialogs carry-over 2", nullptr);
  ASSERT_TRUE(seen_.found);
  EXPECT_NE(seen_.initialName.find(L"first.txt"), std::wstring::npos);
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.folder + r.names.at(1), Folder() + L"first.txt");
}

TEST_F(DialogsFileDialog, SaveStartsEmptyAndReturnsTheNewName) {
  folder_.Make(L"old.txt");
  ASSERT_EQ(Open(L"Dialogs before save", L"old.txt").count, 1);
  settings_.flags = 0;
  FileDialogResult r = Save(L"Dialogs save", L"new list.txt");
  ASSERT_TRUE(seen_.found);
  EXPECT_EQ(seen_.initialName, L"");
  ASSERT_EQ(r.count, 1);
  ASSERT_EQ(r.names.size(), 2u);
  EXPECT_EQ(r.folder, Folder());
  EXPECT_EQ(r.names[1], L"new list.txt");
  // The saved name is what the next open dialog offers.
  Open(L"Dialogs after save", nullptr, IDCANCEL);
  ASSERT_TRUE(seen_.found);
  EXPECT_NE(seen_.initialName.find(L"new list.txt"), std::wstring::npos);
}

TEST_F(DialogsFileDialog, SaveKeepsTheCallersFlagsAndCancels) {
  settings_.flags = OFN_LONGNAMES | OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY;
  FileDialogResult r = Save(L"Dialogs save cancel", L"x.txt", IDCANCEL);
  ASSERT_TRUE(seen_.found);
  EXPECT_TRUE(r.cancelled);
  EXPECT_TRUE(r.names.empty());
}

TEST_F(DialogsFileDialog, SaveWithSeveralNamesTypedSavesToTheFirst) {
  // The callers' flags allow several names, and the dialog then packs them.
  FileDialogResult r = Save(L"Dialogs save several", L"\"one.txt\" \"two.txt\"");
  ASSERT_TRUE(seen_.found);
  ASSERT_EQ(r.count, 1);
  EXPECT_EQ(r.folder + r.names.at(1), Folder() + L"one.txt");
}

TEST_F(DialogsFileDialog, CentredOnTheOwner) {
  folder_.Make(L"a.txt");
  Open(L"Dialogs centred on owner", nullptr, IDCANCEL);
  ASSERT_TRUE(seen_.found);
  RECT owner;
  ASSERT_TRUE(GetWindowRect(owner_.get(), &owner));
  EXPECT_NEAR(CentreX(seen_.rect), CentreX(owner), 20);
  EXPECT_NEAR(CentreY(seen_.rect), CentreY(owner), 20);
}

TEST_F(DialogsFileDialog, CentredOnTheScreen) {
  Open(L"Dialogs centred on screen", nullptr, IDCANCEL, false);
  ASSERT_TRUE(seen_.found);
  EXPECT_NEAR(CentreX(seen_.rect), GetSystemMetrics(SM_CXSCREEN) / 2, 20);
  EXPECT_NEAR(CentreY(seen_.rect), GetSystemMetrics(SM_CYSCREEN) / 2, 20);
  // Far enough from the owner's centre that the two cases are told apart.
  RECT owner;
  GetWindowRect(owner_.get(), &owner);
  ASSERT_GT(GetSystemMetrics(SM_CXSCREEN) / 2 - CentreX(owner), 100);
}

TEST_F(DialogsFileDialog, ThousandsOfFilesAtOnce) {
  const int kCount = 3000;
  std::wstring typed;
  for (int i = 1; i <= kCount; ++i) {
    std::wstring name = L"file " + std::to_wstring(100000 + i) + L".txt";
    folder_.Make(name);
    typed += L"\"" + name + L"\" ";
  }
  FileDialogResult r = Open(L"Dialogs thousands", typed.c_str());
  ASSERT_TRUE(seen_.found);
  EXPECT_FALSE(r.cancelled);
  ASSERT_EQ(r.count, kCount);
  EXPECT_EQ(r.names.at(1), L"file 100001.txt");
  EXPECT_EQ(r.names.at(kCount), L"file " + std::to_wstring(100000 + kCount) + L".txt");
  EXPECT_EQ(r.folder, folder_.path());
}

// The hook alone: only the first activation counts, creation does not.
TEST(DialogsCentringHook, OneShotOnTheFirstActivation) {
  OwnerWindow owner(RECT{0, 0, 600, 400});
  dialogs::CentringHook hook(owner.get(), true);
  ASSERT_TRUE(hook.Installed());
  HWND first = CreateWindowExW(0, L"STATIC", L"Dialogs hook first", WS_OVERLAPPEDWINDOW, 500, 500, 200, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  RECT r;
  GetWindowRect(first, &r);
  EXPECT_EQ(r.left, 500) << "creation must not move the window";
  HWND second = CreateWindowExW(0, L"STATIC", L"Dialogs hook second", WS_OVERLAPPEDWINDOW, 500, 500, 200, 100, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(first, SW_SHOW);
  GetWindowRect(first, &r);
  EXPECT_EQ(r.left, 200);  // 0 + 300 - 100
  EXPECT_EQ(r.top, 150);   // 0 + 200 - 50
  ShowWindow(second, SW_SHOW);
  GetWindowRect(second, &r);
  EXPECT_EQ(r.left, 500) << "the hook must be gone after its first activation";
  DestroyWindow(second);
  DestroyWindow(first);
}

TEST(DialogsCentringHook, RemovedWhenNothingWasActivated) {
  OwnerWindow owner(RECT{0, 0, 600, 400});
  {
    dialogs::CentringHook hook(owner.get(), true);
    ASSERT_TRUE(hook.Installed());
  }
  HWND w = CreateWindowExW(0, L"STATIC", L"Dialogs hook removed", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 500, 200, 100,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  RECT r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r.left, 500);
  DestroyWindow(w);
}

}  // namespace
