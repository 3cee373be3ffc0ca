// What a routine takes on real folders, through the one answer and the
// run's expansion: profiles matched by a folder wildcard, a link among
// them and one inside a cache never entered, exclusions kept, REMOVESELF
// folders going deepest first once emptied, an unknown variable and a
// protected place taking nothing, detection by key and by path.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "base/encoding.h"
#include "base/paths.h"
#include "listfile/list_file.h"
#include "removal/folder_link_win.h"
#include "removal/removal_passes_win.h"
#include "removal/routine_answer_win.h"
#include "removal/rule_expansion_win.h"
#include "routines/routines_file.h"
#include "routines/variables_win.h"

namespace {

using Paths = std::set<std::wstring>;

class RoutineAnswer : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    name_ = L"ombrelay_routine_" + std::to_wstring(GetCurrentProcessId());
    root_ = base::paths::LongNames(base::paths::Canonical(temp)) + L"\\" + name_ + L"\\";
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
  }
  void TearDown() override {
    links_.clear();
    for (auto it = made_.rbegin(); it != made_.rend(); ++it)
      if (!DeleteFileW(it->c_str())) RemoveDirectoryW(it->c_str());
    RemoveDirectoryW(root_.c_str());
  }
  // Makes folders (ending in "\") and files below the root, and the folders on their way.
  void Make(std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* name : names) {
      const std::wstring path = root_ + name;
      for (size_t at = path.find(L'\\', root_.size()); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        if (CreateDirectoryW(path.substr(0, at).c_str(), nullptr)) made_.push_back(path.substr(0, at));
      if (path.back() != L'\\') {
        HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(h, "data", 4, &written, nullptr);
        CloseHandle(h);
        made_.push_back(path);
      }
    }
  }
  Paths Under(const std::vector<std::wstring>& paths) const {
    Paths names;
    for (const std::wstring& p : paths) names.insert(p.substr(root_.size()));
    return names;
  }
  listfile::Routine Read(const std::string& section) const {
    std::string text = section;
    for (size_t at; (at = text.find("ROOT")) != std::string::npos;)
      text.replace(at, 4, "%Temp%\\" + std::string(name_.begin(), name_.end()));
    const routines::RoutinesFile file = routines::ReadRoutines(text);
    EXPECT_TRUE(file.problem.empty());
    return file.entries.empty() ? listfile::Routine() : routines::ListRoutine(file.entries[0]);
  }

  std::wstring name_, root_;
  std::vector<std::wstring> made_;
  std::vector<std::unique_ptr<FolderLink>> links_;
  routines::SystemVariables variables_;
  listfile::ProtectedPlaces places_;
};

const char kRoutine[] =
    "[Browser and App *]\n"
    "DetectFile=ROOT\\Local\\Brow?er\n"
    "FileKey1=ROOT\\Local\\Browser\\Profile*\\Cache|*.*|REMOVESELF\n"
    "FileKey2=ROOT\\Local\\App\\Logs|*.log|RECURSE\n"
    "FileKey3=%NoSuchVariable%\\Logs|*.log\n"
    "FileKey4=%UserProfile%|*.tmp\n"
    "ExcludeKey1=FILE|ROOT\\Local\\App.\\Logs \\|keep*.log.\n"  // as a call without the prefix reads it
    "ExcludeKey2=PATH|ROOT\\Local\\App\\Logs\\Pinned\\\n";

