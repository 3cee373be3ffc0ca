// Reading file dialog answers: one file, packed multiple selections in the
// forms the system dialog writes them, cancelled or empty answers, padding.
#include "dialogs/dialog_answer.h"

#include <gtest/gtest.h>

using dialogs::FileBuffer;
using dialogs::FileDialogResult;
using dialogs::FirstText;
using dialogs::PackedAnswer;
using dialogs::ReadAnswer;
using dialogs::ReadSaveAnswer;

namespace {

std::wstring W(const wchar_t* text, size_t n) { return std::wstring(text, n); }

// A buffer as the dialog leaves it: the answer, then NULs up to `size`.
std::wstring Filled(const std::wstring& answer, size_t size = 4096) {
  std::wstring b = answer;
  b.resize(size, L'\0');
  return b;
}

const std::wstring kBlankTitle(2048, L' ');

void ExpectCancelled(const FileDialogResult& r) {
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(r.count, 0);
  EXPECT_TRUE(r.folder.empty());
  EXPECT_TRUE(r.names.empty());
}

}  // namespace

TEST(DialogsAnswer, SingleFileKeepsTheFolderSeparator) {
  std::wstring title = Filled(L"a.txt", 2048);
  FileDialogResult r = ReadAnswer(Filled(L"C:\\Data\\a.txt"), 8, title);
  EXPECT_FALSE(r.cancelled);
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.folder, L"C:\\Data\\");
  ASSERT_EQ(r.names.size(), 2u);
  EXPECT_EQ(r.names[0], L"");
  EXPECT_EQ(r.names[1], L"a.txt");
  EXPECT_EQ(r.folder + r.names[1], L"C:\\Data\\a.txt");
}

TEST(DialogsAnswer, SingleFileWithUntouchedTitleStillReadsAsOne) {
  // One name typed into a multiple-selection dialog comes back as a full path.
  FileDialogResult r = ReadAnswer(Filled(L"C:\\users\\me\\x y.doc"), 12, kBlankTitle);
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.folder, L"C:\\users\\me\\");
  EXPECT_EQ(r.names.at(1), L"x y.doc");
}

TEST(DialogsAnswer, SingleFileInADriveRoot) {
  FileDialogResult r = ReadAnswer(Filled(L"C:\\boot.ini"), 3, Filled(L"boot.ini", 64));
  EXPECT_EQ(r.folder, L"C:\\");
  EXPECT_EQ(r.names.at(1), L"boot.ini");
}

TEST(DialogsAnswer, PackedSelectionInTheDialogsOrder) {
  std::wstring packed = W(L"C:\\Data\0b.txt\0a.txt\0c d.txt\0\0", 29);
  FileDialogResult r = ReadAnswer(Filled(packed), 8, kBlankTitle);
  EXPECT_FALSE(r.cancelled);
  EXPECT_EQ(r.folder, L"C:\\Data");
  ASSERT_EQ(r.count, 3);
  ASSERT_EQ(r.names.size(), 4u);
  EXPECT_EQ(r.names[1], L"b.txt");
  EXPECT_EQ(r.names[2], L"a.txt");
  EXPECT_EQ(r.names[3], L"c d.txt");
}

TEST(DialogsAnswer, PackedSelectionInARootKeepsItsSeparator) {
  FileDialogResult r = ReadAnswer(Filled(W(L"C:\\\0a\0b\0\0", 9)), 4, std::wstring(16, L'\0'));
  EXPECT_EQ(r.folder, L"C:\\");
  EXPECT_EQ(r.count, 2);
}

TEST(DialogsAnswer, PackedSelectionThatFillsTheBufferExactly) {
  // The last NUL pair may be the buffer's very end, or be cut to one NUL.
  std::wstring exact = W(L"C:\\D\0a\0b\0\0", 10);
  EXPECT_EQ(ReadAnswer(exact, 5, kBlankTitle).count, 2);
  std::wstring cut = W(L"C:\\D\0a\0b", 8);
  FileDialogResult r = ReadAnswer(cut, 5, kBlankTitle);
  ASSERT_EQ(r.count, 2);
  EXPECT_EQ(r.names[2], L"b");
}

