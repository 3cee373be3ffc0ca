// Whole-file reads and writes, the only file I/O the portable code does.
// Windows uses the wide-character API with long-path forms; elsewhere the
// path is passed on as UTF-8.
#pragma once
#include <string>

namespace base::files {

// Reads every byte of the file into `bytes`. False, with the platform's
// reason and `bytes` empty, when the file cannot be opened or read.
bool ReadAll(const std::wstring& path, std::string& bytes, std::wstring& reason);

// Makes the bytes the file's whole content: they are written to a temporary
// file beside it, which then replaces it in one step. Returns true only when
// every byte reached the file; otherwise reason says why, and the file and
// its folder are as they were.
bool WriteAll(const std::wstring& path, const std::string& bytes, std::wstring& reason);

}  // namespace base::files