TEST_F(RoutineAnswer, TakesExactlyWhatItsKeysNameAndEmptiesItsFoldersDeepestFirst) {
  Make({L"Local\\",
        L"Local\\Browser\\",
        L"Local\\Browser\\Profile 1\\",
        L"Local\\Browser\\Profile 1\\Cache\\",
        L"Local\\Browser\\Profile 1\\Cache\\data_0",
        L"Local\\Browser\\Profile 1\\Cache\\Index\\",
        L"Local\\Browser\\Profile 1\\Cache\\Index\\f_01.tmp",
        L"Local\\Browser\\Profile 2\\",
        L"Local\\Browser\\Profile 2\\Cache\\",
        L"Local\\Browser\\Profile 2\\Cache\\data_1",
        L"Local\\Browser\\Guest\\",
        L"Local\\Browser\\Guest\\Cache\\",
        L"Local\\Browser\\Guest\\Cache\\data_2",
        L"Outside\\",
        L"Outside\\Cache\\",
        L"Outside\\Cache\\precious.doc",
        L"Local\\App\\",
        L"Local\\App\\Logs\\",
        L"Local\\App\\Logs\\a.log",
        L"Local\\App\\Logs\\keep1.log",
        L"Local\\App\\Logs\\dism.log1",
        L"Local\\App\\Logs\\Old Sessions\\",
        L"Local\\App\\Logs\\Old Sessions\\b.log",
        L"Local\\App\\Logs\\Old Sessions\\keep2.log",
        L"Local\\App\\Logs\\Pinned\\",
        L"Local\\App\\Logs\\Pinned\\c.log",
        L"Outside\\Logs\\",
        L"Outside\\Logs\\x.log"});
  // A profile that is a link, and a link inside a cache: neither entered.
  links_.push_back(std::make_unique<FolderLink>(root_ + L"Local\\Browser\\Profile 3", root_ + L"Outside"));
  links_.push_back(
      std::make_unique<FolderLink>(root_ + L"Local\\Browser\\Profile 1\\Cache\\Linked", root_ + L"Outside\\Cache"));
  // A folder on the way to a key's fixed folder that is a link: not followed.
  links_.push_back(std::make_unique<FolderLink>(root_ + L"Local\\Vendor", root_ + L"Outside"));
  ASSERT_TRUE(links_[0]->IsLink() && links_[1]->IsLink() && links_[2]->IsLink());

  // An exclusion that names its folder by the short name stays in force.
  wchar_t shortName[MAX_PATH] = L"";
  ASSERT_GT(GetShortPathNameW((root_ + L"Local\\App\\Logs\\Old Sessions").c_str(), shortName, MAX_PATH), 0u);
  ASSERT_EQ(std::wstring(shortName).find(L"Old Sessions"), std::wstring::npos);
  const listfile::Routine routine =
      Read(kRoutine + ("ExcludeKey3=FILE|" + base::enc::ToUtf8(shortName) + "\\|keep2.log\n") +
           "FileKey5=ROOT\\Local\\Vendor\\Logs|*.*|RECURSE\n");
  ASSERT_EQ(routine.fileKeys.size(), 5u);
  const removal::RoutineAnswer answer = removal::AnswerRoutine(routine, removal::Fit::Decide, variables_.Lookup(),
                                                               removal::NeverTaken(), places_, true, {});
  EXPECT_TRUE(answer.refusal.empty());
  EXPECT_EQ(Under(answer.paths),
            (Paths{L"Local\\Browser\\Profile 1\\Cache\\data_0", L"Local\\Browser\\Profile 1\\Cache\\Index\\f_01.tmp",
                   L"Local\\Browser\\Profile 2\\Cache\\data_1", L"Local\\App\\Logs\\a.log",
                   L"Local\\App\\Logs\\Old Sessions\\b.log"}));
  EXPECT_EQ(answer.files, 5u);
  EXPECT_EQ(answer.bytes, 20u);
  // Profile 1's cache holds the link, so only its emptied subfolder goes.
  EXPECT_EQ(Under(answer.emptied),
            (Paths{L"Local\\Browser\\Profile 1\\Cache\\Index\\", L"Local\\Browser\\Profile 2\\Cache\\"}));
  EXPECT_EQ(answer.emptied.front().substr(root_.size()), L"Local\\Browser\\Profile 1\\Cache\\Index\\");
  // The unknown variable and the profile (a protected place) say why they take nothing.
  ASSERT_EQ(answer.notes.size(), 3u);
  EXPECT_NE(answer.notes[0].find(L"%NoSuchVariable%"), std::wstring::npos);
  EXPECT_NE(answer.notes[1].find(L"a protected place"), std::wstring::npos);
  EXPECT_NE(answer.notes[2].find(L"through a link"), std::wstring::npos);

  // The same counts without the paths; the list file never taken.
  removal::NeverTaken never;
  never.Add(root_ + L"Local\\App\\Logs\\a.log");
  const removal::RoutineAnswer counted =
      removal::AnswerRoutine(routine, removal::Fit::Decide, variables_.Lookup(), never, places_, false, {});
  EXPECT_EQ(counted.files, 4u);
  EXPECT_TRUE(counted.paths.empty());

  // Through a list and the run: exactly those go, the rest stays.
  removal::Plan plan = removal::MakePlan(removal::RunRecords({listfile::RoutineRecordText(routine)}));
  ASSERT_EQ(plan.rules.size(), 1u);
  removal::ExpandRules(plan, removal::RuleClock());
  EXPECT_EQ(plan.files.size(), 5u);
  EXPECT_EQ(plan.rules[0].files, 5u);
  EXPECT_EQ(plan.rules[0].folders, 2u);
  EXPECT_TRUE(removal::RunPasses(plan, nullptr, removal::Disposal::Delete).leftovers.empty());
  for (const wchar_t* stays :
       {L"Outside\\Cache\\precious.doc", L"Outside\\Logs\\x.log", L"Local\\Browser\\Guest\\Cache\\data_2",
        L"Local\\App\\Logs\\keep1.log", L"Local\\App\\Logs\\dism.log1", L"Local\\App\\Logs\\Pinned\\c.log",
        L"Local\\App\\Logs\\Old Sessions\\keep2.log", L"Local\\Browser\\Profile 1\\Cache\\"})
    EXPECT_NE(GetFileAttributesW((root_ + stays).c_str()), INVALID_FILE_ATTRIBUTES) << stays;
  EXPECT_EQ(GetFileAttributesW((root_ + L"Local\\Browser\\Profile 2\\Cache").c_str()), INVALID_FILE_ATTRIBUTES);
  made_.erase(
      std::remove_if(made_.begin(), made_.end(),
                     [](const std::wstring& p) { return GetFileAttributesW(p.c_str()) == INVALID_FILE_ATTRIBUTES; }),
      made_.end());
}

