// Recycle Bin passes on SHFileOperationW: one call moves a batch of items;
// what a call leaves behind is tried again in a smaller batch, then one by
// one, so a single locked file costs a few calls, not one call per file.
#include "removal/recycle_bin_win.h"

#include <shellapi.h>

#include <unordered_map>

#include "base/folder_listing_win.h"
#include "base/handles_win.h"
#include "base/paths.h"
#include "removal/removal_plan.h"

namespace removal {
namespace {

constexpr size_t kBatchItems = 2000;
// FOF_WANTNUKEWARNING: what the Recycle Bin will not take (a folder it
// cannot move off its drive, a file too large for it) the shell would
// otherwise delete for good without a word.
constexpr FILEOP_FLAGS kQuietRecycle = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT |
                                       FOF_NOCONFIRMMKDIR | FOF_NO_CONNECTED_ELEMENTS | FOF_WANTNUKEWARNING;

using Items = std::vector<const std::wstring*>;

// The shell's question whether to delete such an item for good is never
// made: the shell takes that as a No and leaves the item where it is, to be
// reported. Only dialogs are refused, and only on this thread, only while
// the shell works.
LRESULT CALLBACK RefuseQuestions(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_CREATEWND) {
    wchar_t name[16] = L"";
    const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lp);
    if (!(create->lpcs->style & WS_CHILD) && GetClassNameW(reinterpret_cast<HWND>(wp), name, 16) &&
        !wcscmp(name, L"#32770"))
      return 1;
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

void MoveToBin(const Items& items) {
  std::wstring from;
  for (const std::wstring* path : items) from += base::paths::ShellPath(*path) + L'\0';
  from += L'\0';
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = kQuietRecycle;
  base::win::unique_hhook refuse(SetWindowsHookExW(WH_CBT, RefuseQuestions, nullptr, GetCurrentThreadId()));
  if (!refuse) return;  // without it the shell might delete for good: the items stay
  SHFileOperationW(&op);
}

Items StillPresent(const Items& items) {
  Items present;
  for (const std::wstring* path : items)
    if (!base::paths::IsGone(base::paths::Verbatim(*path))) present.push_back(path);
  return present;
}

// Why the shell left an item: the platform's answer to opening it for
// deletion, or no reason at all.
DWORD WhyLeft(const std::wstring& path) {
  base::win::unique_hfile probe(CreateFileW(base::paths::Verbatim(path).c_str(), DELETE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  return probe ? kNotRecycled : GetLastError();
}

DWORD RecycleOne(const std::wstring& path) {
  MoveToBin({&path});
  return base::paths::IsGone(base::paths::Verbatim(path)) ? 0 : WhyLeft(path);
}

// Moves a batch; while calls make headway the rest goes again as a batch.
// The shell takes a batch in order and may give up at an item it cannot
// move: when a call makes none, the first item left goes alone and the
// rest as a batch again; when that makes none either, each goes alone.
void MoveBatch(Items items, std::vector<Refusal>& refusals) {
  bool stalled = false;
  while (!items.empty()) {
    MoveToBin(items);
    Items left = StillPresent(items);
    if (left.size() < items.size()) {
      items = std::move(left);
      stalled = false;
      continue;
    }
    const size_t alone = stalled ? left.size() : 1;
    for (size_t i = 0; i < alone; ++i)
      if (const DWORD code = RecycleOne(*left[i])) refusals.push_back(Refused(*left[i], code));
    left.erase(left.begin(), left.begin() + static_cast<std::ptrdiff_t>(alone));
    items = std::move(left);
    stalled = true;
  }
}

constexpr int kHoldsOthers = -1;

// The round after which the folder is empty: 0 when it is empty now, one
// more than the latest round of its entries when every entry is a folder
// already placed in a round; kHoldsOthers when something else is in it (or
// it cannot be listed: then `error` says why).
int EmptyAfterRound(const std::wstring& path, const std::unordered_map<std::wstring, int>& placed, DWORD& error) {
  const std::wstring parent = base::paths::WithSeparator(base::paths::PathKey(path));
  int round = 0;
  bool others = false;
  const bool whole = base::ListEntries(base::paths::WithSeparator(path), L"*", [&](const WIN32_FIND_DATAW& data) {
    const auto found = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                           ? placed.find(parent + base::paths::FoldCase(data.cFileName))
                           : placed.end();
    others = found == placed.end();
    if (!others && found->second + 1 > round) round = found->second + 1;
    return !others;
  });
  error = others ? ERROR_DIR_NOT_EMPTY : GetLastError();
  return whole ? round : kHoldsOthers;
}

// One folder alone, as a retry does it: a link is removed as a link (or
// kept), and a folder goes only when it is empty now.
DWORD RecycleFolder(const std::wstring& path, bool linksAlone) {
  const std::wstring apiPath = base::paths::Verbatim(path);
  if (IsFolderLink(GetFileAttributesW(apiPath.c_str()))) {
    if (!linksAlone) return kLinkKept;
    return RemoveDirectoryW(apiPath.c_str()) ? 0 : GetLastError();
  }
  DWORD error = 0;
  if (EmptyAfterRound(path, {}, error) != 0) return base::paths::IsGone(apiPath) ? 0 : error;
  return RecycleOne(path);
}

}  // namespace

void RecycleFiles(const std::vector<std::wstring>& files, FateCheck& check, std::vector<std::uint64_t>& bytes,
                  Pacer& pacer, std::vector<Refusal>& refusals) {
  const size_t first = refusals.size();
  Items batch;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::wstring& path = files[i];
    DWORD code = kNotTried;
    if (!pacer.Stopped()) {
      const Verdict verdict = check.File(i);
      code = verdict.code;
      bytes[i] = verdict.bytes;
    }
    if (code) {
      refusals.push_back({&path, code});
      pacer.Step();
      continue;
    }
    batch.push_back(&path);
    if (batch.size() < kBatchItems) continue;
    MoveBatch(std::move(batch), refusals);
    pacer.Step(kBatchItems);
    batch.clear();
  }
  pacer.Step(batch.size());
  MoveBatch(std::move(batch), refusals);
  RetryRounds(refusals, first, pacer, [](const Refusal& r) { return RecycleOne(*r.path); });
}

void RecycleFolders(const std::vector<std::wstring>& folders, const FateCheck& check, Pacer& pacer,
                    std::vector<Refusal>& refusals) {
  const size_t first = refusals.size();
  const bool linksAlone = check.LinksAlone();
  std::unordered_map<std::wstring, int> placed;
  std::vector<Items> rounds;
  for (size_t i = 0; i < folders.size(); ++i) {
    const std::wstring& path = folders[i];
    pacer.Step();
    DWORD code = pacer.Stopped() ? kNotTried : check.Folder(i).code;
    if (!code && IsFolderLink(check.Folder(i).attributes)) {
      code = RecycleFolder(path, linksAlone);
    } else if (!code) {
      const int round = EmptyAfterRound(path, placed, code);
      if (round == kHoldsOthers) {
        if (base::paths::IsGone(base::paths::Verbatim(path))) code = 0;
      } else {
        code = 0;
        placed[base::paths::PathKey(path)] = round;
        if (rounds.size() <= static_cast<size_t>(round)) rounds.resize(round + 1);
        rounds[round].push_back(&path);
      }
    }
    if (code) refusals.push_back(Refused(path, code));
  }
  for (Items& round : rounds) {
    // Only folders that are really empty now go: an entry that stayed in an
    // earlier round must not be moved along with its folder.
    Items ready;
    for (const std::wstring* path : round) {
      DWORD code = 0;
      if (EmptyAfterRound(*path, {}, code) == 0)
        ready.push_back(path);
      else
        refusals.push_back(Refused(*path, code));
    }
    MoveBatch(std::move(ready), refusals);
  }
  RetryRounds(refusals, first, pacer, [&](const Refusal& r) { return RecycleFolder(*r.path, linksAlone); });
  AgainOnceEmptied(refusals, first, pacer, [&](const Refusal& r) { return RecycleFolder(*r.path, linksAlone); });
}

}  // namespace removal
