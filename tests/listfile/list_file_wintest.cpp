// The list file on a real folder: a write replaces the file whole or leaves
// it and its folder as they were, and a read says plainly why a file is not
// a list (missing, held by another program, refused, holding NUL bytes).
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "listfile/file_io.h"
#include "listfile/list_file.h"
#include "services/error_trap_win.h"

namespace {

class ListFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    dir_ = std::wstring(temp) + L"ombrelay list file test";
    CreateDirectoryW(dir_.c_str(), nullptr);
    ASSERT_TRUE(Names().empty());
  }
  void TearDown() override {
    for (const std::wstring& name : Names()) DeleteFileW(Path(name).c_str());
    RemoveDirectoryW(Path(L"folder").c_str());
    RemoveDirectoryW(dir_.c_str());
  }
  std::wstring Path(const std::wstring& name) const { return dir_ + L"\\" + name; }
  std::set<std::wstring> Names() const {
    std::set<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((dir_ + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..")) names.insert(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
  }
  void Write(const std::wstring& name, const std::string& bytes) {
    std::wstring reason;
    ASSERT_TRUE(fileio::WriteAll(Path(name), bytes, reason));
  }
  // Opens the file as another program would that shares nothing.
  HANDLE Hold(const std::wstring& name) {
    return CreateFileW(Path(name).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  std::wstring dir_;
};

TEST_F(ListFileOnDisk, AWriteReplacesTheFileWholeOrLeavesEverythingAsItWas) {
  Write(L"list.txt", std::string(100000, 'a'));
  Write(L"list.txt", "short");
  EXPECT_EQ(fileio::ReadAll(Path(L"list.txt")), "short");
  EXPECT_EQ(Names(), std::set<std::wstring>{L"list.txt"});

  // Held by another program: the old bytes stay and no temporary file is left.
  HANDLE held = Hold(L"list.txt");
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::wstring reason;
  EXPECT_FALSE(fileio::WriteAll(Path(L"list.txt"), std::string(5000, 'b'), reason));
  CloseHandle(held);
  EXPECT_EQ(reason, trap::SystemMessage(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(fileio::ReadAll(Path(L"list.txt")), "short");
  EXPECT_EQ(Names(), std::set<std::wstring>{L"list.txt"});

  // A folder of that name is never replaced; a missing folder gets nothing.
  ASSERT_TRUE(CreateDirectoryW(Path(L"folder").c_str(), nullptr));
  EXPECT_FALSE(fileio::WriteAll(Path(L"folder"), "x", reason));
  EXPECT_FALSE(fileio::WriteAll(Path(L"missing\\new.txt"), "x", reason));
  EXPECT_EQ(Names(), (std::set<std::wstring>{L"folder", L"list.txt"}));
  EXPECT_EQ(GetFileAttributesW(Path(L"folder").c_str()) & FILE_ATTRIBUTE_DIRECTORY, DWORD{FILE_ATTRIBUTE_DIRECTORY});
}

TEST_F(ListFileOnDisk, AFileThatIsNotAReadableListSaysWhy) {
  std::string bytes = "stale";
  std::wstring reason;
  EXPECT_FALSE(listfile::ReadListFile(Path(L"missing.txt"), bytes, reason));
  EXPECT_EQ(reason, trap::SystemMessage(ERROR_FILE_NOT_FOUND));

  Write(L"held.txt", "C:\\a.txt|File*pw*\r\n");
  HANDLE held = Hold(L"held.txt");
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  reason.clear();
  EXPECT_FALSE(listfile::ReadListFile(Path(L"held.txt"), bytes, reason));
  CloseHandle(held);
  EXPECT_EQ(reason, trap::SystemMessage(ERROR_SHARING_VIOLATION));
  ASSERT_TRUE(listfile::ReadListFile(Path(L"held.txt"), bytes, reason));
  EXPECT_EQ(bytes, "C:\\a.txt|File*pw*\r\n");

  ASSERT_TRUE(CreateDirectoryW(Path(L"folder").c_str(), nullptr));
  reason.clear();
  EXPECT_FALSE(listfile::ReadListFile(Path(L"folder"), bytes, reason));
  EXPECT_FALSE(reason.empty());

  // A NUL byte anywhere, even in the last place or behind the UTF-8 mark.
  for (const std::string& data : {std::string("C:\\a.txt|File*pw*\r\n\0", 20), std::string("\xEF\xBB\xBF\0*pw*", 8),
                                  std::string("\xFF\xFE" "C\0:\0", 6)}) {
    Write(L"not a list.txt", data);
    reason.clear();
    EXPECT_FALSE(listfile::ReadListFile(Path(L"not a list.txt"), bytes, reason));
    EXPECT_EQ(reason, listfile::kNotAListText);
    EXPECT_TRUE(bytes.empty());
  }
}

}  // namespace
