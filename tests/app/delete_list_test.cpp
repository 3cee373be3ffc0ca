// Delete list model: the list editing commands and the status texts.
#include "app/delete_list.h"

#include <gtest/gtest.h>

namespace {

app::DeleteList Make(std::initializer_list<const wchar_t*> paths) {
  app::DeleteList list;
  for (const wchar_t* p : paths) list.Append(p, L"File");
  return list;
}

std::vector<bool> Marks(const app::DeleteList& list) {
  std::vector<bool> marks;
  for (const auto& e : list.Entries()) marks.push_back(e.checked);
  return marks;
}

TEST(DeleteList, NewEntriesAreUncheckedAndKeepOrderAndDuplicates) {
  auto list = Make({L"C:\\a", L"C:\\b", L"C:\\a"});
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.At(2).path, L"C:\\a");
  EXPECT_EQ(list.At(0).type, L"File");
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, false, false}));
}

// Entries made elsewhere keep their order behind the list's own, ticks
// included, whether or not the list still holds as many as room was left for.
TEST(DeleteList, EntriesMadeElsewhereGoBehindTheListsOwn) {
  auto made = [](size_t room) {
    std::vector<app::Entry> entries(room);
    app::AppendEntry(entries, L"C:\\x", L"File");
    app::AppendEntry(entries, L"C:\\y\\", L"Folder");
    return entries;
  };
  for (size_t room : {2u, 1u, 0u}) {
    auto list = Make({L"C:\\a", L"C:\\b"});
    list.SetChecked(1, true);
    list.Append(made(room), room);
    ASSERT_EQ(list.Count(), 4u) << room;
    EXPECT_EQ(list.At(0).path + list.At(1).path + list.At(2).path + list.At(3).path, L"C:\\aC:\\bC:\\xC:\\y\\");
    EXPECT_EQ(list.At(3).kind, listfile::RecordKind::Folder);
    EXPECT_EQ(Marks(list), (std::vector<bool>{false, true, false, false}));
  }
}

TEST(DeleteList, SelectAllAndInvertTwice) {
  auto list = Make({L"a", L"b", L"c"});
  list.SetChecked(1, true);
  list.Invert();
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, false, true}));
  list.Invert();
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, true, false}));
  list.SelectAll();
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, true, true}));
  app::DeleteList empty;
  empty.SelectAll();
  empty.Invert();
  empty.RemoveChecked();
  EXPECT_TRUE(empty.Empty());
}

TEST(DeleteList, RemoveTakesOnlyTickedRowsAmongDuplicates) {
  auto list = Make({L"x", L"dup", L"y", L"dup", L"z"});
  list.SetChecked(3, true);
  list.SetChecked(0, true);
  list.RemoveChecked();
  ASSERT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.At(0).path, L"dup");
  EXPECT_EQ(list.At(1).path, L"y");
  EXPECT_EQ(list.At(2).path, L"z");
  list.RemoveChecked();  // nothing ticked: nothing changes
  EXPECT_EQ(list.Count(), 3u);
  list.SelectAll();
  list.RemoveChecked();
  EXPECT_TRUE(list.Empty());
}

TEST(DeleteList, NoSixteenBitLimit) {
  app::DeleteList list;
  for (int i = 0; i < 40000; ++i) list.Append(std::to_wstring(i), L"File");
  list.Invert();
  list.SetChecked(39999, false);
  list.RemoveChecked();
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.At(0).path, L"39999");
}

// The context menu's commands act on highlighted rows, not on ticks.
TEST(DeleteList, HighlightedRowCommands) {
  auto list = Make({L"C:\\a", L"C:\\b", L"C:\\c", L"C:\\d"});
  list.SetChecked(0, true);
  EXPECT_EQ(list.PathsText({3, 1, 3, 9}), L"C:\\b\r\nC:\\d");
  EXPECT_EQ(list.PathsText({}), L"");
  list.SetCheckedRows({1, 2, 7}, true);
  EXPECT_EQ(Marks(list), (std::vector<bool>{true, true, true, false}));
  list.SetCheckedRows({0}, false);
  EXPECT_EQ(Marks(list), (std::vector<bool>{false, true, true, false}));
  list.RemoveRows({2, 0, 2, 12});  // one ticked, one not
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_EQ(list.At(0).path, L"C:\\b");
  EXPECT_TRUE(list.At(0).checked);
  EXPECT_EQ(list.At(1).path, L"C:\\d");
  list.RemoveRows({1});  // the rows before the first removed one stay as they were
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.At(0).path, L"C:\\b");
}

}  // namespace

// Records kept as loaded: a rule, one of an unknown type with further
// fields, one with no type at all. Each is one row for every command, and
// the list gives every record back as it was, a changed rule as changed.
TEST(DeleteList, RulesAndRecordsNotUnderstoodAreRowsKeptAsLoaded) {
  const std::vector<std::wstring> texts{
      L"C:\\a|File", L"D:\\Cache\\|Rule|names=:.tmp|except=|age=7d|subfolders=yes|emptied=no", L"D:\\x|Later|1|2",
      L"no type",    L"D:\\Bad\\|Rule|names=*.tmp|except=|age=|subfolders=yes|emptied=no",     L"C:\\b\\|Folder",
  };
  app::DeleteList list;
  for (const std::wstring& t : texts) list.AppendRecord(t);
  EXPECT_EQ(list.RecordTexts(), texts);
  EXPECT_EQ(list.At(1).type, L"Rule");
  EXPECT_EQ(list.ShownPath(1), L"D:\\Cache\\  (*.tmp, older than 7 days, with subfolders)");
  EXPECT_EQ(list.ShownPath(2), L"D:\\x");
  EXPECT_EQ(list.ShownPath(4), texts[4]);
  EXPECT_EQ(list.ShownPath(5), L"C:\\b\\");
  listfile::FolderRule rule;
  EXPECT_FALSE(list.RuleAt(4, rule));
  ASSERT_TRUE(list.RuleAt(1, rule));

  rule.age = 30;
  list.SetChecked(1, true);
  list.SetRule(1, rule);
  EXPECT_TRUE(list.At(1).checked);
  EXPECT_EQ(list.RecordTexts()[1], L"D:\\Cache\\|Rule|names=:.tmp|except=|age=30d|subfolders=yes|emptied=no");
  list.Invert();
  list.RemoveChecked();
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_EQ(list.ShownPath(0), L"D:\\Cache\\  (*.tmp, older than 30 days, with subfolders)");
  list.AppendRule(rule);
  list.RemoveRows({0});
  EXPECT_EQ(list.RecordTexts(),
            (std::vector<std::wstring>{L"D:\\Cache\\|Rule|names=:.tmp|except=|age=30d|subfolders=yes|emptied=no"}));
}
