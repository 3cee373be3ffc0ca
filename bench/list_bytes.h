// A delete list's bytes made from records and read back into records the
// way the program saves and loads a list: each record's whole text
// (RecordText) through EncodeRecordTexts, and ReadListTexts with each piece
// read by ReadRecord. Used by the tests and the benchmarks that write or
// read list files.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "listfile/list_file.h"

namespace listbytes {

inline std::string EncodeList(const std::vector<listfile::Record>& records, const std::wstring& password) {
  std::vector<std::wstring> texts;
  texts.reserve(records.size());
  for (const listfile::Record& r : records) texts.push_back(listfile::RecordText(r));
  return listfile::EncodeRecordTexts(texts, password);
}

struct LoadedList {
  std::vector<listfile::Record> records;
  std::wstring password;
};

inline LoadedList ReadList(std::string bytes) {
  listfile::ListContent content = listfile::ReadListTexts(std::move(bytes));
  LoadedList list;
  list.password = std::move(content.password);
  for (std::wstring& text : content.records) list.records.push_back(listfile::ReadRecord(std::move(text)));
  return list;
}

}  // namespace listbytes
