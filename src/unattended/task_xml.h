// The Task Scheduler's definition of a list's scheduled run, as the XML text
// the Task Scheduler registers: one calendar trigger (every day, or every
// week on one day, at a time), started late when the computer was off at
// that time, run only while the user is signed in, with no elevation, at
// background priority, one run at a time.
#pragma once
#include <string>

#include "unattended/approval.h"

namespace unattended {

struct TaskAction {
  std::wstring command;    // the program's full path
  std::wstring arguments;  // its argument text
};

// `firstDay` is the day ("2026-12-08") the schedule starts from; the
// schedule must be Daily or Weekly.
std::wstring TaskXml(const Schedule& schedule, const TaskAction& action, const std::wstring& description,
                     const std::wstring& firstDay);

// The text with &, <, >, " and ' written as XML's entities.
std::wstring XmlEscaped(const std::wstring& text);

}  // namespace unattended
