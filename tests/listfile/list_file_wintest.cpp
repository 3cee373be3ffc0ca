// The list file on a real folder, for what the window tests cannot reach: a
// write that cannot take its name leaves no temporary file, a folder is
// refused as a list, and NUL bytes in any form make a file no list.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/file_io.h"
#include "listfile/list_file.h"

namespace {

TEST(ListFileOnDisk, AFileThatCannotBeWrittenOrReadAsAListLeavesTheFolderAsItWas) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring dir = std::wstring(temp) + L"ombrelay list file test";
  const std::wstring folder = dir + L"\\folder", file = dir + L"\\not a list.txt";
  CreateDirectoryW(dir.c_str(), nullptr);
  CreateDirectoryW(folder.c_str(), nullptr);
  std::wstring reason;
  std::string bytes = "stale";
  EXPECT_FALSE(base::files::WriteAll(folder, "x", reason));
  EXPECT_FALSE(base::files::WriteAll(dir + L"\\missing\\new.txt", "x", reason));
  EXPECT_FALSE(listfile::ReadListFile(folder, bytes, reason));
  EXPECT_FALSE(reason.empty());
  // A NUL byte anywhere: at the end, behind the UTF-8 mark, in UTF-16 text.
  for (const std::string& data : {std::string("C:\\a.txt|File*pw*\r\n\0", 20), std::string("\xEF\xBB\xBF\0*pw*", 8),
                                  std::string("\xFF\xFE"
                                              "C\0:\0",
                                              6)}) {
    ASSERT_TRUE(base::files::WriteAll(file, data, reason));
    EXPECT_FALSE(listfile::ReadListFile(file, bytes, reason));
    EXPECT_EQ(reason, listfile::kNotAListText);
    EXPECT_TRUE(bytes.empty());
  }
  EXPECT_TRUE(DeleteFileW(file.c_str()));
  EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
  // Only an empty folder can be removed: no temporary file was left.
  EXPECT_TRUE(RemoveDirectoryW(dir.c_str()));
}

}  // namespace
