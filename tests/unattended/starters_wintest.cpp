// The platform pieces of runs by themselves: SHA-256 from BCrypt against the
// standard's test vectors, and the Run value and the Task Scheduler task
// made, found and removed (the task's folder going with its last task).
#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include "base/sha256_win.h"
#include "unattended/approval.h"
#include "unattended/starters_win.h"
#include "unattended/task_xml.h"

namespace {

TEST(Sha256, StandardVectors) {
  EXPECT_EQ(base::Sha256Hex(""), L"e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(base::Sha256Hex("abc"), L"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(base::Sha256Hex(std::string(1000000, 'a')),
            L"cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

TEST(Starters, SignInValueAndTaskMadeFoundAndRemoved) {
  const std::wstring name = L"Ombrelay - starters test " + std::to_wstring(GetCurrentProcessId());
  ASSERT_TRUE(unattended::SetSignInValue(name, L"C:\\P\\ombrelay.exe", L"\"Remove Files*C:\\l.txt*unattended\""));
  EXPECT_TRUE(unattended::SignInValueExists(name));
  unattended::RemoveSignInValue(name);
  EXPECT_FALSE(unattended::SignInValueExists(name));

  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  const std::wstring xml =
      unattended::TaskXml({unattended::RunWhen::Daily, 3, 0, 1},
                          {L"C:\\P\\ombrelay.exe", L"\"Remove Files*C:\\l.txt*unattended\""}, L"test", L"2026-12-08");
  const HRESULT made = unattended::RegisterScheduledTask(name, xml);
  EXPECT_TRUE(SUCCEEDED(made)) << std::hex << made;
  EXPECT_TRUE(unattended::ScheduledTaskExists(name));
  EXPECT_TRUE(SUCCEEDED(unattended::DeleteScheduledTask(name)));
  EXPECT_FALSE(unattended::ScheduledTaskExists(name));
  EXPECT_TRUE(SUCCEEDED(unattended::DeleteScheduledTask(name)));  // gone already: nothing to do
  CoUninitialize();
}

// A starter whose approval no longer reads is still ours by its command
// line: our program (however its letters are cased), unattended, for the
// list. Another program's, or one of ours that asks for the password, stays.
TEST(Starters, OursFoundByTheirCommandLineWhateverTheirName) {
  const std::wstring id = std::to_wstring(GetCurrentProcessId());
  const std::wstring program = L"C:\\Tools " + id + L"\\ombrelay.exe", list = L"C:\\Lists\\l.txt";
  const std::wstring ours = L"Ombrelay - l " + id, other = L"Ombrelay - l (2) " + id, plain = L"Ombrelay - p " + id,
                     otherList = L"Ombrelay - m " + id;
  ASSERT_TRUE(
      unattended::SetSignInValue(ours, L"c:\\TOOLS " + id + L"\\Ombrelay.EXE", unattended::UnattendedArguments(list)));
  ASSERT_TRUE(
      unattended::SetSignInValue(other, L"C:\\Tools " + id + L"\\other.exe", unattended::UnattendedArguments(list)));
  ASSERT_TRUE(unattended::SetSignInValue(plain, program, L"\"Remove Files*" + list + L"\""));
  ASSERT_TRUE(unattended::SetSignInValue(otherList, program, unattended::UnattendedArguments(L"C:\\Lists\\m.txt")));
  unattended::RemoveSignInValuesWhere(
      [&](const unattended::StartCommand& c) { return unattended::IsApprovalStarter(c, program, list); });
  EXPECT_FALSE(unattended::SignInValueExists(ours));
  for (const std::wstring& name : {other, plain, otherList}) EXPECT_TRUE(unattended::SignInValueExists(name)) << name;
  // For any list (the uninstaller's sweep), the other list's value goes too.
  unattended::RemoveSignInValuesWhere(
      [&](const unattended::StartCommand& c) { return unattended::IsApprovalStarter(c, program, L""); });
  EXPECT_FALSE(unattended::SignInValueExists(otherList));
  EXPECT_TRUE(unattended::SignInValueExists(other));
  for (const std::wstring& name : {other, plain}) unattended::RemoveSignInValue(name);
}

}  // namespace
