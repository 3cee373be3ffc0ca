// Benchmark of the removal run and the delete-list file on a tree of 100,000
// files in 5,050 folders (50 folders of 100 subfolders, 20 files in each
// subfolder), listed as the add command lists it: 105,051 entries.
//   (a) the minimal delete loop: DeleteFileW for every file, then
//       RemoveDirectoryW for every folder, deepest first;
//   (b) the removal run's two passes on an identical tree;
// printed as the ratio b/a, and the save and load of the whole list.
// Usage: removal_win_bench [scratch folder]   (default: %TEMP%\ombrelay_bench)
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/delete_list.h"
#include "listfile/file_io.h"
#include "listfile/list_file.h"
#include "listfile/text_utils.h"
#include "removal/removal_passes_win.h"
#include "removal/removal_plan.h"

namespace {

constexpr int kTop = 50, kSub = 100, kFiles = 20;

double Seconds(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::wstring Two(int n) { return (n < 10 ? L"0" : L"") + std::to_wstring(n); }

// Makes the tree and gives back its records in the add command's order: the
// folder itself, its subfolders (each after the folder holding it), files.
std::vector<listfile::Record> MakeTree(const std::wstring& root) {
  std::vector<listfile::Record> folders{{root + L"\\", L"Folder"}}, files;
  CreateDirectoryW(root.c_str(), nullptr);
  for (int t = 0; t < kTop; ++t) {
    const std::wstring top = root + L"\\folder_" + Two(t);
    CreateDirectoryW(top.c_str(), nullptr);
    folders.push_back({top + L"\\", L"Folder"});
    for (int s = 0; s < kSub; ++s) {
      const std::wstring sub = top + L"\\subfolder_" + Two(s);
      CreateDirectoryW(sub.c_str(), nullptr);
      folders.push_back({sub + L"\\", L"Folder"});
      for (int f = 0; f < kFiles; ++f) {
        const std::wstring file = sub + L"\\document_" + Two(f) + L".txt";
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
          DWORD wrote = 0;
          WriteFile(h, "x", 1, &wrote, nullptr);
          CloseHandle(h);
        }
        files.push_back({file, L"File"});
      }
    }
  }
  folders.insert(folders.end(), files.begin(), files.end());
  return folders;
}

// The baseline: every file, then every folder from the deepest up.
double MinimalLoop(const std::vector<listfile::Record>& records) {
  std::vector<const std::wstring*> files, folders;
  for (const listfile::Record& r : records) (r.type == L"File" ? files : folders).push_back(&r.path);
  const auto start = std::chrono::steady_clock::now();
  for (const std::wstring* f : files) DeleteFileW(f->c_str());
  for (auto d = folders.rbegin(); d != folders.rend(); ++d) RemoveDirectoryW((*d)->c_str());
  return Seconds(start);
}

double Passes(const std::vector<listfile::Record>& records, size_t& leftovers) {
  const removal::Plan plan = removal::MakePlan(records);
  const auto start = std::chrono::steady_clock::now();
  leftovers = removal::RunPasses(plan, [](size_t, size_t) {}).size();
  return Seconds(start);
}

bool Gone(const std::wstring& root) { return GetFileAttributesW(root.c_str()) == INVALID_FILE_ATTRIBUTES; }

void SaveAndLoad(const std::vector<listfile::Record>& records, const std::wstring& listPath) {
  app::DeleteList list;
  for (const listfile::Record& r : records) list.Append(r.path, r.type);

  auto start = std::chrono::steady_clock::now();
  std::vector<listfile::Record> saved;
  saved.reserve(list.Count());
  for (const app::Entry& e : list.Entries()) saved.push_back({e.path, e.type});
  const textutil::SaveResult result = textutil::SaveBytes(listfile::EncodeList(saved, L"password"), listPath);
  const double save = Seconds(start);

  start = std::chrono::steady_clock::now();
  listfile::LoadedList loaded = listfile::ReadList(fileio::ReadAll(listPath));
  list.Clear();
  list.Reserve(loaded.records.size());
  for (listfile::Record& r : loaded.records) list.Append(std::move(r.path), std::move(r.type));
  const double load = Seconds(start);

  std::printf("save of %zu entries: %.3f s (%s)\nload of %zu entries: %.3f s\n", saved.size(), save,
              result.ok ? "written" : "FAILED", list.Count(), load);
  DeleteFileW(listPath.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  std::wstring scratch;
  if (argc > 1) {
    scratch.assign(argv[1], argv[1] + std::strlen(argv[1]));
  } else {
    wchar_t temp[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temp);
    scratch = std::wstring(temp) + L"ombrelay_bench";
  }
  CreateDirectoryW(scratch.c_str(), nullptr);
  const std::wstring rootA = scratch + L"\\tree_a", rootB = scratch + L"\\tree_b";

  auto start = std::chrono::steady_clock::now();
  const std::vector<listfile::Record> a = MakeTree(rootA);
  const std::vector<listfile::Record> b = MakeTree(rootB);
  std::printf("two trees of %zu entries made in %.1f s\n", a.size(), Seconds(start));

  SaveAndLoad(b, scratch + L"\\list.txt");

  const double minimal = MinimalLoop(a);
  size_t leftovers = 0;
  const double passes = Passes(b, leftovers);
  std::printf("minimal delete loop: %.2f s (tree %s)\n", minimal, Gone(rootA) ? "gone" : "NOT gone");
  std::printf("removal passes:      %.2f s (tree %s, %zu left)\n", passes, Gone(rootB) ? "gone" : "NOT gone",
              leftovers);
  std::printf("ratio passes / minimal: %.3f (goal: at most 1.1)\n", passes / minimal);
  RemoveDirectoryW(scratch.c_str());
  return 0;
}
