// Whole-file I/O for builds off Windows (the native unit tests).
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/encoding.h"
#include "base/file_io.h"

namespace base::files {
namespace {

std::wstring ErrnoText(int code) { return enc::FromUtf8(std::strerror(code)); }

struct File {
  std::FILE* f = nullptr;
  ~File() {
    if (f) std::fclose(f);
  }
};

}  // namespace

bool ReadAll(const std::wstring& path, std::string& bytes, std::wstring& reason) {
  std::string().swap(bytes);
  File file;
  file.f = std::fopen(enc::ToUtf8(path).c_str(), "rb");
  if (!file.f) {
    reason = ErrnoText(errno);
    return false;
  }
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, file.f)) > 0) bytes.append(buf, n);
  if (!std::ferror(file.f)) return true;
  std::string().swap(bytes);
  reason = L"Device I/O error";
  return false;
}

// The temporary file's name is the target's with ".~tmp" added; rename
// replaces the target in one step.
bool WriteAll(const std::wstring& path, const std::string& bytes, std::wstring& reason) {
  const std::string target = enc::ToUtf8(path);
  const std::string temp = target + ".~tmp";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) {
    reason = ErrnoText(errno);
    return false;
  }
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (!ok) reason = ErrnoText(errno);
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    reason = ErrnoText(errno);
  }
  if (ok && std::rename(temp.c_str(), target.c_str()) != 0) {
    ok = false;
    reason = ErrnoText(errno);
  }
  if (!ok) std::remove(temp.c_str());
  return ok;
}

}  // namespace base::files
