// The scheduled run's task definition.
#include "unattended/task_xml.h"

#include "base/texts.h"

namespace unattended {
namespace {

std::wstring ScheduleElement(const Schedule& s) {
  if (s.when == RunWhen::Weekly)
    return L"      <ScheduleByWeek>\n        <WeeksInterval>1</WeeksInterval>\n        <DaysOfWeek><" +
           std::wstring(base::text::DayName(s.weekday)) + L" /></DaysOfWeek>\n      </ScheduleByWeek>\n";
  return L"      <ScheduleByDay>\n        <DaysInterval>1</DaysInterval>\n      </ScheduleByDay>\n";
}

}  // namespace

std::wstring XmlEscaped(const std::wstring& text) {
  std::wstring out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    switch (c) {
      case L'&': out += L"&amp;"; break;
      case L'<': out += L"&lt;"; break;
      case L'>': out += L"&gt;"; break;
      case L'"': out += L"&quot;"; break;
      case L'\'': out += L"&apos;"; break;
      default: out += c;
    }
  }
  return out;
}

std::wstring TaskXml(const Schedule& schedule, const TaskAction& action, const std::wstring& description,
                     const std::wstring& firstDay) {
  const std::wstring start = firstDay + L"T" + TimeText(schedule) + L":00";
  return L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n"
         L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
         L"  <RegistrationInfo>\n"
         L"    <Author>Ombrelay</Author>\n"
         L"    <Description>" +
         XmlEscaped(description) +
         L"</Description>\n"
         L"  </RegistrationInfo>\n"
         L"  <Triggers>\n"
         L"    <CalendarTrigger>\n"
         L"      <StartBoundary>" +
         start +
         L"</StartBoundary>\n"
         L"      <Enabled>true</Enabled>\n" +
         ScheduleElement(schedule) +
         L"    </CalendarTrigger>\n"
         L"  </Triggers>\n"
         L"  <Principals>\n"
         L"    <Principal id=\"Author\">\n"
         L"      <LogonType>InteractiveToken</LogonType>\n"
         L"      <RunLevel>LeastPrivilege</RunLevel>\n"
         L"    </Principal>\n"
         L"  </Principals>\n"
         L"  <Settings>\n"
         L"    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\n"
         L"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\n"
         L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\n"
         L"    <StartWhenAvailable>true</StartWhenAvailable>\n"
         L"    <RunOnlyIfNetworkAvailable>false</RunOnlyIfNetworkAvailable>\n"
         L"    <Enabled>true</Enabled>\n"
         L"    <Hidden>false</Hidden>\n"
         L"    <ExecutionTimeLimit>PT72H</ExecutionTimeLimit>\n"
         L"    <Priority>7</Priority>\n"
         L"  </Settings>\n"
         L"  <Actions Context=\"Author\">\n"
         L"    <Exec>\n"
         L"      <Command>" +
         XmlEscaped(action.command) +
         L"</Command>\n"
         L"      <Arguments>" +
         XmlEscaped(action.arguments) +
         L"</Arguments>\n"
         L"    </Exec>\n"
         L"  </Actions>\n"
         L"</Task>\n";
}

}  // namespace unattended
