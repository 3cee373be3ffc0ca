// The deletion passes on real folders, deleting and moving to the Recycle
// Bin: a whole tree with long and non-ANSI names, items that stay (in use,
// folders above them) with their reasons, read-only files that go, missing
// and duplicate entries, and the folder order. Then the whole run from its
// list file: lists with nothing to run, the password, and the closing
// message with the full report.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <set>
#include <string>

#include "base/encoding.h"
#include "base/file_identity_win.h"
#include "base/paths.h"
#include "list_bytes.h"
#include "listfile/list_file.h"
#include "removal/fates_win.h"
#include "removal/removal_passes_win.h"
#include "removal/removal_run_win.h"
#include "removal/removal_steps_win.h"
#include "listfile/protected_places_win.h"
#include "removal/rule_expansion_win.h"
#include "removal/folder_link_win.h"

namespace {

using removal::Leftover;

// Whether the folder lists the item, asked again for up to ten seconds: a
// Unix program's process ends for Windows before it has done its work.
bool Listed(const std::wstring& path, bool wanted) {
  for (int i = 0; i < 200; ++i, Sleep(50)) {
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(path.c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    if ((find != INVALID_HANDLE_VALUE) == wanted) return true;
  }
  return false;
}

// Makes a file that no open reaches, as a file held by another program
// without sharing is on Windows: under Wine, a Unix socket. False where
// that cannot be done.
bool MakeUnopenableFile(const std::wstring& path) {
  return RunOnUnix(L"Z:\\usr\\bin\\python3 -c \"import socket,sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])\"",
                   {path}) &&
         Listed(path, true);
}
using Records = std::vector<listfile::Record>;

class RemovalPasses : public ::testing::TestWithParam<removal::Disposal> {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + L"ombrelay_passes_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
  }
  void TearDown() override {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) {
      const std::wstring path = base::paths::Verbatim(*it);
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (!DeleteFileW(path.c_str())) RemoveDirectoryW(base::paths::Verbatim(it->substr(0, it->size() - 1)).c_str());
    }
    RemoveDirectoryW(root_.c_str());
  }
  // Adds a folder (name ending in "\") or a file, as the add command lists them.
  std::wstring Make(const std::wstring& name, const wchar_t* type) {
    const std::wstring path = root_ + name;
    if (name.back() == L'\\') {
      EXPECT_TRUE(CreateDirectoryW(base::paths::Verbatim(path.substr(0, path.size() - 1)).c_str(), nullptr));
    } else {
      HANDLE h = CreateFileW(base::paths::Verbatim(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
      EXPECT_NE(h, INVALID_HANDLE_VALUE) << base::enc::ToUtf8(path);
      CloseHandle(h);
    }
    made_.push_back(path);
    records_.push_back({path, type});
    return path;
  }
  static bool Exists(const std::wstring& path) {
    return GetFileAttributesW(base::paths::Verbatim(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  std::vector<Leftover> Run(removal::Disposal how = removal::Disposal::Delete) {
    return removal::RunPasses(removal::MakePlan(records_), nullptr, how).leftovers;
  }

  std::wstring root_;
  std::vector<std::wstring> made_;
  Records records_;
};

using RemovalPassesDeleting = RemovalPasses;

TEST_F(RemovalPassesDeleting, WholeTreeWithLongAndNonAnsiNamesGoes) {
  const std::wstring t = Make(L"T\\", L"Folder");
  const std::wstring s = Make(L"T\\S\u4e2d\\", L"Folder");
  std::wstring deep = L"T\\";
  for (int i = 0; i < 6; ++i) Make(deep += std::wstring(50, static_cast<wchar_t>(L'a' + i)) + L"\\", L"Folder");
  ASSERT_GT(root_.size() + deep.size(), 300u);
  Make(L"T\\a.txt", L"File");
  Make(L"T\\S\u4e2d\\\u00e9\u20ac\u4e2d.txt", L"File");
  Make(deep + L"deep.txt", L"File");
  EXPECT_TRUE(Run().empty());
  EXPECT_FALSE(Exists(t));
  EXPECT_FALSE(Exists(s));
}

// Long enough to be deleted in several chunks at once: the leftovers are
// those of trying each record one by one from the last, each reported
// where it first stayed.
TEST_F(RemovalPassesDeleting, ALongListLeavesWhatGoingOneByOneLeaves) {
  const std::wstring t = Make(L"T\\", L"Folder");
  const std::wstring s = Make(L"T\\S\\", L"File");
  std::set<std::wstring> stays{s};
  std::vector<HANDLE> open;
  Records again;  // listed a second time at the end, so first in the pass
  for (int i = 0; i < 4500; ++i) {
    const std::wstring name = L"T\\f" + std::to_wstring(i) + L".txt";
    if (i % 50 == 7) {
      records_.push_back({root_ + name, L"File"});  // never there
      continue;
    }
    const std::wstring path = Make(name, L"File");
    if (i % 97 == 0) {
      ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    if (i % 1500 == 1234) {
      open.push_back(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
      ASSERT_NE(open.back(), INVALID_HANDLE_VALUE);
      stays.insert(path);
    }
    if (i % 400 == 5 || i % 97 == 0 || i == 1234) again.push_back({path, L"File"});
  }
  records_.insert(records_.end(), again.begin(), again.end());
  std::vector<Leftover> left = Run();
  for (HANDLE h : open) CloseHandle(h);

  std::vector<std::wstring> expected;
  for (auto r = records_.rbegin(); r != records_.rend(); ++r)
    if (r->type == L"File" && stays.count(r->path) &&
        std::find(expected.begin(), expected.end(), r->path) == expected.end())
      expected.push_back(r->path);
  expected.push_back(t);
  ASSERT_EQ(left.size(), expected.size());
  for (size_t i = 0; i < left.size(); ++i) EXPECT_EQ(left[i].path, expected[i]) << i;
  EXPECT_EQ(left[0].reason, L"in use by another program");
  EXPECT_EQ(left[3].reason, L"a folder, listed as a file");
  EXPECT_EQ(left[4].reason, L"folder not empty");
  for (const Leftover& l : left) EXPECT_TRUE(Exists(l.path));
  for (const std::wstring& path : made_) {
    if (path != t && !stays.count(path)) {
      EXPECT_FALSE(Exists(path)) << base::enc::ToUtf8(path);
    }
  }
}

// Sibling folders go on the workers, with what one by one leaves: a folder
// that still holds something stays, a repeated one is gone, and their
// parent is tried only after them.
TEST_F(RemovalPassesDeleting, SiblingFoldersLeaveWhatGoingOneByOneLeaves) {
  const std::wstring t = Make(L"T\\", L"Folder");
  std::vector<std::wstring> subs;
  for (int i = 0; i < 12; ++i) subs.push_back(Make(L"T\\S" + std::to_wstring(i) + L"\\", L"Folder"));
  Make(L"T\\S5\\keep.txt", L"File");
  records_.back() = {subs[7], L"Folder"};
  std::vector<Leftover> left = Run();
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].path, subs[5]);
  EXPECT_EQ(left[0].reason, L"it holds 1 item that is not in the list");
  EXPECT_EQ(left[1].path, t);
  EXPECT_EQ(left[1].reason, L"folder not empty");
  for (size_t i = 0; i < subs.size(); ++i) EXPECT_EQ(Exists(subs[i]), i == 5) << i;
}

TEST_P(RemovalPasses, ItemsThatStayAreListedWithTheirReasons) {
  const std::wstring t = Make(L"T\\", L"Folder");
  const std::wstring s = Make(L"T\\S\\", L"Folder");
  const std::wstring a = Make(L"T\\a.txt", L"File");
  const std::wstring ro = Make(L"T\\ro.txt", L"File");
  const std::wstring held = Make(L"T\\held.txt", L"File");
  const std::wstring b = Make(L"T\\S\\b.txt", L"File");
  ASSERT_TRUE(SetFileAttributesW(ro.c_str(), FILE_ATTRIBUTE_READONLY));
  HANDLE open = CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  std::vector<Leftover> left = Run(GetParam());
  CloseHandle(open);
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].path, held);
  EXPECT_EQ(left[0].reason, L"in use by another program");
  EXPECT_EQ(left[1].path, t);
  EXPECT_EQ(left[1].reason, L"folder not empty");
  EXPECT_FALSE(Exists(a));
  EXPECT_FALSE(Exists(b));
  EXPECT_FALSE(Exists(s));
  EXPECT_FALSE(Exists(ro));
}

TEST_P(RemovalPasses, MissingAndRepeatedEntriesCountAsGone) {
  const std::wstring t = Make(L"T\\", L"Folder");
  const std::wstring a = Make(L"T\\a.txt", L"File");
  records_.push_back({a, L"File"});
  records_.push_back({t, L"Folder"});
  records_.push_back({root_ + L"never\\there.txt", L"File"});
  records_.push_back({root_ + L"never\\", L"Folder"});
  records_.push_back({root_ + L"kept.txt", L""});
  EXPECT_TRUE(Run(GetParam()).empty());
  EXPECT_FALSE(Exists(t));
}

// The folder pass reaches the outer folder first, while the inner one is
// still there; one more look at the end removes it once it is empty.
TEST_P(RemovalPasses, OuterFolderListedAfterItsSubfolderGoesAfterIt) {
  const std::wstring s = root_ + L"T\\S\\";
  const std::wstring t = Make(L"T\\", L"Folder");
  Make(L"T\\S\\", L"Folder");
  std::swap(records_[0], records_[1]);
  EXPECT_TRUE(Run(GetParam()).empty());
  EXPECT_FALSE(Exists(s));
  EXPECT_FALSE(Exists(t));
}

// A name ending in a dot or a blank is the listed item itself, never the
// neighbour Win32 would make of it; the shell cannot take such names, so
// the Recycle Bin leaves them. A missing drive is no missing item.
TEST_P(RemovalPasses, NamesThatWin32RewritesAreTheListedItemsAndMissingDrivesAreReported) {
  const std::wstring neighbour = Make(L"n.txt", L"File");
  const std::wstring folderNeighbour = Make(L"dir\\", L"Folder");
  records_.clear();
  const std::wstring dotted = Make(L"n.txt.", L"File");
  const std::wstring blank = Make(L"n.txt ", L"File");
  const std::wstring folder = Make(L"dir.\\", L"Folder");
  records_.push_back({L"Q:\\nothing\\here.txt", L"File"});
  const bool recycling = GetParam() == removal::Disposal::RecycleBin;
  const bool noDriveQ = GetDriveTypeW(L"Q:\\") == DRIVE_NO_ROOT_DIR;
  std::vector<Leftover> left = Run(GetParam());
  std::set<std::wstring> reported;
  for (const Leftover& l : left) reported.insert(l.path + L" - " + l.reason);
  std::set<std::wstring> expected;
  if (noDriveQ) expected.insert(L"Q:\\nothing\\here.txt - the drive is not there");
  for (const std::wstring& path : {dotted, blank, folder}) {
    EXPECT_EQ(Exists(path), recycling) << base::enc::ToUtf8(path);
    if (recycling)
      expected.insert(path +
                      L" - a name ending in a dot or a blank, which the Recycle Bin cannot take; left so that "
                      L"nothing else goes in its place");
  }
  EXPECT_EQ(reported, expected);
  EXPECT_TRUE(Exists(neighbour));
  EXPECT_TRUE(Exists(folderNeighbour));
}

TEST_P(RemovalPasses, AStopBeforeTheFirstItemLeavesEveryItemUntried) {
  const std::wstring t = Make(L"T\\", L"Folder");
  const std::wstring a = Make(L"T\\a.txt", L"File");
  std::atomic<bool> stop{true};
  const removal::RunResult result = removal::RunPasses(removal::MakePlan(records_), nullptr, GetParam(), &stop);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.removed, 0u);
  ASSERT_EQ(result.leftovers.size(), 2u);
  EXPECT_EQ(result.leftovers[0].path, a);
  EXPECT_EQ(result.leftovers[1].reason, L"not tried: the run was stopped");
  EXPECT_TRUE(Exists(a));
  EXPECT_TRUE(Exists(t));
}

// A rule that removes the subfolders it empties never removes its own
// folder, and never takes its list, here named as a console names it.
TEST_F(RemovalPassesDeleting, ARuleEmptiesItsSubfoldersButNeitherItsOwnFolderNorItsList) {
  const std::wstring r = Make(L"R\\", L"Folder");
  for (const wchar_t* name : {L"R\\a.tmp", L"R\\S\\", L"R\\S\\T\\", L"R\\S\\T\\b.tmp", L"R\\list.txt"})
    Make(name, L"File");
  records_ = removal::RunRecords({r + L"|Rule|names=|except=|age=|subfolders=yes|emptied=yes"});
  removal::Plan plan = removal::MakePlan(records_);
  wchar_t before[MAX_PATH] = L"";
  ASSERT_TRUE(GetCurrentDirectoryW(MAX_PATH, before));
  ASSERT_TRUE(SetCurrentDirectoryW(r.c_str()));
  plan.listPath = L"list.txt";
  removal::ExpandRules(plan, removal::RuleClock());
  SetCurrentDirectoryW(before);
  EXPECT_EQ(std::set<std::wstring>(plan.files.begin(), plan.files.end()),
            (std::set<std::wstring>{r + L"a.tmp", r + L"S\\T\\b.tmp"}));
  EXPECT_EQ(plan.folders, (std::vector<std::wstring>{r + L"S\\T\\", r + L"S\\"}));
  EXPECT_TRUE(removal::RunPasses(plan, nullptr, removal::Disposal::Delete).leftovers.empty());
  // With the list gone too, the rule's folder is left empty, and stays.
  ASSERT_TRUE(DeleteFileW((r + L"list.txt").c_str()));
  removal::Plan again = removal::MakePlan(records_);
  removal::ExpandRules(again, removal::RuleClock());
  EXPECT_TRUE(again.files.empty());
  EXPECT_TRUE(again.folders.empty());
  EXPECT_TRUE(Exists(r));
}

// A rule's folder that is a link is one in every spelling, and is refused;
// a short name keys as its long name; the list is the list however named.
TEST_F(RemovalPassesDeleting, ALinkAShortNameAndTheListAreKnownInEverySpelling) {
  const std::wstring outside = Make(L"O\\", L"Folder");
  const std::wstring listed = Make(L"O\\a long list name.txt", L"File");
  const FolderLink made(root_ + L"L", outside.substr(0, outside.size() - 1));
  ASSERT_TRUE(made.IsLink());
  std::wstring slashed = root_ + L"L/";
  std::replace(slashed.begin(), slashed.end(), L'\\', L'/');
  listfile::ProtectedPlaces places;
  listfile::FolderRule rule;
  for (const std::wstring& spelling :
       {root_ + L"L", root_ + L"L\\", root_ + L"L/", slashed, L"\\\\?\\" + root_ + L"L/", root_ + L"O\\..\\L\\."}) {
    EXPECT_TRUE(base::IsLink(spelling)) << base::enc::ToUtf8(spelling);
    rule.folder = spelling;
    EXPECT_EQ(removal::AnswerRule(rule, removal::NeverTaken(), places, 0, true, {}).refusal,
              L"the folder is a link; a rule never follows one");
  }
  EXPECT_FALSE(base::IsLink(outside));
  wchar_t shortName[MAX_PATH] = L"";
  ASSERT_GT(GetShortPathNameW(listed.c_str(), shortName, MAX_PATH), 0u);
  ASSERT_NE(std::wstring(shortName), listed);
  EXPECT_EQ(base::paths::PathKey(shortName), base::paths::PathKey(listed));
  // Named through the link, by its short name, the list is still the list.
  removal::NeverTaken never;
  const std::wstring shortPath = shortName;
  never.Add(root_ + L"L\\" + std::wstring(base::paths::LastName(shortPath)));
  const std::wstring folder = outside;
  EXPECT_TRUE(never.Holds(folder, L"a long list name.txt", 0));
  rule.folder = outside;
  EXPECT_EQ(removal::AnswerRule(rule, never, places, 0, true, {}).files, 0u);
  // A file of the list's size that cannot be opened to learn what it is may
  // be the list, held by another program: it stays too. Under Wine a Unix
  // socket is such a file, listed as empty as this list is.
  const std::wstring held = outside + L"held.txt";
  if (!MakeUnopenableFile(held)) GTEST_SKIP() << "no file that cannot be opened can be made here";
  EXPECT_FALSE(base::IdentityOf(held));
  EXPECT_EQ(removal::AnswerRule(rule, never, places, 0, true, {}).files, 0u);
  EXPECT_EQ(removal::AnswerRule(rule, removal::NeverTaken(), places, 0, true, {}).files, 2u);
  EXPECT_TRUE(RunOnUnix(L"Z:\\bin\\rm", {held}) && Listed(held, false));
}

// What Foresee says of every kind of record, in pass order, and then the
// run: exactly the items foreseen to go go, and the others stay with the
// reasons foreseen.
TEST_P(RemovalPasses, TheRunRemovesExactlyWhatWasForeseen) {
  const bool recycling = GetParam() == removal::Disposal::RecycleBin;
  const std::wstring t = Make(L"T\\", L"Folder");
  const std::wstring s = Make(L"T\\S\\", L"Folder");
  const std::wstring a = Make(L"T\\a.txt", L"File");
  HANDLE h = CreateFileW(a.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD wrote = 0;
  ASSERT_TRUE(WriteFile(h, "12345", 5, &wrote, nullptr));
  CloseHandle(h);
  const std::wstring dotted = Make(L"n.txt.", L"File");
  const std::wstring outside = Make(L"O\\", L"Folder");
  const std::wstring behind = Make(L"O\\x.txt", L"File");
  records_.resize(4);  // the folder O and what is in it are not listed
  const std::wstring link = root_ + L"L\\";
  const FolderLink made(link.substr(0, link.size() - 1), outside.substr(0, outside.size() - 1));
  ASSERT_TRUE(made.IsLink());
  wchar_t drive = 0;
  for (wchar_t d = L'Q'; d <= L'Y' && !drive; ++d)
    if (GetDriveTypeW((std::wstring(1, d) + L":\\").c_str()) == DRIVE_NO_ROOT_DIR) drive = d;
  ASSERT_NE(drive, 0);
  const std::wstring missingDrive = std::wstring(1, drive) + L":\\secret.txt";
  const std::wstring folderAsFile = root_ + L"O";
  for (const std::wstring& path : {root_ + L"T\\gone.txt", std::wstring(L"CON"), std::wstring(L"rel.txt"),
                                   link + L"x.txt", missingDrive, folderAsFile})
    records_.push_back({path, L"File"});
  records_.push_back({link, L"Folder"});
  records_.push_back({L"C:\\", L"Folder"});
  // A listed folder holding a file the list does not name stays with it.
  const std::wstring holding = Make(L"U\\", L"Folder");
  const std::wstring unlisted = Make(L"U\\keep.txt", L"File");
  records_.pop_back();

  size_t heard = 0;
  const removal::Plan plan = removal::MakePlan(records_);
  const std::vector<removal::Fate> fates =
      removal::Foresee(plan, GetParam(), [&](size_t done, size_t total) { heard += done <= total && total == 13; });
  EXPECT_GT(heard, 0u);
  using removal::Outcome;
  struct Expected {
    std::wstring path;
    Outcome outcome;
    std::wstring reason;
  };
  const std::wstring notBinned =
      L"a name ending in a dot or a blank, which the Recycle Bin cannot take; left so that "
      L"nothing else goes in its place";
  const std::vector<Expected> expected = {
      {folderAsFile, Outcome::Stay, L"a folder, listed as a file"},
      {missingDrive, Outcome::Stay, L"the drive is not there"},
      {link + L"x.txt", Outcome::Stay,
       L"reached through a link: a listed folder above it is a link now; left so that nothing behind it is removed"},
      {L"rel.txt", Outcome::Stay, L"not a full path"},
      {L"CON", Outcome::Stay, L"a device, not a file or folder"},
      {root_ + L"T\\gone.txt", Outcome::Gone, L""},
      {dotted, recycling ? Outcome::Stay : Outcome::Remove, recycling ? notBinned : L""},
      {a, Outcome::Remove, L""},
      {holding, Outcome::Stay, L"it holds 1 item that is not in the list"},
      {L"C:\\", Outcome::Stay, L"the root of a drive; never removed"},
      {link, Outcome::Stay, L"a link to another folder; left so that nothing behind it is removed"},
      {s, Outcome::Remove, L""},
      {t, Outcome::Remove, L""}};
  ASSERT_FALSE(removal::FolderLinksRemovableAlone());
  ASSERT_EQ(fates.size(), expected.size());
  for (size_t i = 0; i < fates.size(); ++i) {
    EXPECT_EQ(fates[i].path, expected[i].path) << i;
    EXPECT_EQ(fates[i].folder, i >= 8) << i;
    EXPECT_EQ(fates[i].outcome, expected[i].outcome) << i;
    EXPECT_EQ(fates[i].reason, expected[i].reason) << i;
  }
  EXPECT_EQ(fates[7].bytes, 5u);
  EXPECT_TRUE(Exists(a));  // foreseeing changes nothing

  const removal::RunResult result = removal::RunPasses(plan, nullptr, GetParam());
  std::vector<Leftover> stays;
  for (const removal::Fate& fate : fates) {
    if (!base::paths::Root(fate.path).empty() && fate.path != missingDrive) {
      EXPECT_EQ(Exists(fate.path), fate.outcome == Outcome::Stay) << base::enc::ToUtf8(fate.path);
    }
    if (fate.outcome == Outcome::Stay) stays.push_back({fate.path, fate.reason});
  }
  ASSERT_EQ(result.leftovers.size(), stays.size());
  for (size_t i = 0; i < stays.size(); ++i) {
    EXPECT_EQ(result.leftovers[i].path, stays[i].path) << i;
    EXPECT_EQ(result.leftovers[i].reason, stays[i].reason) << i;
  }
  EXPECT_TRUE(Exists(behind));
  EXPECT_TRUE(Exists(unlisted));
  EXPECT_EQ(result.removedFiles, recycling ? 1u : 2u);
  EXPECT_EQ(result.removedFolders, 2u);
  EXPECT_EQ(result.removedBytes, 5u);
}

// The run as the prompt drives it, from a list file written beside the tree.
class RemovalRun : public RemovalPasses {
 protected:
  std::wstring WriteList(const std::string& bytes, const wchar_t* name = L"list.txt") {
    const std::wstring path = root_ + name;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    DWORD wrote = 0;
    EXPECT_TRUE(WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr));
    CloseHandle(h);
    made_.push_back(path);
    return path;
  }
  static std::string ReadAll(const std::wstring& path) {
    std::string bytes;
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
    CloseHandle(h);
    return bytes;
  }
};

TEST_F(RemovalRun, ListsWithNothingToRunSaySoAndTouchNothing) {
  const std::wstring a = Make(L"a.txt", L"File");
  std::wstring problem;
  const std::wstring missing = root_ + L"missing list.txt";
  EXPECT_FALSE(removal::RemovalRun(missing).Read(problem));
  EXPECT_EQ(problem.find(L"The delete list cannot be read:\n" + missing + L"\n"), 0u);
  EXPECT_EQ(problem.substr(problem.size() - 25), L"Nothing has been removed.");
  EXPECT_FALSE(removal::RemovalRun(L"").Read(problem));
  EXPECT_NE(problem.find(L"(no list file was named)"), std::wstring::npos);
  for (const std::string& bytes : {std::string(), std::string("*"), std::string("C:\\x|Other*pw*\r\n")}) {
    const std::wstring empty = WriteList(bytes, L"empty.txt");
    EXPECT_FALSE(removal::RemovalRun(empty).Read(problem));
    EXPECT_EQ(problem, removal::EmptyListText(empty));
  }
  const std::wstring picture =
      WriteList(std::string("\x89PNG\0\0", 6) + listbytes::EncodeList(records_, L"pw"), L"p.png");
  EXPECT_FALSE(removal::RemovalRun(picture).Read(problem));
  EXPECT_EQ(problem, removal::UnreadableListText(picture, listfile::kNotAListText));
  EXPECT_TRUE(Exists(a));
}

TEST_F(RemovalRun, TheListIsReadAsItIsNowAndThePasswordAsSaved) {
  Make(L"T\\", L"Folder");
  const std::wstring a = Make(L"T\\a.txt", L"File");
  const std::wstring list = WriteList(listbytes::EncodeList(records_, L" pass word "));
  removal::RemovalRun run(list);
  std::wstring problem;
  ASSERT_TRUE(run.Read(problem));
  EXPECT_EQ(run.Confirmation(),
            L"Are you sure you wish to remove your files?\n1 file and 1 folder are listed in " + list);
  EXPECT_TRUE(run.PasswordMatches(L"pass word"));
  EXPECT_FALSE(run.PasswordMatches(L"pass  word"));
  EXPECT_FALSE(run.PasswordMatches(L"Pass word"));
  // Read again, it sees the list as it is then.
  records_.push_back({root_ + L"b.txt", L"File"});
  WriteList(listbytes::EncodeList(records_, L"other"));
  ASSERT_TRUE(run.Read(problem));
  EXPECT_EQ(run.Planned().files.size(), 2u);
  EXPECT_TRUE(run.PasswordMatches(L"other"));
  EXPECT_TRUE(Exists(a));
}

TEST_F(RemovalRun, ItsClosingMessageNamesWhatStayedAndWhereTheFullListIs) {
  const std::wstring t = Make(L"T\\", L"Folder");
  Make(L"T\\a.txt", L"File");
  const std::wstring held = Make(L"T\\held.txt", L"File");
  for (int i = 0; i < 21; ++i) records_.push_back({L"rel" + std::to_wstring(i) + L".txt", L"File"});
  const std::wstring list = WriteList(listbytes::EncodeList(records_, L"pw"), L"my list.txt");
  removal::RemovalRun run(list);
  std::wstring problem;
  ASSERT_TRUE(run.Read(problem));
  HANDLE open = CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  size_t calls = 0;
  const removal::ClosingMessage closing =
      run.Run(removal::Disposal::Delete, [&](size_t, size_t total) { calls += total == 24; });
  CloseHandle(open);
  EXPECT_TRUE(closing.warns);
  EXPECT_GT(calls, 0u);
  EXPECT_EQ(closing.text.find(L"Removed 1 item: 1 file (0 bytes) and 0 folders.\n\n23 items could not be removed:\n\n"
                              L"rel20.txt - not a full path\n"),
            0u);
  EXPECT_NE(closing.text.find(L"\n... and 3 more.\n\nThe full list is in "), std::wstring::npos);
  const std::wstring report = closing.text.substr(closing.text.find(L"The full list is in ") + 20);
  EXPECT_NE(report.find(L"my list - not removed "), std::wstring::npos);
  const std::string full = ReadAll(report);
  DeleteFileW(report.c_str());
  EXPECT_EQ(full.compare(0, 3, "\xEF\xBB\xBF"), 0);
  EXPECT_NE(full.find("\r\n23 items could not be removed:\r\n\r\nrel20.txt - not a full path\r\n"), std::string::npos);
  EXPECT_NE(full.find(base::enc::ToUtf8(held) + " - in use by another program\r\n"), std::string::npos);
  EXPECT_NE(full.find(base::enc::ToUtf8(t) + " - folder not empty\r\n"), std::string::npos);

  // Once the held file is free, the same run object reads and removes the rest.
  records_.resize(3);
  WriteList(listbytes::EncodeList(records_, L"pw"), L"my list.txt");
  ASSERT_TRUE(run.Read(problem));
  const removal::ClosingMessage done = run.Run(removal::Disposal::Delete, nullptr);
  EXPECT_EQ(done.text, L"Done\n\nRemoved 2 items: 1 file (0 bytes) and 1 folder.");
  EXPECT_FALSE(done.warns);
  EXPECT_FALSE(Exists(t));
  // Stopped before it began: it says so and lists every item as untried.
  Make(L"T\\", L"Folder");
  WriteList(listbytes::EncodeList({records_[0]}, L"pw"), L"my list.txt");
  ASSERT_TRUE(run.Read(problem));
  std::atomic<bool> stop{true};
  const removal::ClosingMessage stopped = run.Run(removal::Disposal::Delete, nullptr, &stop);
  EXPECT_FALSE(stopped.warns);
  EXPECT_EQ(stopped.text,
            L"The run was stopped. 0 items were removed.\n\nRemoved 0 items: 0 files (0 bytes) and 0 "
            L"folders.\n\n1 item was left:\n\n" +
                t + L" - not tried: the run was stopped");
  EXPECT_TRUE(Exists(t));
}

INSTANTIATE_TEST_SUITE_P(DeletingAndRecycling, RemovalPasses,
                         ::testing::Values(removal::Disposal::Delete, removal::Disposal::RecycleBin));

}  // namespace
