// A routine's record in a list: its escapes, the round trip through a list
// file, the keys that read and those that do not.
#include "listfile/routine.h"

#include <gtest/gtest.h>

#include "list_bytes.h"
#include "listfile/list_file.h"

namespace {

using listfile::ParseRoutine;
using listfile::ReadRecord;
using listfile::Routine;

Routine Browser() {
  Routine r;
  r.name = L"Chrome* | Cache ^1";
  r.group = L"Google Chrome";
  r.keys = {{L"Detect", L"HKCU\\Software\\Google\\Chrome"},
            {L"DetectFile", L"%LocalAppData%\\Google\\Chrome*"},
            {L"Warning", L"Signs you out: see C:\\Help | page 2."},
            {L"FileKey1", L"%LocalAppData%\\Google\\Chrome*\\User Data\\*\\Cache|*.*|REMOVESELF"},
            {L"FileKey2", L"C:\\Logs|*.log;www.office[1].xml|RECURSE"},
            {L"ExcludeKey1", L"FILE|C:\\Logs\\|keep*.log"},
            {L"ExcludeKey2", L"PATH|%AppData%\\Keep\\"}};
  return r;
}

TEST(RoutineRecord, RoundTripsThroughAListFileByteForByte) {
  const std::wstring text = listfile::RoutineRecordText(Browser());
  EXPECT_EQ(text.find(L'*'), std::wstring::npos);
  EXPECT_EQ(text.substr(0, 32), L"Chrome^s ^v Cache ^^1|Routine|gr");
  const listfile::Record record = ReadRecord(text);
  ASSERT_EQ(record.kind, listfile::RecordKind::Routine);
  const Routine* read = record.parsed.AsRoutine();
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->name, Browser().name);
  EXPECT_EQ(read->group, L"Google Chrome");
  ASSERT_EQ(read->keys.size(), 7u);
  EXPECT_EQ(read->keys[2].value, L"Signs you out: see C:\\Help | page 2.");
  ASSERT_EQ(read->fileKeys.size(), 2u);
  EXPECT_TRUE(read->fileKeys[0].removeSelf);
  EXPECT_EQ(read->fileKeys[0].patterns, std::vector<std::wstring>{L"*.*"});
  EXPECT_TRUE(read->fileKeys[1].recurse);
  EXPECT_EQ(read->fileKeys[1].patterns, (std::vector<std::wstring>{L"*.log", L"www.office[1].xml"}));
  ASSERT_EQ(read->excludes.size(), 2u);
  EXPECT_EQ(read->excludes[1].kind, listfile::ExcludeKind::Path);
  EXPECT_EQ(read->excludes[1].patterns, std::vector<std::wstring>{L"*"});
  EXPECT_EQ(read->detects.size(), 1u);
  EXPECT_EQ(read->detectFiles.size(), 1u);

  // Beside a file, a rule and a record of another type: the same bytes back.
  const std::string bytes = "C:\\a.txt|File*" + std::string(text.begin(), text.end()) +
                            "*C:\\T\\|Rule|names=:.tmp|except=|age=|subfolders=yes|emptied=no*x|Other|y*pw*\r\n";
  const listbytes::LoadedList list = listbytes::ReadList(bytes);
  ASSERT_EQ(list.records.size(), 4u);
  EXPECT_EQ(listbytes::EncodeList(list.records, list.password), bytes);
}

TEST(RoutineRecord, ABrokenRecordIsKeptAndActsOnNothing) {
  const std::wstring good = listfile::RoutineRecordText(Browser());
  const std::wstring broken[] = {
      L"Name|Routine|group=Apps|FileKey1=C:\\x^va^xb",          // an escape that means nothing
      L"Name|Routine|group=Apps|FileKey1=C:\\x^v*.tmp^",        // an escape cut short
      L"Name|Routine|group=Apps|RegKey1=HKCU\\Software\\x",     // a key that does not act
      L"Name|Routine|group=Apps|FileKey1=Temp\\x^v*.tmp",       // a relative folder
      L"Name|Routine|group=Apps|FileKey1=C:\\x\\..\\y^v*.tmp",  // a folder that climbs out
      L"Name|Routine|group=Apps|FileKey1=C:\\x^v..\\*.tmp",     // a pattern that climbs out
      L"Name|Routine|group=Apps|FileKey1=C:\\x^v*.tmp^vDEEP",   // an unknown third field
      L"Name|Routine|group=Apps|ExcludeKey1=FILE^vC:\\x\\",     // FILE naming no file
      L"Name|Routine|Apps|FileKey1=C:\\x",                      // no group field
      L"|Routine|group=Apps",                                   // no name
      L"Name|Routine|group=Apps|FileKey1",                      // a key without "="
  };
  for (const std::wstring& text : broken) {
    SCOPED_TRACE(text);
    const listfile::Record record = ReadRecord(text);
    EXPECT_EQ(record.kind, listfile::RecordKind::Routine);
    EXPECT_EQ(record.parsed.AsRoutine(), nullptr);
    EXPECT_EQ(listfile::RecordText(record), text);
  }
  EXPECT_NE(ReadRecord(good).parsed.AsRoutine(), nullptr);
  // A rule's record holds no routine, nor a routine's a rule.
  EXPECT_EQ(ReadRecord(good).parsed.AsRule(), nullptr);
}

TEST(RoutineKeys, KindsByNameAndFieldsAsWritten) {
  EXPECT_EQ(listfile::KindOfKey(L"filekey12"), listfile::KeyKind::FileKey);
  EXPECT_EQ(listfile::KindOfKey(L"DetectFile"), listfile::KeyKind::DetectFile);
  EXPECT_EQ(listfile::KindOfKey(L"Detect3"), listfile::KeyKind::Detect);
  EXPECT_EQ(listfile::KindOfKey(L"FileKeyA"), listfile::KeyKind::Other);
  EXPECT_EQ(listfile::KindOfKey(L"Warning2"), listfile::KeyKind::Other);
  listfile::FileKey key;
  std::wstring problem;
  // A FileKey without a pattern takes nothing; empty pieces are no pattern.
  ASSERT_TRUE(listfile::ParseFileKey(L"%Temp%\\x", key, problem));
  EXPECT_TRUE(key.patterns.empty());
  ASSERT_TRUE(listfile::ParseFileKey(L"%Temp%\\x|;*.tmp;|recurse", key, problem));
  EXPECT_EQ(key.patterns, std::vector<std::wstring>{L"*.tmp"});
  EXPECT_TRUE(key.recurse);
  EXPECT_FALSE(listfile::ParseFileKey(L"%Temp%x\\y|*.tmp", key, problem));
  EXPECT_FALSE(listfile::ParseFileKey(L"C:\\x|a\\b", key, problem));
  EXPECT_FALSE(listfile::ParseFileKey(L"C:\\x|C:*.tmp", key, problem));
  EXPECT_FALSE(problem.empty());
  listfile::ExcludeKey exclude;
  ASSERT_TRUE(listfile::ParseExcludeKey(L"FILE|C:\\Logs\\keep.log", exclude, problem));
  EXPECT_EQ(exclude.folder, L"C:\\Logs\\");
  EXPECT_EQ(exclude.patterns, std::vector<std::wstring>{L"keep.log"});
  ASSERT_TRUE(listfile::ParseExcludeKey(L"REG|HKCU\\Software\\x", exclude, problem));
  EXPECT_EQ(exclude.kind, listfile::ExcludeKind::Registry);
}

}  // namespace
