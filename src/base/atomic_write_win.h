// Files written whole or not at all. The bytes go to a temporary file in the
// target's own folder and are flushed to the disk; only then does that file
// take the target's name, in one step. A failure at any point leaves the
// target as it was and no temporary file behind. A whole file written
// from bytes in memory goes through files::WriteAll (file_io.h); these are
// its steps, for a writer that streams or must not replace a name.
#pragma once
#include <windows.h>

#include <string>

#include "base/handles_win.h"

namespace base::files {

class StagedFile {
 public:
  StagedFile() = default;
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;
  // Removes the temporary file unless it was put in place.
  ~StagedFile();

  // Creates an empty temporary file in the folder (empty: the current one).
  bool Open(const std::wstring& folder);
  bool Write(const void* data, size_t size);
  // Flushes and closes the temporary file, then gives it the target's name:
  // replacing a file of that name, or, with replace false, failing with
  // ERROR_ALREADY_EXISTS when the name is taken (the staged file stays,
  // ready for another name).
  bool MoveTo(const std::wstring& target, bool replace);
  // The Win32 error of the step that failed.
  DWORD Error() const { return error_; }

 private:
  bool Fail(DWORD code);
  bool Close();

  base::win::unique_hfile file_;
  std::wstring temp_;
  bool placed_ = false;
  DWORD error_ = ERROR_SUCCESS;
};

// Moves the file at from over the file at to in one step, with write-through.
// Returns ERROR_SUCCESS or the Win32 error; a target that another program
// holds open gives ERROR_SHARING_VIOLATION rather than a bare "access denied".
DWORD MoveOver(const std::wstring& from, const std::wstring& to);

// True for the errors that mean "a file of that name is already there".
bool NameTaken(DWORD error);

}  // namespace base::files
