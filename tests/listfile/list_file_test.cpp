// Delete-list file: exact bytes written, the reading rule, record fields and
// the load-then-save cycle.
#include "listfile/list_file.h"

#include <gtest/gtest.h>

#include "list_bytes.h"

namespace {

using listfile::Record;
using Records = std::vector<Record>;

bool Same(const Records& a, const Records& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].path != b[i].path || a[i].type != b[i].type) return false;
  }
  return true;
}

const std::string kBom("\xEF\xBB\xBF");

TEST(ListFileEncode, AnsiFileByteForByte) {
  Records list{{L"C:\\Data\\old.txt", L"File"}, {L"C:\\Data\\Cache\\", L"Folder"}};
  EXPECT_EQ(listbytes::EncodeList(list, L"secret"), "C:\\Data\\old.txt|File*C:\\Data\\Cache\\|Folder*secret*\r\n");
  EXPECT_EQ(listbytes::EncodeList({{L"a", L""}}, L" p w "), "a|* p w *\r\n");
  // Characters of the code page stay single bytes, no mark.
  EXPECT_EQ(listbytes::EncodeList({{L"C:\\caf\u00e9", L"File"}}, L"\u20ac"), "C:\\caf\xe9|File*\x80*\r\n");
}

TEST(ListFileEncode, TextOutsideTheCodePageMakesTheWholeFileUtf8) {
  EXPECT_EQ(listbytes::EncodeList({{L"C:\\\u4e2d\\a.txt", L"File"}, {L"C:\\caf\u00e9", L"File"}}, L"pw"),
            kBom + "C:\\\xe4\xb8\xad\\a.txt|File*C:\\caf\xc3\xa9|File*pw*\r\n");
  EXPECT_EQ(listbytes::EncodeList({{L"C:\\a", L"File"}}, L"\u4e2d"), kBom + "C:\\a|File*\xe4\xb8\xad*\r\n");
  // ANSI bytes that would begin like the mark would be misread as UTF-8.
  EXPECT_EQ(listbytes::EncodeList({{L"\u00ef\u00bb\u00bfx", L"File"}}, L"pw"),
            kBom + "\xc3\xaf\xc2\xbb\xc2\xbfx|File*pw*\r\n");
}

TEST(ListFileDecode, MarkChoosesUtf8AndZeroBytesReadAsBlanks) {
  EXPECT_EQ(listfile::DecodeListBytes(kBom + "\xe4\xb8\xad*x"), L"\u4e2d*x");
  EXPECT_EQ(listfile::DecodeListBytes(kBom + std::string("a\0b", 3)), L"a b");
  EXPECT_EQ(listfile::DecodeListBytes(std::string("\xe9\0\x80", 3)), L"\u00e9 \u20ac");
  // Only the whole mark counts.
  EXPECT_EQ(listfile::DecodeListBytes("\xEF\xBB*"), L"\u00ef\u00bb*");
  EXPECT_EQ(listfile::DecodeListBytes(kBom), L"");
  EXPECT_EQ(listfile::DecodeListBytes(""), L"");
}

TEST(ListFileParse, RecordsPasswordAndIgnoredLastPiece) {
  auto content = listfile::ParseListText(L"a|File*b|Folder*pw*\r\n");
  EXPECT_EQ(content.records, (std::vector<std::wstring>{L"a|File", L"b|Folder"}));
  EXPECT_EQ(content.password, L"pw");
  // Fewer than two separators: no records; the password is piece U-1.
  EXPECT_TRUE(listfile::ParseListText(L"").records.empty());
  EXPECT_EQ(listfile::ParseListText(L"").password, L"");
  EXPECT_TRUE(listfile::ParseListText(L"no separator\r\n").records.empty());
  content = listfile::ParseListText(L"pw*\r\n");
  EXPECT_TRUE(content.records.empty());
  EXPECT_EQ(content.password, L"pw");
  // A password with "*" in it is split: the part before its last "*" reads as records.
  content = listfile::ParseListText(L"a|File*p*w*\r\n");
  EXPECT_EQ(content.records, (std::vector<std::wstring>{L"a|File", L"p"}));
  EXPECT_EQ(content.password, L"w");
  // Whatever follows the last "*" is ignored.
  EXPECT_EQ(listfile::ParseListText(L"a|File*pw*garbage").password, L"pw");
}

TEST(ListFileRecord, FieldsOfOldAndNewRecords) {
  auto fields = [](const std::wstring& r) {
    Record f = listfile::ReadRecord(r);
    return f.path + L"/" + f.type;
  };
  EXPECT_EQ(fields(L"C:\\a.txt|File"), L"C:\\a.txt/File");
  EXPECT_EQ(fields(L"C:\\a.txt"), L"C:\\a.txt/");
  EXPECT_EQ(fields(L"C:\\a.txt|File|"), L"C:\\a.txt/File");
  EXPECT_EQ(fields(L"C:\\T\\|Folder||x"), L"C:\\T\\/Folder");
  EXPECT_EQ(fields(L"|"), L"/");
  EXPECT_EQ(fields(L""), L"/");
}

TEST(ListFileRead, LoadThenSaveWritesTheSameBytes) {
  for (const std::string& bytes :
       {std::string("C:\\Data\\old.txt|File*C:\\Data\\Cache\\|Folder*secret*\r\n"),
        std::string("C:\\caf\xe9|File*  blanks  *\r\n"), kBom + "C:\\\xe4\xb8\xad|File*pw*\r\n"}) {
    listbytes::LoadedList list = listbytes::ReadList(bytes);
    EXPECT_EQ(listbytes::EncodeList(list.records, list.password), bytes);
  }
  // Records written by a save after a load of the old kind keep their type.
  listbytes::LoadedList old = listbytes::ReadList("C:\\a|File|*C:\\b\\|Folder||*pw*\r\n");
  EXPECT_TRUE(Same(old.records, {{L"C:\\a", L"File"}, {L"C:\\b\\", L"Folder"}}));
  EXPECT_EQ(old.password, L"pw");
  // Kept whole, every record comes back as it was: further fields, no type,
  // a rule, empty records, text outside the code page.
  for (const std::string& bytes :
       {std::string("C:\\a|File|*C:\\b\\|Folder||*x*D:\\T\\|Rule|names=:.tmp|except=|age=|subfolders=no|"
                    "emptied=no*pw*\r\n"),
        std::string("**pw*\r\n"), kBom + "C:\\\xe4\xb8\xad|Later|\xe2\x82\xac*pw*\r\n"}) {
    listfile::ListContent texts = listfile::ReadListTexts(bytes);
    EXPECT_EQ(listfile::EncodeRecordTexts(texts.records, texts.password), bytes);
  }
}

}  // namespace
