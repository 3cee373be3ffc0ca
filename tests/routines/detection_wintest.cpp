// A whole file's quick detection (the routines window's survey: the values
// picked from the file's lines, checked, then DecideFits) answers as
// FitsComputer does for every entry: values under a folder and a key that many of them
// share (listed once), some there and some not, one spelled with a short
// 8.3 alias, one with a wildcard, one in another letter case.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>

#include "base/encoding.h"
#include "routines/detection_checks_win.h"
#include "routines/detection_win.h"
#include "routines/routines_file.h"
#include "routines/variables_win.h"
#include "services/registry_win.h"

namespace {

std::string Ansi(const std::wstring& text) {
  std::string out;
  base::enc::ToAnsi(text, out);
  return out;
}

TEST(RoutinesDetection, WholeFileAnswersAsTheOneDetectionDoes) {
  wchar_t temp[MAX_PATH] = L"";
  ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
  const std::string tag = "OmbDet" + std::to_string(GetCurrentProcessId());
  const std::wstring top = std::wstring(temp) + base::enc::FromAnsi(tag);
  const std::wstring keyPath = L"Software\\" + base::enc::FromAnsi(tag);
  ASSERT_TRUE(CreateDirectoryW(top.c_str(), nullptr));
  for (const wchar_t* made : {L"\\Present program", L"\\Present program\\Data", L"\\Another"})
    ASSERT_TRUE(CreateDirectoryW((top + made).c_str(), nullptr));
  services::CreateKey(HKEY_CURRENT_USER, keyPath + L"\\Installed", KEY_WRITE);
  wchar_t shortName[MAX_PATH] = L"";
  GetShortPathNameW((top + L"\\Present program").c_str(), shortName, MAX_PATH);
  const std::string alias = Ansi(std::wstring(shortName).substr(std::wstring(shortName).rfind(L'\\') + 1));

  std::string file;
  const auto entry = [&](const std::string& key, const std::string& value) {
    file += "[E" + std::to_string(file.size()) + " *]\r\n" + key + "=" + value + "\r\nFileKey1=%Temp%\\x|*.tmp\r\n";
  };
  for (int i = 0; i < 10; ++i) entry("DetectFile", "%Temp%\\" + tag + "\\Absent " + std::to_string(i));
  for (int i = 0; i < 10; ++i) entry("Detect", "HKCU\\Software\\" + tag + "\\Absent" + std::to_string(i));
  entry("DetectFile", "%Temp%\\" + tag + "\\Present program\\Data");
  entry("DetectFile", "%Temp%\\" + tag + "\\PRESENT PROGRAM");
  entry("DetectFile", "%Temp%\\" + tag + "\\" + alias + "\\Data");
  entry("DetectFile", "%Temp%\\" + tag + "\\Pres*\\Data");
  entry("DetectFile", "%Temp%\\" + tag + "\\Another\\Nothing");
  entry("Detect", "HKCU\\Software\\" + tag + "\\INSTALLED");
  entry("DetectFile", "%Nowhere%\\" + tag);

  const routines::RoutinesFile read = routines::ReadRoutines(file);
  ASSERT_EQ(read.entries.size(), 27u);
  const routines::SystemVariables system;
  const routines::VariableLookup lookup = system.Lookup();
  const std::atomic<bool> stop{false};
  routines::DetectionChecks checks(file);
  checks.Prepare(lookup, stop);
  checks.CheckAll(lookup, stop, stop);
  const std::vector<char> decided = checks.DecideFits(read.entries, lookup, stop);
  ASSERT_EQ(decided.size(), read.entries.size());
  int fitting = 0;
  for (size_t i = 0; i < read.entries.size(); ++i) {
    const routines::Entry& e = read.entries[i];
    const bool fits = routines::FitsComputer(e.routine, lookup, stop);
    EXPECT_EQ(decided[i] != 0, fits) << Ansi(e.keys[0].value);
    fitting += fits;
  }
  EXPECT_GE(fitting, 4);  // the short alias too, where the file system has short names

  RemoveDirectoryW((top + L"\\Present program\\Data").c_str());
  RemoveDirectoryW((top + L"\\Present program").c_str());
  RemoveDirectoryW((top + L"\\Another").c_str());
  RemoveDirectoryW(top.c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, (keyPath + L"\\Installed").c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, keyPath.c_str());
}

}  // namespace
