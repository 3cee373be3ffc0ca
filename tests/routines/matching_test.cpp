// What a routine's paths name: its variables replaced, its names matched
// on long names only, its folder's wildcards split from the fixed root and
// folders found below a pattern.
#include <gtest/gtest.h>

#include "routines/folder_pattern.h"
#include "routines/name_match.h"
#include "routines/variables.h"

namespace {

using Texts = std::vector<std::wstring>;

Texts Lookup(const std::wstring& name) {
  if (name == L"LocalAppData") return {L"C:\\Users\\Ann\\AppData\\Local"};
  if (name == L"ProgramFiles") return {L"C:\\Program Files", L"C:\\Program Files (x86)"};
  if (name == L"SystemDrive") return {L"C:"};
  if (name == L"Odd") return {L"C:\\*"};  // an environment variable set by hand
  return {};
}

TEST(RoutineVariables, ReplacedWithEveryValue) {
  EXPECT_EQ(routines::ExpandVariables(L"%LocalAppData%\\Google", Lookup).texts,
            Texts{L"C:\\Users\\Ann\\AppData\\Local\\Google"});
  const routines::Expanded both = routines::ExpandVariables(L"%ProgramFiles%\\App\\%SystemDrive%", Lookup);
  EXPECT_EQ(both.texts, (Texts{L"C:\\Program Files\\App\\C:", L"C:\\Program Files (x86)\\App\\C:"}));
  // How much of each the system gave: the leading variable's value only.
  EXPECT_EQ(both.leads, (std::vector<size_t>{16, 22}));
  // A "%" that makes no variable is part of a name.
  const routines::Expanded plain = routines::ExpandVariables(L"C:\\100%\\a%b\\c%%", Lookup);
  EXPECT_EQ(plain.texts, Texts{L"C:\\100%\\a%b\\c%%"});
  EXPECT_EQ(plain.leads, std::vector<size_t>{0});
  const routines::Expanded unknown = routines::ExpandVariables(L"%SystemDrive%\\%Nowhere%\\x", Lookup);
  EXPECT_TRUE(unknown.texts.empty());
  EXPECT_EQ(unknown.unknown, L"%Nowhere%");
  EXPECT_EQ(routines::VariableProblem(unknown), L"the variable %Nowhere% is not known on this computer");
  // A value holding a wildcard names no folder: read as a pattern, "%Odd%\\Logs"
  // would reach every folder's Logs on the drive.
  const routines::Expanded wild = routines::ExpandVariables(L"%Odd%\\Logs", Lookup);
  EXPECT_TRUE(wild.texts.empty());
  EXPECT_EQ(routines::VariableProblem(wild), L"the variable %Odd% holds a wildcard here, so it names no one folder");
}

bool Fits(const wchar_t* name, const wchar_t* pattern) { return routines::NameMatch({pattern}).Fits(name); }

TEST(RoutineNames, LongNamesStarAndQuestionOnly) {
  EXPECT_TRUE(Fits(L"index", L"*.*"));  // every file, also one without a dot
  EXPECT_TRUE(Fits(L"dism.log", L"*.log"));
  EXPECT_FALSE(Fits(L"dism.log1", L"*.log"));  // what an 8.3 alias would have let through
  EXPECT_TRUE(Fits(L"settings.ini.bak", L"settings.ini.*"));
  EXPECT_FALSE(Fits(L"settings.ini", L"settings.ini.*"));
  EXPECT_FALSE(Fits(L"readme", L"readme.*"));
  EXPECT_TRUE(Fits(L"www.office[1].xml", L"www.office[1].xml"));
  EXPECT_FALSE(Fits(L"www.office1.xml", L"www.office[1].xml"));
  EXPECT_TRUE(Fits(L"report#2.tmp", L"report#?.tmp"));
  EXPECT_FALSE(Fits(L"report22.tmp", L"report#?.tmp"));
  EXPECT_TRUE(Fits(L"F_000A1B", L"f_*"));
  EXPECT_TRUE(Fits(L"\u00c9T\u00c9.LOG", L"\u00e9t\u00e9.log"));
  EXPECT_TRUE(Fits(L"a.b.c", L"*.?.c"));
  EXPECT_FALSE(routines::NameMatch({}).Fits(L"anything"));
}

routines::FolderPattern Split(const std::wstring& folder) {
  routines::FolderPattern pattern;
  std::wstring problem;
  EXPECT_TRUE(routines::SplitFolderPattern(folder, pattern, problem)) << folder;
  return pattern;
}

TEST(RoutineFolders, FixedRootAndWildcardParts) {
  const routines::FolderPattern chrome = Split(L"C:\\Users\\Ann\\Google\\Chrome*\\User Data\\*\\Cache\\");
  EXPECT_EQ(chrome.root, L"C:\\Users\\Ann\\Google");
  EXPECT_EQ(chrome.parts, (Texts{L"Chrome*", L"User Data", L"*", L"Cache"}));
  const routines::FolderPattern plain = Split(L"C:/Logs//App/");
  EXPECT_EQ(plain.root, L"C:\\Logs\\App");
  EXPECT_TRUE(plain.parts.empty());
  EXPECT_EQ(Split(L"C:\\*\\Temp").root, L"C:\\");
  // %SystemDrive% gives "C:", with no closing separator: the drive's root.
  EXPECT_EQ(Split(L"C:").root, L"C:\\");
  EXPECT_EQ(Split(L"\\\\srv\\share\\Pro?ile").root, L"\\\\srv\\share\\");
  // The verbatim form's "?" is no wildcard: the same folder as its plain spelling.
  EXPECT_EQ(Split(L"\\\\?\\C:\\Logs/App/").root, L"C:\\Logs\\App");

  routines::FolderPattern refused;
  std::wstring problem;
  for (const wchar_t* bad : {L"C:\\x\\*\\..\\..\\Windows", L"C:\\x\\.\\y", L"Temp\\x", L"C*:\\x", L"\\\\srv\\sh*\\x"}) {
    problem.clear();
    EXPECT_FALSE(routines::SplitFolderPattern(bad, refused, problem)) << bad;
    EXPECT_FALSE(problem.empty());
  }

  // Where a routine is shown to clean: its first key that can be placed.
  listfile::Routine routine;
  routine.fileKeys = {
      {L"%Nowhere%\\x", {L"*.*"}}, {L"Temp\\x", {L"*.*"}}, {L"%LocalAppData%\\Google\\Chrome*\\Cache", {L"*.*"}}};
  EXPECT_EQ(routines::StartFolder(routine, Lookup), L"C:\\Users\\Ann\\AppData\\Local\\Google");
  routine.fileKeys.pop_back();
  EXPECT_EQ(routines::StartFolder(routine, Lookup), L"");
}

TEST(RoutineFolders, FoldersAtAndBelowAPattern) {
  const routines::FolderPattern logs = Split(L"C:\\App\\Profile*\\Logs");
  EXPECT_EQ(routines::PatternPrefix(logs, L"c:\\APP\\profile2\\logs"), 20u);
  EXPECT_EQ(routines::PatternPrefix(logs, L"C:\\App\\Profile2\\Logs\\Old"), 20u);
  EXPECT_EQ(routines::PatternPrefix(logs, L"C:\\App\\Profile2\\Logsx"), std::wstring::npos);
  EXPECT_EQ(routines::PatternPrefix(logs, L"C:\\App\\Other\\Logs"), std::wstring::npos);
  EXPECT_EQ(routines::PatternPrefix(logs, L"C:\\App\\Profile2"), std::wstring::npos);
  EXPECT_EQ(routines::PatternPrefix(logs, L"C:\\Apple\\Profile2\\Logs"), std::wstring::npos);
  EXPECT_EQ(routines::PatternPrefix(Split(L"C:\\App"), L"C:\\App\\"), 6u);
  EXPECT_EQ(routines::PatternPrefix(Split(L"C:\\"), L"C:\\x"), 2u);
}

}  // namespace
