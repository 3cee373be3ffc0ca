// What an approval to run by itself is: the list file it was given for, the
// digest of that file's bytes, when the list runs and where its files go,
// and the names of the sign-in value and the scheduled task made for it.
// The approval's text as the settings keep it, the unattended command line,
// and the check that lets a run go ahead only for the very bytes approved.
#pragma once
#include <functional>
#include <string>

namespace unattended {

enum class RunWhen { Never, SignIn, Daily, Weekly };

struct Schedule {
  RunWhen when = RunWhen::Never;
  int hour = 0;     // 0..23, for Daily and Weekly
  int minute = 0;   // 0..59
  int weekday = 1;  // 0 = Sunday .. 6 = Saturday, for Weekly
};

struct Approval {
  std::wstring listPath;  // as the user chose it, full
  std::wstring digest;    // SHA-256 of the file's bytes, 64 lower-case hex digits
  Schedule schedule;
  bool recycle = false;     // the files go to the Recycle Bin
  std::wstring signInName;  // the Run value made for it, if any
  std::wstring taskName;    // the task made for it (in the folder "Ombrelay"), if any
};

// "sha256=...|runs=daily|time=03:00|day=mon|recycle=no|signin=...|task=...":
// the value the settings keep under the list's path.
std::wstring ApprovalText(const Approval& approval);
// The approval a kept text holds; false for a text that does not read (an
// unreadable approval approves nothing).
bool ReadApprovalText(const std::wstring& text, Approval& approval);

// "03:00": the schedule's time of day, as the settings and the task keep it.
std::wstring TimeText(const Schedule& schedule);
// "Every day at 03:00", "At sign-in", ...: plain words for the log and the
// dialog.
std::wstring ScheduleText(const Schedule& schedule);

// The command line's argument text of an unattended run of the list:
// "Remove Files*<list path>*unattended", quoted.
std::wstring UnattendedArguments(const std::wstring& listPath);
// Whether a removal run's argument text asks for an unattended run: it is
// exactly that text (quoted, or without quotes as any removal command line
// may be), "unattended" in lower case and nothing after it but blanks. Any
// other text goes to the password prompt, which asks before it removes.
bool IsUnattendedRun(const std::wstring& arguments);

// The program and the argument text of a starter's command line, as the
// Run value holds it: "<program>" <arguments>.
struct StartCommand {
  std::wstring program;
  std::wstring arguments;
};
StartCommand SplitStartCommand(const std::wstring& commandLine);
// Whether a starter is one an approval made: the program `ourProgram`, with
// the quoted argument text UnattendedArguments makes, for the list at
// `listPath`, or for any list when `listPath` is empty. Paths are compared
// as the file system compares them.
bool IsApprovalStarter(const StartCommand& command, const std::wstring& ourProgram, const std::wstring& listPath);

// What reading the list file gave: its bytes, or why it could not be read.
struct FileRead {
  bool read = false;
  std::string bytes;
  std::wstring reason;
};
using DigestFn = std::function<std::wstring(const std::string& bytes)>;

// Why an unattended run of the list must remove nothing, or the empty text
// when the file read is byte for byte the one approved. `approval` is null
// when the list was never approved (or its approval does not read).
std::wstring ApprovalProblem(const Approval* approval, const FileRead& file, const DigestFn& digest);

// Whether the list file's bytes are the ones the window last loaded or saved
// (their digest `seen`, empty when it has none): only those may be approved,
// since an approval covers what the user saw.
bool BytesAreTheSeen(const std::string& bytes, const std::wstring& seen, const DigestFn& digest);

// The Run value's and the task's name for a list: "Ombrelay - <file name
// without its extension>", with " (2)", " (3)" ... after it for the n-th.
std::wstring StartName(const std::wstring& listPath, int n);

}  // namespace unattended
