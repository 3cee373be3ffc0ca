// The deletion passes on the wide-character file API, with long-path forms
// so that long and non-ANSI names are removed as they are listed.
#include "removal/removal_passes_win.h"

#include <windows.h>

#include <unordered_set>

#include "base/long_path.h"
#include "services/error_trap_win.h"

namespace removal {
namespace {

// A refusal during a pass, checked again once both passes are over.
struct Refusal {
  const std::wstring* path;
  DWORD code;
};
// Marks a folder link that was left in place on purpose.
constexpr DWORD kLinkKept = 0xFFFFFFFF;
constexpr DWORD kProgressEveryMs = 250;

// A folder path as the API takes it: long paths get their prefix, and a
// closing backslash (which the prefixed form does not allow) is dropped.
std::wstring FolderApiPath(const std::wstring& path) {
  if (path.size() > 3 && path.back() == L'\\') return paths::LongPath(path.substr(0, path.size() - 1));
  return paths::LongPath(path);
}

class Ticker {
 public:
  Ticker(const ProgressFn& progress, size_t total) : progress_(progress), total_(total), last_(GetTickCount()) {}
  void Step() {
    ++done_;
    if (!progress_ || (done_ & 63) != 0) return;
    const DWORD now = GetTickCount();
    if (now - last_ < kProgressEveryMs) return;
    last_ = now;
    progress_(done_, total_);
  }

 private:
  const ProgressFn& progress_;
  size_t total_;
  size_t done_ = 0;
  DWORD last_;
};

bool IsFolderLink(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void FilePass(const std::vector<std::wstring>& files, Ticker& ticker, std::vector<Refusal>& refusals) {
  for (const std::wstring& path : files) {
    if (!DeleteFileW(paths::LongPath(path).c_str())) refusals.push_back({&path, GetLastError()});
    ticker.Step();
  }
}

void FolderPass(const std::vector<std::wstring>& folders, Ticker& ticker, std::vector<Refusal>& refusals) {
  const bool linksAlone = FolderLinksRemovableAlone();
  for (const std::wstring& path : folders) {
    const std::wstring apiPath = FolderApiPath(path);
    if (!linksAlone && IsFolderLink(GetFileAttributesW(apiPath.c_str()))) {
      refusals.push_back({&path, kLinkKept});
    } else if (!RemoveDirectoryW(apiPath.c_str())) {
      refusals.push_back({&path, GetLastError()});
    }
    ticker.Step();
  }
}

// A refused item counts only when it is still there now.
std::vector<Leftover> StillThere(const std::vector<Refusal>& refusals) {
  std::vector<Leftover> leftovers;
  std::unordered_set<std::wstring> seen;
  for (const Refusal& r : refusals) {
    const DWORD attributes = GetFileAttributesW(FolderApiPath(*r.path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && GetLastError() != ERROR_ACCESS_DENIED &&
        GetLastError() != ERROR_SHARING_VIOLATION)
      continue;
    if (!seen.insert(*r.path).second) continue;
    std::wstring reason =
        r.code == kLinkKept
            ? std::wstring(L"a link to another folder; left so that nothing behind it is removed")
            : ReasonText(r.code, attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY),
                         trap::SystemMessage(r.code));
    leftovers.push_back({*r.path, std::move(reason)});
  }
  return leftovers;
}

}  // namespace

bool FolderLinksRemovableAlone() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return !(ntdll && GetProcAddress(ntdll, "wine_get_version"));
}

std::vector<Leftover> RunPasses(const Plan& plan, const ProgressFn& progress) {
  std::vector<Refusal> refusals;
  Ticker ticker(progress, plan.files.size() + plan.folders.size());
  FilePass(plan.files, ticker, refusals);
  FolderPass(plan.folders, ticker, refusals);
  return StillThere(refusals);
}

}  // namespace removal
