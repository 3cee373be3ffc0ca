// A routines file of the community file's size, made up: about 4,000
// entries with 14,000 FileKey lines (10,000 with wildcards in the folder,
// 5,500 with REMOVESELF), 3,700 RegKey lines and 90 ExcludeKey lines, in
// about 2 MB. Entry i belongs to "Vendor<i>\Program<i>": it is detected by
// a registry key (every third entry) or by its folder under
// %LocalAppData% (the others), and takes from that folder, so that a test
// or a benchmark that makes some of those folders makes those entries fit.
// Used by the reader's tests and the benchmarks.
#pragma once
#include <cstddef>
#include <string>

namespace sample {

constexpr size_t kEntries = 4000;

// The folder entry i is detected by and takes from, below %LocalAppData%.
inline std::string ProgramFolder(size_t i) { return "Vendor" + std::to_string(i) + "\\Program" + std::to_string(i); }
// Whether entry i is detected by a registry key (otherwise by its folder).
inline bool DetectedByKey(size_t i) { return i % 3 == 0; }
inline std::string DetectKey(size_t i, const std::string& keyBase = "HKCU\\Software") {
  return keyBase + "\\Vendor" + std::to_string(i) + "\\Program";
}
// How many FileKey lines entry i has: 3 or 4.
inline size_t FileKeys(size_t i) { return 3 + i % 2; }

// `folderBase` stands for %LocalAppData% and `keyBase` for HKCU\Software,
// so that a benchmark can keep what it makes in places of its own.
inline std::string RoutinesFile(size_t entries = kEntries, const std::string& folderBase = "%LocalAppData%",
                                const std::string& keyBase = "HKCU\\Software") {
  static const char* const kGroups[] = {"3021", "3022", "3023", "3024", "3025", "3029", "3026", "3006"};
  std::string text =
      "; A made-up routines file in the community format, for tests and benchmarks.\r\n"
      "; Version: 000000\r\n\r\n";
  text.reserve(entries * 560);
  size_t fileKey = 0;
  for (size_t i = 0; i < entries; ++i) {
    const std::string n = std::to_string(i);
    const std::string folder = folderBase + "\\" + ProgramFolder(i);
    text += "[Program " + n + " Cache and Logs *]\r\n";
    text += "LangSecRef=" + std::string(kGroups[i % 8]) + "\r\n";
    if (DetectedByKey(i)) {
      text += "Detect=" + DetectKey(i, keyBase) + "\r\n";
    } else {
      text += "DetectFile=" + folder + "\r\n";
    }
    if (i % 97 == 0) text += "Warning=This also removes the saved sessions of Program " + n + ".\r\n";
    text += "Default=False\r\n";
    for (size_t k = 1; k <= FileKeys(i); ++k, ++fileKey) {
      text += "FileKey" + std::to_string(k) + "=" + folder;
      // 10 of every 14 lines have a wildcard in the folder; 11 of every 28
      // take their folder too.
      text += fileKey % 14 < 10 ? "\\Profile*\\Cache" + std::to_string(k) : "\\Logs" + std::to_string(k);
      text += "|*.tmp;*.log;*.dmp;thumbs*.db;f_*";
      if (fileKey % 28 < 11) {
        text += "|REMOVESELF";
      } else if (fileKey % 2 == 0) {
        text += "|RECURSE";
      }
      text += "\r\n";
    }
    if (i % 44 == 0 && i < 90 * 44) text += "ExcludeKey1=FILE|" + folder + "\\Logs1\\|keep*.log\r\n";
    if (i < 3700) text += "RegKey1=HKCU\\Software\\Vendor" + n + "\\Program\\Recent|LastFiles\r\n";
    text += "\r\n";
  }
  return text;
}

}  // namespace sample
