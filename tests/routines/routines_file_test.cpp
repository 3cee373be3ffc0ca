// Reading routines files: every key of the format, the encodings and line
// ends, hostile files, and a file of the community file's size.
#include "routines/routines_file.h"

#include <gtest/gtest.h>

#include "routines_sample.h"

namespace {

using routines::ReadRoutines;

const char kSmall[] =
    "; Comments and a header before the first entry\r\n"
    "Version=1\r\n"
    "[Google Chrome Cache *]\r\n"
    "LangSecRef=3029\r\n"
    "Detect=HKCU\\Software\\Google\\Chrome\r\n"
    "DetectFile=%LocalAppData%\\Google\\Chrome*\r\n"
    "Default=True\r\n"
    "FileKey1=%LocalAppData%\\Google\\Chrome*\\User Data\\*\\Cache|*.*|REMOVESELF\r\n"
    "FileKey2=%LocalAppData%\\Google\\Chrome\\User Data\\*|*.log;LOG.old\r\n"
    "RegKey1=HKCU\\Software\\Google\\Chrome\\Recent|Files\r\n"
    "RegKey2=HKCU\\Software\\Google\\Chrome\\Temp\r\n"
    "\r\n"
    "   ; an indented comment\n"
    "[Editor Logs *]\n"
    "Section=Text Editors\n"
    "Warning=This also removes the undo history.\n"
    "FileKey1=%AppData%\\Editor\\Logs|*.log|RECURSE\n"
    "ExcludeKey1=FILE|%AppData%\\Editor\\Logs\\|keep.log\n"
    "ExcludeKey2=PATH|%AppData%\\Editor\\Logs\\Pinned\\\n"
    "ExcludeKey3=REG|HKCU\\Software\\Editor\n"
    "SpecialDetect=DET_CHROME\n"
    "[Odd Group *]\n"
    "LangSecRef=3999\n"
    "FileKey1=C:\\Odd|*.tmp\n";

TEST(RoutinesFileRead, EveryKeyOfTheFormat) {
  const routines::RoutinesFile file = ReadRoutines(kSmall);
  ASSERT_TRUE(file.problem.empty()) << std::string(file.problem.begin(), file.problem.end());
  ASSERT_EQ(file.entries.size(), 3u);
  const routines::Entry& chrome = file.entries[0];
  EXPECT_TRUE(chrome.Understood());
  EXPECT_EQ(chrome.routine.name, L"Google Chrome Cache");
  EXPECT_EQ(chrome.routine.group, L"Google Chrome");
  EXPECT_EQ(chrome.line, 3u);
  EXPECT_EQ(chrome.keys.size(), 8u);                         // every key as written, Default and RegKey too
  EXPECT_EQ(routines::ListRoutine(chrome).keys.size(), 4u);  // the ones that act
  EXPECT_EQ(chrome.regKeys, 2u);
  ASSERT_EQ(chrome.routine.fileKeys.size(), 2u);
  EXPECT_EQ(chrome.routine.fileKeys[0].folder, L"%LocalAppData%\\Google\\Chrome*\\User Data\\*\\Cache");
  EXPECT_TRUE(chrome.routine.fileKeys[0].removeSelf);
  EXPECT_EQ(chrome.routine.fileKeys[1].patterns, (std::vector<std::wstring>{L"*.log", L"LOG.old"}));
  EXPECT_FALSE(chrome.routine.fileKeys[1].recurse);

  const routines::Entry& editor = file.entries[1];
  EXPECT_EQ(editor.routine.group, L"Text Editors");
  EXPECT_EQ(editor.routine.warning, L"This also removes the undo history.");
  EXPECT_EQ(editor.routine.excludes.size(), 3u);
  EXPECT_EQ(editor.keys.back().name, L"SpecialDetect");
  EXPECT_EQ(file.entries[2].routine.group, L"Group 3999");
  EXPECT_EQ(routines::GroupOfNumber(L"3006"), L"Edge");
  // The README's example of a routine's record.
  const routines::RoutinesFile example = ReadRoutines(
      "[Editor Logs *]\nLangSecRef=3021\nFileKey1=%AppData%\\Editor\\Logs|*.log|RECURSE\n"
      "ExcludeKey1=FILE|%AppData%\\Editor\\Logs\\|keep.log\n");
  EXPECT_EQ(listfile::RoutineRecordText(routines::ListRoutine(example.entries[0])),
            L"Editor Logs|Routine|group=Applications|FileKey1=%AppData%\\Editor\\Logs^v^s.log^vRECURSE|"
            L"ExcludeKey1=FILE^v%AppData%\\Editor\\Logs\\^vkeep.log");

  // LF, CR LF, a byte-order mark: the same entries.
  std::string lf(kSmall);
  for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
  const routines::RoutinesFile marked = ReadRoutines("\xEF\xBB\xBF" + lf);
  ASSERT_EQ(marked.entries.size(), 3u);
  EXPECT_EQ(marked.entries[0].routine.fileKeys.size(), 2u);
  EXPECT_EQ(marked.entries[0].routine.name, L"Google Chrome Cache");
}

TEST(RoutinesFileRead, AnsiAndUtf8Names) {
  EXPECT_EQ(ReadRoutines("[Caf\xE9 *]\nFileKey1=C:\\x|*.tmp\n").entries[0].routine.name, L"Caf\u00e9");
  EXPECT_EQ(ReadRoutines("[Caf\xC3\xA9 *]\nFileKey1=C:\\x|*.tmp\n").entries[0].routine.name, L"Caf\u00e9");
  EXPECT_EQ(ReadRoutines(std::string("\xFF\xFE[\0x\0]\0", 8)).entries[0].routine.name, L"x");
}

TEST(RoutinesFileRead, HostileFilesGetAReasonOrAnEntryNotUnderstood) {
  EXPECT_FALSE(ReadRoutines(std::string("MZ\x90\0\x03\0\0\0", 8)).problem.empty());
  EXPECT_EQ(ReadRoutines("").problem, L"It is empty.");
  EXPECT_EQ(ReadRoutines("\xEF\xBB\xBF\r\n  \r\n").problem, L"It is empty.");
  EXPECT_FALSE(ReadRoutines("just some text\nno sections\n").problem.empty());
  EXPECT_EQ(ReadRoutines(std::string(routines::kMostFileBytes + 1, 'a')).problem, routines::TooLargeText());
  EXPECT_FALSE(ReadRoutines("[Broken *]\nFileKey1=Temp\\x|*.tmp\n").problem.empty());  // nothing reads

  // A megabyte-long line reads as any other.
  const routines::RoutinesFile longLine =
      ReadRoutines("[Long *]\nWarning=" + std::string(1 << 20, 'w') + "\nFileKey1=C:\\x|*.tmp\n");
  ASSERT_EQ(longLine.entries.size(), 1u);
  EXPECT_EQ(longLine.entries[0].routine.warning.size(), 1u << 20);

  // Each entry that breaks the format stays an entry, not understood, with
  // its reason; the good one after it reads.
  const char* const broken[] = {
      "[]\nFileKey1=C:\\x|*.tmp\n",                       // a section with no name
      "[ *]\nFileKey1=C:\\x|*.tmp\n",                     // its name only the mark
      "[Open *\nFileKey1=C:\\x|*.tmp\n",                  // no "]"
      "[NoEquals *]\nFileKey1 C:\\x|*.tmp\n",             // a key without "="
      "[Nameless *]\n=C:\\x\n",                           // a key without a name
      "[Relative *]\nFileKey1=Temp\\x|*.tmp\n",           // a relative folder
      "[Slash *]\nFileKey1=C:\\x|sub\\*.tmp\n",           // a pattern with "\"
      "[Dots *]\nFileKey1=C:\\x|..*\n",                   // a pattern with ".."
      "[Climb *]\nFileKey1=C:\\x\\*\\..\\..\\y|*.tmp\n",  // a wildcard part then ".."
      "[Var *]\nFileKey1=%Temp|*.tmp\n",                  // a variable never closed
      "[Third *]\nFileKey1=C:\\x|*.tmp|ALL\n",            // an unknown third field
      "[Exclude *]\nFileKey1=C:\\x|*.tmp\nExcludeKey1=KEEP|C:\\x|*.tmp\n",
  };
  for (const char* text : broken) {
    SCOPED_TRACE(text);
    const routines::RoutinesFile file = ReadRoutines(std::string(text) + "[Good *]\nFileKey1=C:\\x|*.tmp\n");
    EXPECT_TRUE(file.problem.empty());
    ASSERT_EQ(file.entries.size(), 2u);
    EXPECT_FALSE(file.entries[0].Understood());
    EXPECT_TRUE(file.entries[1].Understood());
  }
}

TEST(RoutinesFileRead, AFileOfTheCommunityFilesSize) {
  const std::string text = sample::RoutinesFile();
  EXPECT_GT(text.size(), 1800000u);
  EXPECT_LT(text.size(), 2400000u);
  const routines::RoutinesFile file = ReadRoutines(text);
  ASSERT_TRUE(file.problem.empty());
  ASSERT_EQ(file.entries.size(), sample::kEntries);
  size_t fileKeys = 0, wild = 0, removeSelf = 0, regKeys = 0, excludes = 0, understood = 0;
  for (const routines::Entry& e : file.entries) {
    understood += e.Understood();
    regKeys += e.regKeys;
    excludes += e.routine.excludes.size();
    for (const listfile::FileKey& k : e.routine.fileKeys) {
      ++fileKeys;
      wild += k.folder.find(L'*') != std::wstring::npos;
      removeSelf += k.removeSelf;
    }
  }
  EXPECT_EQ(understood, sample::kEntries);
  EXPECT_EQ(fileKeys, 14000u);
  EXPECT_EQ(wild, 10000u);
  EXPECT_EQ(removeSelf, 5500u);
  EXPECT_EQ(regKeys, 3700u);
  EXPECT_EQ(excludes, 90u);
}

}  // namespace