TEST_F(RoutineAnswer, ARoutineThatDoesNotFitTakesNothingAndAVariablesOwnFolderStays) {
  Make({L"Local\\", L"Local\\Browser\\", L"Local\\Browser\\Cache\\", L"Local\\Browser\\Cache\\a.tmp"});
  const char* const fits[] = {"DetectFile=ROOT\\Local\\B*\\Cache\\?.tmp\n", "Detect=HKCU\\Software\n",
                              "Detect=HKCU\\Software\\No Such Vendor\nDetectFile=ROOT\\Local\\Browser\n", ""};
  const char* const fitsNot[] = {"Detect=HKCU\\Software\\No Such Vendor\n", "DetectFile=ROOT\\Local\\Nothing*\n",
                                 "DetectFile=%NoSuchVariable%\\Browser\n", "Detect=HKXX\\Software\n"};
  for (const char* detect : fits) {
    const listfile::Routine routine =
        Read(std::string("[R *]\n") + detect + "FileKey1=ROOT\\Local\\Browser\\Cache|*.tmp\n");
    EXPECT_EQ(removal::AnswerRoutine(routine, removal::Fit::Decide, variables_.Lookup(), removal::NeverTaken(), places_,
                                     false, {})
                  .files,
              1u)
        << detect;
  }
  for (const char* detect : fitsNot) {
    const listfile::Routine routine =
        Read(std::string("[R *]\n") + detect + "FileKey1=ROOT\\Local\\Browser\\Cache|*.tmp\n");
    const removal::RoutineAnswer answer = removal::AnswerRoutine(routine, removal::Fit::Decide, variables_.Lookup(),
                                                                 removal::NeverTaken(), places_, false, {});
    EXPECT_EQ(answer.files, 0u) << detect;
    EXPECT_EQ(answer.refusal, L"not on this computer") << detect;
    // Handed as fitting (the routines window decided it already), it is not asked again.
    EXPECT_EQ(removal::AnswerRoutine(routine, removal::Fit::Fits, variables_.Lookup(), removal::NeverTaken(), places_,
                                     false, {})
                  .files,
              1u)
        << detect;
  }
  // REMOVESELF on a variable's own folder empties it but leaves the folder.
  Make({L"Junk\\", L"Junk\\a.tmp", L"Junk\\Sub\\", L"Junk\\Sub\\b.tmp"});
  SetEnvironmentVariableW(L"OMBRELAY_TEST_JUNK", (root_ + L"Junk").c_str());
  const removal::RoutineAnswer own =
      removal::AnswerRoutine(Read("[Own *]\nFileKey1=%OMBRELAY_TEST_JUNK%\\|*.*|REMOVESELF\n"), removal::Fit::Decide,
                             variables_.Lookup(), removal::NeverTaken(), places_, true, {});
  SetEnvironmentVariableW(L"OMBRELAY_TEST_JUNK", nullptr);
  EXPECT_EQ(own.files, 2u);
  EXPECT_EQ(Under(own.emptied), Paths{L"Junk\\Sub\\"});
  // So does a system folder the key reaches by another spelling, and the folders holding it.
  Make({L"Junk\\Sub\\c.tmp"});
  const routines::VariableLookup appDataInJunk = [&](const std::wstring& name) {
    return base::paths::SameText(name, L"AppData") ? std::vector<std::wstring>{root_ + L"Junk\\Sub"}
                                                   : variables_.Values(name);
  };
  const removal::RoutineAnswer spelled =
      removal::AnswerRoutine(Read("[Spelled *]\nFileKey1=ROOT\\Junk|*.*|REMOVESELF\n"), removal::Fit::Decide,
                             appDataInJunk, removal::NeverTaken(), places_, true, {});
  EXPECT_EQ(spelled.files, 3u);
  EXPECT_TRUE(spelled.emptied.empty());
}