TEST(DialogsAnswer, ThousandsOfNamesAndPositionsPast32767) {
  std::wstring packed = L"C:\\a folder with a rather long name";
  const size_t offset = packed.size() + 1;
  for (int i = 1; i <= 5000; ++i) packed += L'\0' + std::wstring(L"file number ") + std::to_wstring(i) + L".txt";
  packed += std::wstring(2, L'\0');
  ASSERT_GT(packed.size(), 65536u);
  FileDialogResult r = ReadAnswer(Filled(packed, packed.size() + 10), offset, kBlankTitle);
  ASSERT_EQ(r.count, 5000);
  EXPECT_EQ(r.names[1], L"file number 1.txt");
  EXPECT_EQ(r.names[5000], L"file number 5000.txt");
  EXPECT_EQ(r.folder, L"C:\\a folder with a rather long name");
}

TEST(DialogsAnswer, AnswersThatNameNoFileReadAsCancelled) {
  ExpectCancelled(FileDialogResult{});
  ExpectCancelled(ReadAnswer(Filled(L""), 0, kBlankTitle));
  ExpectCancelled(ReadAnswer(Filled(L"C:\\Data\\"), 8, kBlankTitle));
  ExpectCancelled(ReadAnswer(Filled(W(L"C:\\Data\0\0", 9)), 8, kBlankTitle));
  // An offset past the answer's end must not reach into the padding.
  ExpectCancelled(ReadAnswer(Filled(L"C:\\a"), 40, Filled(L"a", 8)));
}

TEST(DialogsAnswer, BufferAndCarryOverTexts) {
  std::wstring b = FileBuffer(L"C:\\x\\a.txt", 32);
  ASSERT_EQ(b.size(), 32u);
  EXPECT_EQ(FirstText(b), L"C:\\x\\a.txt");
  EXPECT_EQ(b.find_first_not_of(L'\0', 10), std::wstring::npos);
  // A name that leaves no room for its NUL is not offered.
  EXPECT_EQ(FirstText(FileBuffer(std::wstring(32, L'n'), 32)), L"");
  // The packed answer keeps the names for the record, without the padding;
  // the next dialog is offered its first text only.
  std::wstring packed = PackedAnswer(Filled(W(L"C:\\D\0a\0b\0\0", 10)));
  EXPECT_EQ(packed, W(L"C:\\D\0a\0b", 8));
  EXPECT_EQ(FirstText(packed), L"C:\\D");
  EXPECT_EQ(PackedAnswer(Filled(L"C:\\x\\a.txt")), L"C:\\x\\a.txt");
  EXPECT_EQ(PackedAnswer(L"abc"), L"abc");
}

TEST(DialogsAnswer, SaveAnswerIsOneFullPath) {
  FileDialogResult one = ReadSaveAnswer(Filled(L"C:\\Data\\list.txt"), 8, Filled(L"list.txt", 64));
  ASSERT_EQ(one.count, 1);
  EXPECT_EQ(one.folder + one.names.at(1), L"C:\\Data\\list.txt");
  // Several names packed by a dialog that still allows them: the first one,
  // with a folder that joins into a full path.
  FileDialogResult packed = ReadSaveAnswer(Filled(W(L"C:\\Data\0b.txt\0a.txt\0\0", 21)), 8, kBlankTitle);
  EXPECT_FALSE(packed.cancelled);
  ASSERT_EQ(packed.count, 1);
  ASSERT_EQ(packed.names.size(), 2u);
  EXPECT_EQ(packed.folder + packed.names[1], L"C:\\Data\\b.txt");
  FileDialogResult root = ReadSaveAnswer(Filled(W(L"C:\\\0b\0a\0\0", 9)), 4, kBlankTitle);
  EXPECT_EQ(root.folder + root.names.at(1), L"C:\\b");
  ExpectCancelled(ReadSaveAnswer(Filled(L""), 0, kBlankTitle));
}
