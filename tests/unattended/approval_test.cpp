// Approvals: their kept text read back and hostile texts refused, the
// unattended command line, and the check of the list file against the
// approval with the file as it is on disk (approved, tampered, truncated,
// missing).
#include "unattended/approval.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <functional>

#include "base/file_io.h"
#include "list_bytes.h"
#include "listfile/list_file.h"
#include "removal/removal_plan.h"
#include "unattended/task_xml.h"

namespace unattended {
namespace {

Approval Sample() {
  Approval a;
  a.listPath = L"C:\\Lists\\cache.txt";
  a.digest = std::wstring(64, L'a');
  a.schedule = {RunWhen::Weekly, 18, 5, 6};
  a.recycle = true;
  a.taskName = L"Ombrelay - cache";
  return a;
}

TEST(Approval, TextReadBackAndHostileTextsRefused) {
  const std::wstring text = ApprovalText(Sample());
  EXPECT_EQ(text, std::wstring(L"sha256=") + std::wstring(64, L'a') +
                      L"|runs=weekly|time=18:05|day=sat|recycle=yes|signin=|task=Ombrelay - cache");
  Approval back;
  ASSERT_TRUE(ReadApprovalText(text, back));
  EXPECT_EQ(ApprovalText(back), text);
  EXPECT_EQ(ScheduleText(back.schedule), L"Every week on Saturday at 18:05");
  // A field this version does not know is passed over.
  EXPECT_TRUE(ReadApprovalText(text + L"|later=1", back));

  const std::wstring good = text;
  const std::wstring hostile[] = {
      L"",
      L"sha256=" + std::wstring(63, L'a') + good.substr(71),  // short digest
      L"sha256=" + std::wstring(64, L'A') + good.substr(71),  // not lower-case hex
      good + L"|sha256=" + std::wstring(64, L'b'),            // a field twice
      good.substr(0, good.find(L"|task=")),                   // a field missing
      L"sha256=" + std::wstring(64, L'a') + L"|runs=hourly" + good.substr(good.find(L"|time")),
      L"sha256=" + std::wstring(64, L'a') + L"|runs=daily|time=24:00" + good.substr(good.find(L"|day")),
      L"sha256=" + std::wstring(64, L'a') + L"|runs=daily|time=3:00" + good.substr(good.find(L"|day")),
      L"sha256=" + std::wstring(64, L'a') + L"|runs=daily|time=03:00|day=Mon" + good.substr(good.find(L"|recycle")),
      good + L"|junk",
  };
  for (const std::wstring& h : hostile) {
    Approval a;
    EXPECT_FALSE(ReadApprovalText(h, a)) << h;
  }
}

TEST(Approval, UnattendedCommandLine) {
  const std::wstring args = UnattendedArguments(L"C:\\My Lists\\cache.txt");
  EXPECT_EQ(args, L"\"Remove Files*C:\\My Lists\\cache.txt*unattended\"");
  EXPECT_TRUE(IsUnattendedRun(args));
  EXPECT_TRUE(IsUnattendedRun(args + L"  "));
  EXPECT_EQ(removal::ListPathFromArguments(args), L"C:\\My Lists\\cache.txt");
  EXPECT_FALSE(IsUnattendedRun(L"\"Remove Files*C:\\My Lists\\cache.txt\""));
  EXPECT_FALSE(IsUnattendedRun(L"\"Remove Files*C:\\unattended\""));
  EXPECT_FALSE(IsUnattendedRun(L"\"Remove Files*C:\\a.txt*attended\""));
  // Only that very text runs with no password asked; any other word, or
  // anything after it, goes to the prompt.
  EXPECT_TRUE(IsUnattendedRun(L"Remove Files*C:\\My Lists\\cache.txt*unattended"));
  for (const wchar_t* last : {L"*Unattended", L"*UNATTENDED", L"*unattended*", L"*unattended*x", L"*unattended x",
                              L"*unattended\" x", L"*unattended\"*"})
    EXPECT_FALSE(IsUnattendedRun(L"\"Remove Files*C:\\a.txt" + std::wstring(last) + L"\"")) << last;
  EXPECT_FALSE(IsUnattendedRun(L"\"Remove Files*C:\\a.txt*b.txt*unattended\""));
  EXPECT_FALSE(IsUnattendedRun(L"\"Remove Files**unattended\""));
  EXPECT_FALSE(IsUnattendedRun(L"\"remove files*C:\\a.txt*unattended\""));
  // A starter is ours by its command: our program, quoted unattended arguments.
  const StartCommand run = SplitStartCommand(L"\"C:\\P\\OMBRELAY.exe\" " + args);
  EXPECT_EQ(run.program, L"C:\\P\\OMBRELAY.exe");
  EXPECT_TRUE(IsApprovalStarter(run, L"C:\\p\\ombrelay.exe", L""));
  EXPECT_TRUE(IsApprovalStarter(run, L"C:\\p\\ombrelay.exe", L"c:\\my lists\\CACHE.txt"));
  EXPECT_FALSE(IsApprovalStarter(run, L"C:\\p\\ombrelay.exe", L"C:\\My Lists\\other.txt"));
  EXPECT_FALSE(IsApprovalStarter(run, L"C:\\Q\\ombrelay.exe", L""));
  EXPECT_FALSE(IsApprovalStarter(SplitStartCommand(L"C:\\P\\ombrelay.exe Remove Files*C:\\l.txt*unattended"),
                                 L"C:\\P\\ombrelay.exe", L""));
  EXPECT_FALSE(IsApprovalStarter(SplitStartCommand(L"\"C:\\P\\ombrelay.exe\" \"Remove Files*C:\\l.txt\""),
                                 L"C:\\P\\ombrelay.exe", L""));
  EXPECT_EQ(StartName(L"C:\\Lists\\cache.old.txt", 1), L"Ombrelay - cache.old");
  EXPECT_EQ(StartName(L"C:\\Lists\\cache", 3), L"Ombrelay - cache (3)");
}

TEST(Approval, TaskDefinitionHoldsScheduleAndEscapedCommand) {
  const std::wstring xml =
      TaskXml({RunWhen::Weekly, 7, 30, 2}, {L"C:\\P&Q\\ombrelay.exe", L"\"Remove Files*C:\\<a>*unattended\""},
              L"Runs it", L"2026-12-08");
  for (const wchar_t* part : {L"<StartBoundary>2026-12-08T07:30:00</StartBoundary>",
                              L"<DaysOfWeek><Tuesday /></DaysOfWeek>", L"<Command>C:\\P&amp;Q\\ombrelay.exe</Command>",
                              L"<Arguments>&quot;Remove Files*C:\\&lt;a&gt;*unattended&quot;</Arguments>",
                              L"<LogonType>InteractiveToken</LogonType>", L"<RunLevel>LeastPrivilege</RunLevel>",
                              L"<StartWhenAvailable>true</StartWhenAvailable>"})
    EXPECT_NE(xml.find(part), std::wstring::npos) << part;
  EXPECT_NE(
      TaskXml({RunWhen::Daily, 3, 0, 1}, {L"p", L"a"}, L"", L"2026-01-31").find(L"<DaysInterval>1</DaysInterval>"),
      std::wstring::npos);
}

// The check sees the file as it is now; any change of a byte breaks it.
class ApprovalCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("ombrelay-approval-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(folder_);
    path_ = (folder_ / "list.txt").wstring();
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void Write(const std::string& bytes) {
    std::wstring reason;
    ASSERT_TRUE(base::files::WriteAll(path_, bytes, reason)) << std::string(reason.begin(), reason.end());
  }
  std::wstring Problem(const Approval* approval) {
    FileRead file;
    file.read = listfile::ReadListFile(path_, file.bytes, file.reason);
    return ApprovalProblem(approval, file, digest_);
  }

  // Any digest of the whole content serves the check. The program's own is
  // SHA-256 text, 64 hex digits: so is this one, its first 48 alike for
  // every content, so that only a comparison to the last digit tells them apart.
  DigestFn digest_ = [](const std::string& bytes) {
    wchar_t tail[17];
    swprintf(tail, 17, L"%016llx", static_cast<unsigned long long>(std::hash<std::string>()(bytes)));
    return std::wstring(48, L'0') + tail;
  };
  std::filesystem::path folder_;
  std::wstring path_;
};

TEST_F(ApprovalCheck, OnlyTheApprovedBytesPass) {
  const std::string approved = listbytes::EncodeList({{L"C:\\a.txt", L"File"}}, L"pw");
  Write(approved);
  Approval a = Sample();
  a.listPath = path_;
  a.digest = digest_(approved);
  EXPECT_EQ(Problem(&a), L"");

  EXPECT_EQ(Problem(nullptr), L"the list was never approved to run by itself");
  // The whole digest must match, to its last character.
  Approval nearly = a;
  nearly.digest.back() = nearly.digest.back() == L'0' ? L'1' : L'0';
  EXPECT_NE(Problem(&nearly).find(L"changed after it was approved"), std::wstring::npos);
  // The window approves only the bytes it last loaded or saved, to the last digit too.
  EXPECT_TRUE(BytesAreTheSeen(approved, a.digest, digest_));
  EXPECT_FALSE(BytesAreTheSeen(approved, nearly.digest, digest_));
  EXPECT_FALSE(BytesAreTheSeen(approved, L"", digest_));
  EXPECT_FALSE(BytesAreTheSeen(approved + " ", a.digest, digest_));
  // A withdrawn approval kept in the settings runs nothing, even for the very bytes.
  Approval withdrawn = a;
  ASSERT_TRUE(ReadApprovalText(
      L"sha256=" + std::wstring(64, L'a') + L"|runs=never|time=03:00|day=mon|recycle=no|signin=|task=", withdrawn));
  withdrawn.digest = a.digest;
  EXPECT_EQ(Problem(&withdrawn), L"the list's approval to run by itself was withdrawn");
  Write(listbytes::EncodeList({{L"C:\\a.txt", L"File"}, {L"C:\\Windows\\", L"Folder"}}, L"pw"));
  EXPECT_NE(Problem(&a).find(L"changed after it was approved"), std::wstring::npos);
  Write(approved.substr(0, approved.size() - 3));
  EXPECT_NE(Problem(&a).find(L"changed after it was approved"), std::wstring::npos);
  Write(approved);
  EXPECT_EQ(Problem(&a), L"");
  std::filesystem::remove(folder_ / "list.txt");
  EXPECT_EQ(Problem(&a).rfind(L"the list file cannot be read: ", 0), 0u) << Problem(&a);
}

}  // namespace
}  // namespace unattended