// What an exclusion keeps it keeps whole, folders too; the folders a
// REMOVESELF key empties are judged on all its routine takes; a file two
// keys reach, by any spelling, is one item: whatever order the keys stand in.
TEST_F(RoutineAnswer, ExclusionsKeepFoldersAndEmptiedFoldersAreTheWholeRoutines) {
  Make({L"S\\a.tmp",
        L"S\\Cache\\",
        L"S\\Store\\S1\\",
        L"S\\Store\\S2\\Sub\\",
        L"S\\Logs\\Pinned\\c.log",
        L"S\\Logs\\Pinned\\Deep\\d.log",
        L"S\\Logs\\Pinned\\Empty\\",
        L"S\\Logs\\Other\\e.log",
        L"S\\Logs\\Keep\\g.tmp",
        L"S\\Logs\\Keep\\Deep\\f.log",
        L"U\\1\\config\\local.vdf",
        L"U\\1\\config\\htmlcache\\Sub\\y.dat",
        L"U\\1\\760\\RemoveEmptyFoldersOnly",
        L"U\\1\\760\\remote\\",
        L"U\\2\\config\\shadercache\\z.bin",
        L"Dup\\b.log",
        L"Dup\\Sub Folder\\a.log",
        L"Dup\\Sub Folder\\keep.log",
        L"Dup\\Own\\c.log",
        L"Dup\\Own\\d.tmp"});
  wchar_t shortName[MAX_PATH] = L"";
  ASSERT_GT(GetShortPathNameW((root_ + L"Dup\\Sub Folder").c_str(), shortName, MAX_PATH), 0u);
  const std::string dup = "ExcludeKey1=FILE|ROOT\\Dup\\Sub Folder\\|keep.log\n";
  const Paths dupTaken{L"Dup\\b.log", L"Dup\\Sub Folder\\a.log", L"Dup\\Own\\c.log"};
  const struct {
    std::string excludes;
    std::vector<std::string> keys;
    Paths taken, emptied;
  } cases[] = {{"ExcludeKey1=PATH|ROOT\\S\\Store\\*\\|*\nExcludeKey2=PATH|ROOT\\S\\Logs\\|Pinned*\n"
                "ExcludeKey3=PATH|ROOT\\S\\Logs\\Keep|*.log\n",
                {"ROOT\\S|*|REMOVESELF", "ROOT\\S\\Logs|*.log|RECURSE"},
                {L"S\\a.tmp", L"S\\Logs\\Other\\e.log", L"S\\Logs\\Keep\\g.tmp"},
                {L"S\\Cache\\", L"S\\Logs\\Other\\"}},
               {"",
                {"ROOT\\U\\*\\*|RemoveEmptyFoldersOnly|REMOVESELF", "ROOT\\U\\*\\config\\*cache|*|RECURSE"},
                {L"U\\1\\config\\htmlcache\\Sub\\y.dat", L"U\\2\\config\\shadercache\\z.bin"},
                {L"U\\1\\config\\htmlcache\\Sub\\", L"U\\1\\config\\htmlcache\\", L"U\\1\\760\\remote\\",
                 L"U\\2\\config\\shadercache\\", L"U\\2\\config\\"}},
               {dup, {"ROOT\\Dup|*.log|RECURSE", "ROOT\\Dup\\Sub Folder|*.log"}, dupTaken, {}},
               {dup, {"ROOT\\Dup|*.log|RECURSE", base::enc::ToUtf8(shortName) + "|*.log"}, dupTaken, {}},
               {dup, {"ROOT\\Dup|*.log|RECURSE", "ROOT\\dup\\|b.log"}, dupTaken, {}},
               {dup,
                {"ROOT\\Dup|*.log|RECURSE", "ROOT\\Dup\\Own|*.tmp|REMOVESELF"},
                {L"Dup\\b.log", L"Dup\\Sub Folder\\a.log", L"Dup\\Own\\c.log", L"Dup\\Own\\d.tmp"},
                {L"Dup\\Own\\"}}};
  for (const auto& c : cases)
    for (const bool reversed : {false, true}) {
      std::string text = "[R *]\n" + c.excludes;
      for (size_t i = 0; i < c.keys.size(); ++i)
        text += "FileKey" + std::to_string(i + 1) + "=" + c.keys[reversed ? c.keys.size() - 1 - i : i] + "\n";
      const removal::RoutineAnswer answer = removal::AnswerRoutine(
          Read(text), removal::Fit::Decide, variables_.Lookup(), removal::NeverTaken(), places_, true, {});
      EXPECT_EQ(Under(answer.paths), c.taken) << text;
      EXPECT_EQ(answer.files, c.taken.size()) << text;
      EXPECT_EQ(Under(answer.emptied), c.emptied) << text;
      EXPECT_TRUE(std::is_sorted(answer.emptied.begin(), answer.emptied.end(), [](const auto& a, const auto& b) {
        return base::paths::Depth(a) > base::paths::Depth(b);
      }));
    }
  // A drive its variable names without a closing separator is a drive's root.
  const removal::RoutineAnswer drive =
      removal::AnswerRoutine(Read("[D *]\nFileKey1=%SystemDrive%|x.log\n"), removal::Fit::Decide, variables_.Lookup(),
                             removal::NeverTaken(), places_, true, {});
  ASSERT_EQ(drive.notes.size(), 1u);
  EXPECT_NE(drive.notes[0].find(L"a protected place (a drive's root)"), std::wstring::npos) << drive.notes[0];
}

}  // namespace
