// The delete-list file's writer and reading rule. Both sides live here so
// that they stay in step.
#include "listfile/list_file.h"

#include <utility>

#include "base/encoding.h"
#include "base/file_io.h"
#include "base/text_utils.h"

namespace listfile {

const char kUtf8Bom[3] = {'\xEF', '\xBB', '\xBF'};

namespace {

bool StartsWithBom(const std::string& bytes) { return bytes.size() >= 3 && bytes.compare(0, 3, kUtf8Bom, 3) == 0; }

std::string Encode(const std::wstring& text) {
  std::string bytes;
  // A name the code page cannot hold would come back as another name, and
  // ANSI bytes that begin like the mark would be read as UTF-8.
  if (!base::enc::ToAnsi(text, bytes) || StartsWithBom(bytes)) {
    bytes.assign(kUtf8Bom, 3);
    bytes += base::enc::ToUtf8(text);
  }
  bytes += "\r\n";
  return bytes;
}

}  // namespace

const wchar_t kFileType[] = L"File";
const wchar_t kFolderType[] = L"Folder";
const wchar_t kRuleType[] = L"Rule";
const wchar_t kRoutineType[] = L"Routine";

RecordKind KindOf(const std::wstring& type) {
  if (type == kFileType) return RecordKind::File;
  if (type == kFolderType) return RecordKind::Folder;
  if (type == kRuleType) return RecordKind::Rule;
  return type == kRoutineType ? RecordKind::Routine : RecordKind::Other;
}

// A list of a hundred thousand files and folders comes through here: such
// a record keeps no text of its own, and only a rule's record is parsed.
Record ReadRecord(std::wstring text) {
  Record record;
  const size_t first = text.find(L'|');
  if (first == std::wstring::npos) {
    record.path = text;
    record.text = std::move(text);
    return record;
  }
  const size_t second = text.find(L'|', first + 1);
  record.path.assign(text, 0, first);
  record.type.assign(text, first + 1, second == std::wstring::npos ? std::wstring::npos : second - first - 1);
  record.kind = KindOf(record.type);
  if (record.kind == RecordKind::Rule) {
    FolderRule rule;
    if (ParseRule(text, rule)) record.parsed = ParsedFields(std::move(rule));
  } else if (record.kind == RecordKind::Routine) {
    Routine routine;
    if (ParseRoutine(text, routine)) record.parsed = ParsedFields(std::move(routine));
  }
  if (second != std::wstring::npos) record.text = std::move(text);
  return record;
}

Record::Record(std::wstring path, std::wstring type) {
  if (path.find(L'|') == std::wstring::npos && (type == kFileType || type == kFolderType)) {
    kind = KindOf(type);
    this->path = std::move(path);
    this->type = std::move(type);
    return;
  }
  *this = ReadRecord(path + L'|' + type);
}

Record RuleRecord(const FolderRule& rule) { return ReadRecord(RuleRecordText(rule)); }
Record RoutineRecord(const Routine& routine) { return ReadRecord(RoutineRecordText(routine)); }

std::wstring RecordText(const Record& record) {
  return record.text.empty() ? record.path + L'|' + record.type : record.text;
}

std::string EncodeRecordTexts(const std::vector<std::wstring>& records, const std::wstring& password) {
  size_t size = password.size() + 2;
  for (const std::wstring& r : records) size += r.size() + 1;
  std::wstring text;
  text.reserve(size);
  if (records.empty()) text += L'*';
  for (const std::wstring& r : records) {
    text += r;
    text += L'*';
  }
  text += password;
  text += L'*';
  return Encode(text);
}

std::wstring DecodeListBytes(std::string bytes) {
  if (!StartsWithBom(bytes)) return base::text::BytesToText(std::move(bytes));
  bytes.erase(0, 3);
  for (char& b : bytes) {
    if (b == '\0') b = ' ';
  }
  return base::enc::FromUtf8(bytes);
}

ListContent ParseListText(const std::wstring& text) {
  std::vector<std::wstring> pieces;
  base::text::SplitString(text, L'*', pieces);
  ListContent content;
  const size_t upper = pieces.size() - 1;  // U; SplitString gives at least one piece
  if (upper >= 1) content.password = std::move(pieces[upper - 1]);
  if (upper >= 2) {
    pieces.resize(upper - 1);
    content.records = std::move(pieces);
  }
  return content;
}

ListContent ReadListTexts(std::string bytes) { return ParseListText(DecodeListBytes(std::move(bytes))); }

const wchar_t kNotAListText[] = L"This file is not a delete list: it holds NUL bytes, which no delete list does.";

bool ReadListFile(const std::wstring& path, std::string& bytes, std::wstring& reason) {
  if (!base::files::ReadAll(path, bytes, reason)) return false;
  if (bytes.find('\0') == std::string::npos) return true;
  std::string().swap(bytes);
  reason = kNotAListText;
  return false;
}

std::wstring LoadFailedText(const std::wstring& path, const std::wstring& reason) {
  return L"The delete list could not be loaded from\n" + path + L"\n" + reason +
         L"\n\nThe list in the window has not been changed.";
}

std::wstring ShortcutFailedText(const std::wstring& path, const std::wstring& reason) {
  return L"The list was saved to " + path + L", but the desktop shortcut could not be placed: " + reason;
}

std::wstring SaveFailedText(const std::wstring& path, const std::wstring& reason) {
  return L"The delete list could not be saved to\n" + path + L"\n" + reason +
         L"\n\nNo shortcut has been placed on your desktop.";
}

const wchar_t kPasswordWithStarText[] =
    L"The password cannot contain \"*\": the delete-list file uses it to separate its entries. "
    L"Please enter another password.";

}  // namespace listfile
