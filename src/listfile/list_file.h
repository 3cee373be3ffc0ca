// The delete-list file: how a list and its password become the file's
// bytes (ANSI, or UTF-8 behind a byte-order mark when the ANSI code page
// cannot hold some text), and the reading rule the load and the run share.
#pragma once
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "listfile/folder_rule.h"
#include "listfile/routine.h"

namespace listfile {

// The type words a list file knows, and the kinds of record they make.
extern const wchar_t kFileType[];
extern const wchar_t kFolderType[];
extern const wchar_t kRuleType[];
extern const wchar_t kRoutineType[];
enum class RecordKind : unsigned char { File, Folder, Rule, Routine, Other };

// One record of the list, read once when the list is read: its path (field
// 0; a routine's name as the record writes it), its type word (field 1,
// empty when it has no "|"), its kind, a rule's or a routine's parsed
// fields (a record of theirs that does not read has none), and the
// record's whole text when "path|type" would not give it back (further
// fields, no "|"), so that saving writes it as it was. Every other type
// word is kept as it is, and never acted on.
// A rule's or a routine's parsed fields, held by one pointer so that the
// record of a file or a folder (a million of them in a long list) carries
// only that pointer; copied whole.
class ParsedFields {
 public:
  ParsedFields() = default;
  explicit ParsedFields(FolderRule rule) : fields_(std::make_unique<const Fields>(std::move(rule))) {}
  explicit ParsedFields(Routine routine) : fields_(std::make_unique<const Fields>(std::move(routine))) {}
  ParsedFields(const ParsedFields& other) : fields_(Copy(other)) {}
  ParsedFields& operator=(const ParsedFields& other) {
    if (this != &other) fields_ = Copy(other);
    return *this;
  }
  ParsedFields(ParsedFields&&) noexcept = default;
  ParsedFields& operator=(ParsedFields&&) noexcept = default;

  // The rule or the routine read; null for any other record, and for one of
  // theirs that does not read.
  const FolderRule* AsRule() const { return fields_ ? std::get_if<FolderRule>(fields_.get()) : nullptr; }
  const Routine* AsRoutine() const { return fields_ ? std::get_if<Routine>(fields_.get()) : nullptr; }

 private:
  using Fields = std::variant<FolderRule, Routine>;
  static std::unique_ptr<const Fields> Copy(const ParsedFields& other) {
    return other.fields_ ? std::make_unique<const Fields>(*other.fields_) : nullptr;
  }
  std::unique_ptr<const Fields> fields_;
};

struct Record {
  Record() = default;
  // The record "path|type" would read as (a type holding "|" brings the
  // further fields, as a rule's record does).
  Record(std::wstring path, std::wstring type);

  std::wstring path;
  std::wstring type;
  std::wstring text;
  ParsedFields parsed;
  RecordKind kind = RecordKind::Other;  // last, so a tick beside it packs in
};
// A record's text as the list file holds it, read.
Record ReadRecord(std::wstring text);
// A rule's record, and a routine's.
Record RuleRecord(const FolderRule& rule);
Record RoutineRecord(const Routine& routine);
// The kind a type word makes.
RecordKind KindOf(const std::wstring& type);

// The UTF-8 byte-order mark that starts a file in the UTF-8 form.
extern const char kUtf8Bom[3];

// The record's text as the list file holds it: "path|type", or its whole
// text as it was read.
std::wstring RecordText(const Record& record);
// The file's bytes from the records' whole texts (RecordText), each written
// as it is, so that a record kept as it was loaded comes back byte for
// byte: the records joined by "*", then "*", the password and "*"; ANSI
// when every character fits, otherwise UTF-8 with a byte-order mark; CR LF
// at the end either way.
std::string EncodeRecordTexts(const std::vector<std::wstring>& records, const std::wstring& password);

// The file's bytes as text: a file that starts with the byte-order mark is
// UTF-8, any other is read by the text reader's rules (byte 0 as a blank,
// the rest from the ANSI code page).
std::wstring DecodeListBytes(std::string bytes);

// What the reading rule finds in a file's text: pieces 0 to U-2 are the
// entry records, piece U-1 the password, piece U is ignored.
struct ListContent {
  std::vector<std::wstring> records;
  std::wstring password;
};
ListContent ParseListText(const std::wstring& text);

// The records' whole texts and the password of a file's bytes (decode and
// parse), for a reader that keeps records as they are.
ListContent ReadListTexts(std::string bytes);

// Reads a list file's bytes: false with the platform's reason when the file
// cannot be read, and with kNotAListText when it holds a NUL byte (no list
// file does: a picture or a program was chosen).
bool ReadListFile(const std::wstring& path, std::string& bytes, std::wstring& reason);
extern const wchar_t kNotAListText[];

// The message for a list that could not be loaded into the window.
std::wstring LoadFailedText(const std::wstring& path, const std::wstring& reason);
// The message for a save whose desktop shortcut could not be placed.
std::wstring ShortcutFailedText(const std::wstring& path, const std::wstring& reason);

// The message for a save that did not reach the disk.
std::wstring SaveFailedText(const std::wstring& path, const std::wstring& reason);
// The message for a password the file could not hold: "*" separates its
// pieces, so part of the password would read back as entries.
extern const wchar_t kPasswordWithStarText[];

}  // namespace listfile
