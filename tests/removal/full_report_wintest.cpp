// The full report in a real temporary folder: reports of the same list in
// the same second each get their own file, and no other file is replaced.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "listfile/file_io.h"
#include "removal/full_report_win.h"

namespace {

const wchar_t kList[] = L"C:\\lists\\old list.txt";
const wchar_t kPlaced[] = L"The full list is in ";

removal::ReportTime LocalTimeIn(int seconds) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  FILETIME ft;
  SystemTimeToFileTime(&now, &ft);
  ULARGE_INTEGER at{};
  at.LowPart = ft.dwLowDateTime;
  at.HighPart = ft.dwHighDateTime;
  at.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ULL;
  ft.dwLowDateTime = at.LowPart;
  ft.dwHighDateTime = at.HighPart;
  SYSTEMTIME t;
  FileTimeToSystemTime(&ft, &t);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

class FullReport : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    old_tmp_ = temp;
    dir_ = std::wstring(temp) + L"ombrelay report test\\";
    CreateDirectoryW(dir_.c_str(), nullptr);
    SetEnvironmentVariableW(L"TMP", dir_.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"TMP", old_tmp_.c_str());
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((dir_ + L"*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do DeleteFileW((dir_ + found.cFileName).c_str());
      while (FindNextFileW(find, &found));
      FindClose(find);
    }
    RemoveDirectoryW(dir_.c_str());
  }
  size_t FileCount() const {
    size_t count = 0;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((dir_ + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do count += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (FindNextFileW(find, &found));
    FindClose(find);
    return count;
  }
  std::wstring old_tmp_, dir_;
};

TEST_F(FullReport, ReportsOfTheSameSecondNeverReplaceAFile) {
  // Someone else's files under the names of this second and the next minute.
  std::set<std::wstring> planted;
  std::wstring reason;
  for (int s = -1; s <= 60; ++s) {
    const std::wstring path = dir_ + removal::ReportFileName(kList, LocalTimeIn(s));
    ASSERT_TRUE(fileio::WriteAll(path, "keep", reason));
    planted.insert(path);
  }
  const std::vector<removal::Leftover> leftovers = {{L"C:\\x\\a.txt", L"in use by another program"}};
  std::set<std::wstring> reports;
  for (int run = 0; run < 3; ++run) {
    const std::wstring line = removal::WriteFullReport(kList, leftovers);
    ASSERT_EQ(line.rfind(kPlaced, 0), 0u);
    const std::wstring path = line.substr(wcslen(kPlaced));
    EXPECT_EQ(path.rfind(dir_ + L"old list - not removed ", 0), 0u);
    EXPECT_EQ(planted.count(path), 0u);
    EXPECT_TRUE(reports.insert(path).second);
    EXPECT_NE(fileio::ReadAll(path).find("C:\\x\\a.txt - in use by another program"), std::string::npos);
  }
  for (const std::wstring& path : planted) EXPECT_EQ(fileio::ReadAll(path), "keep");
  EXPECT_EQ(FileCount(), planted.size() + reports.size());
}

}  // namespace
