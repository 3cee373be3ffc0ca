// The routines window's model: which entries show (fit, filter words, the
// show-all tick), their order, ticks and their total, and the lines it
// writes.
#include "app/routines_view.h"

#include <gtest/gtest.h>

#include "app/delete_list.h"

namespace {

const char kFile[] =
    "[Google Chrome Cache *]\nLangSecRef=3029\nFileKey1=%LocalAppData%\\G\\Cache|*.*\n"
    "[Editor Logs *]\nLangSecRef=3021\nWarning=Read me.\nRegKey1=HKCU\\Software\\Ed\nFileKey1=%AppData%\\Ed|*.log\n"
    "[Absent Player *]\nLangSecRef=3023\nFileKey1=%AppData%\\P|*.tmp\n"
    "[Broken *]\nLangSecRef=3024\nFileKey1=relative\\x|*.*\n";

struct RoutinesViewTest : ::testing::Test {
  RoutinesViewTest() { view.Reset(std::make_shared<const routines::RoutinesFile>(routines::ReadRoutines(kFile))); }
  std::vector<std::wstring> Names() const {
    std::vector<std::wstring> names;
    for (size_t r = 0; r < view.RowCount(); ++r) names.push_back(view.Cell(r, app::RoutineColumn::Name));
    return names;
  }
  void Decide() { view.SetFits({app::Fit::Fits, app::Fit::Fits, app::Fit::DoesNotFit, app::Fit::DoesNotFit}); }
  // Numbers in a style of the user's own: "." between the groups.
  app::RoutinesView view{nullptr, base::text::NumberStyle{L".", L"3;0"}};
};

// Items by their path keys; the last one given is a folder when `folder`.
std::vector<app::TakenItem> Items(const std::vector<std::pair<const wchar_t*, uint64_t>>& files,
                                  const wchar_t* folder = nullptr) {
  std::vector<app::TakenItem> items;
  for (const auto& [key, bytes] : files) items.push_back({key, bytes, false});
  if (folder) items.push_back({folder, 0, true});
  return items;
}

TEST_F(RoutinesViewTest, OnlyFittingEntriesShowByGroupAndNameUntilAllAreAskedFor) {
  EXPECT_EQ(view.RowCount(), 0u);
  EXPECT_EQ(view.FitLine(), L"Deciding which of 4 entries fit this computer...");
  Decide();
  EXPECT_EQ(view.FitLine(), L"2 of 4 entries fit this computer. 1 entry is not understood.");
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"(!) Editor Logs", L"Google Chrome Cache"}));
  view.SetShowAll(true);
  EXPECT_EQ(Names(),
            (std::vector<std::wstring>{L"(!) Editor Logs", L"Google Chrome Cache", L"Absent Player", L"Broken"}));
  EXPECT_EQ(view.Cell(2, app::RoutineColumn::Notes), L"Not on this computer");
  EXPECT_EQ(view.Cell(3, app::RoutineColumn::Notes).rfind(L"Not understood: ", 0), 0u);
  EXPECT_EQ(view.Cell(0, app::RoutineColumn::Notes), L"Warning; Registry parts stay");
}

TEST_F(RoutinesViewTest, TypedWordsFindTheStartsOfWordsInAnyCase) {
  Decide();
  view.SetFilter(L"CHROME");
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Google Chrome Cache"}));
  view.SetFilter(L"cac goo");
  EXPECT_EQ(view.RowCount(), 1u);
  view.SetFilter(L"hrome");  // inside a word: no
  EXPECT_EQ(view.RowCount(), 0u);
  view.SetFilter(L"  ");
  EXPECT_EQ(view.RowCount(), 2u);
}

TEST_F(RoutinesViewTest, SizesSortLargestFirstUnknownLastAndTheTotalCountsTheTickedItemsOnce) {
  Decide();
  view.SetTake(1, {true, 3, 1, 10, L"", Items({{L"c:\\k\\a", 4}, {L"c:\\k\\b", 3}, {L"c:\\k\\c", 3}}, L"c:\\k\\f")});
  view.SortBy(app::RoutineColumn::Size);
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"(!) Editor Logs", L"Google Chrome Cache"}));
  // Two entries take c:\k\b (and the folder c:\k\f): the total counts them once.
  view.SetTake(0,
               {true, 5, 1, 2048, L"",
                Items({{L"c:\\k\\b", 3}, {L"c:\\g\\1", 1000}, {L"c:\\g\\2", 1000}, {L"c:\\g\\3", 40}, {L"c:\\g\\4", 5}},
                      L"c:\\k\\f")});
  view.Resort();
  EXPECT_EQ(Names(), (std::vector<std::wstring>{L"Google Chrome Cache", L"(!) Editor Logs"}));
  view.SortBy(app::RoutineColumn::Size);  // again: the other way round
  EXPECT_EQ(view.Cell(0, app::RoutineColumn::Files), L"3");
  EXPECT_EQ(view.Cell(1, app::RoutineColumn::Size), L"2.048 bytes");

  EXPECT_EQ(view.TotalLine(), L"Nothing ticked.");
  view.SetTicked(0, true);
  view.SetTicked(1, true);
  view.SetTicked(3, true);  // not understood: never ticked
  EXPECT_FALSE(view.CanTick(3));
  EXPECT_EQ(view.TickedEntries(), (std::vector<size_t>{0, 1}));
  EXPECT_EQ(view.TotalLine(), L"2 ticked: 7 files, 1 folder (2.055 bytes).");
  view.SetTicked(1, false);
  EXPECT_EQ(view.TotalLine(), L"1 ticked: 5 files, 1 folder (2.048 bytes).");
  view.SetTicked(1, true);
  view.SetTake(0, {true, 0, 0, 0, L"the folder is a link", {}});
  EXPECT_EQ(view.Cell(1, app::RoutineColumn::Notes), L"Takes nothing: the folder is a link");
  EXPECT_EQ(view.Cell(1, app::RoutineColumn::Size), L"");
}

TEST(DeleteListRoutines, ARoutineIsOneRowKnownByItsNameAndSavedAsItsRecord) {
  const routines::RoutinesFile file = routines::ReadRoutines(kFile);
  app::DeleteList list;
  list.AppendRoutine(routines::ListRoutine(file.entries[0]));
  EXPECT_TRUE(list.HasRoutine(L"Google Chrome Cache"));
  EXPECT_FALSE(list.HasRoutine(L"Editor Logs"));
  EXPECT_EQ(list.ShownPath(0), L"Google Chrome Cache");
  EXPECT_EQ(list.At(0).type, L"Routine");
  EXPECT_EQ(list.RecordTexts()[0],
            L"Google Chrome Cache|Routine|group=Google Chrome|FileKey1=%LocalAppData%\\G\\Cache^v^s.^s");
  EXPECT_EQ(app::EntryKeysText(file.entries[1]),
            L"[Editor Logs *]\r\nLangSecRef=3021\r\nWarning=Read me.\r\nRegKey1=HKCU\\Software\\Ed\r\n"
            L"FileKey1=%AppData%\\Ed|*.log\r\n");
}

}  // namespace
