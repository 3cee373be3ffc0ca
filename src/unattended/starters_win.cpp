// The Run value through the registry store, the task through
// the Task Scheduler 2.0 COM interface.
#include "unattended/starters_win.h"

#include <oleauto.h>
#include <taskschd.h>

#include <vector>

#include "base/dispatch_win.h"
#include "base/handles_win.h"
#include "services/registry_win.h"

namespace unattended {

const wchar_t kTaskFolder[] = L"Ombrelay";

namespace {

using base::win::ComRef;

using base::win::Bstr;

base::win::unique_hkey RunKey(REGSAM access) {
  return services::CreateKey(HKEY_CURRENT_USER, services::kRunKey, access);
}

// The root folder of the local Task Scheduler.
HRESULT RootFolder(ComRef<ITaskFolder>& root) {
  ComRef<ITaskService> service;
  HRESULT hr = CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                reinterpret_cast<void**>(service.put()));
  if (FAILED(hr)) return hr;
  VARIANT none;
  VariantInit(&none);
  hr = service.get()->Connect(none, none, none, none);
  if (FAILED(hr)) return hr;
  const Bstr path(L"\\");
  return service.get()->GetFolder(path.get(), root.put());
}

// Ombrelay's folder; made when `create` and not there yet.
HRESULT OurFolder(ComRef<ITaskFolder>& root, ComRef<ITaskFolder>& folder, bool create) {
  HRESULT hr = RootFolder(root);
  if (FAILED(hr)) return hr;
  const Bstr name(kTaskFolder);
  hr = root.get()->GetFolder(name.get(), folder.put());
  if (SUCCEEDED(hr) || !create) return hr;
  VARIANT none;
  VariantInit(&none);
  return root.get()->CreateFolder(name.get(), none, folder.put());
}

bool FolderEmpty(ITaskFolder* folder) {
  ComRef<IRegisteredTaskCollection> tasks;
  LONG count = 1;
  if (FAILED(folder->GetTasks(TASK_ENUM_HIDDEN, tasks.put())) || FAILED(tasks.get()->get_Count(&count))) return false;
  return count == 0;
}

// The names of the Run values whose command line passes the test.
std::vector<std::wstring> SignInValuesWhere(HKEY key, const StarterTest& ours) {
  std::vector<std::wstring> names;
  for (const std::wstring& name : services::ValueNames(key))
    // A list's path, and so the value, may hold characters the ANSI code
    // page has not: the wide-character text is read.
    if (ours(SplitStartCommand(services::ReadText(key, name).value_or(std::wstring())))) names.push_back(name);
  return names;
}

// A task or its folder that is not there.
bool NotThere(HRESULT hr) {
  return hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) || hr == HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
}

// The program and arguments of each of the task's actions that starts a
// program.
std::vector<StartCommand> TaskCommands(IRegisteredTask* task) {
  std::vector<StartCommand> commands;
  ComRef<ITaskDefinition> definition;
  ComRef<IActionCollection> actions;
  LONG count = 0;
  if (FAILED(task->get_Definition(definition.put())) || FAILED(definition.get()->get_Actions(actions.put())) ||
      FAILED(actions.get()->get_Count(&count)))
    return commands;
  for (LONG i = 1; i <= count; ++i) {
    ComRef<IAction> action;
    ComRef<IExecAction> exec;
    Bstr program, arguments;
    if (SUCCEEDED(actions.get()->get_Item(i, action.put())) &&
        SUCCEEDED(action.get()->QueryInterface(IID_IExecAction, reinterpret_cast<void**>(exec.put()))) &&
        SUCCEEDED(exec.get()->get_Path(program.put())) && SUCCEEDED(exec.get()->get_Arguments(arguments.put())))
      commands.push_back({program.Text(), arguments.Text()});
  }
  return commands;
}

// The names of the tasks in the folder with an action that passes the test.
std::vector<std::wstring> TasksWhere(ITaskFolder* folder, const StarterTest& ours) {
  std::vector<std::wstring> names;
  ComRef<IRegisteredTaskCollection> tasks;
  LONG count = 0;
  if (FAILED(folder->GetTasks(TASK_ENUM_HIDDEN, tasks.put())) || FAILED(tasks.get()->get_Count(&count))) return names;
  for (LONG i = 1; i <= count; ++i) {
    base::win::Variant index;
    ComRef<IRegisteredTask> task;
    Bstr name;
    if (FAILED(tasks.get()->get_Item(*base::win::NumberArg(index, i), task.put())) ||
        FAILED(task.get()->get_Name(name.put())))
      continue;
    for (const StartCommand& command : TaskCommands(task.get()))
      if (ours(command)) {
        names.push_back(name.Text());
        break;
      }
  }
  return names;
}

}  // namespace

bool SetSignInValue(const std::wstring& name, const std::wstring& program, const std::wstring& arguments) {
  const base::win::unique_hkey key = RunKey(KEY_SET_VALUE);
  if (!key) return false;
  return services::WriteText(key.get(), name, L"\"" + program + L"\" " + arguments);
}

bool RemoveSignInValue(const std::wstring& name) {
  if (name.empty()) return true;
  const base::win::unique_hkey key = RunKey(KEY_SET_VALUE);
  return key && services::DeleteValue(key.get(), name);
}

bool SignInValueExists(const std::wstring& name) {
  const base::win::unique_hkey key = RunKey(KEY_QUERY_VALUE);
  return key && services::HasValue(key.get(), name);
}

bool RemoveSignInValuesWhere(const StarterTest& ours) {
  const base::win::unique_hkey key = RunKey(KEY_QUERY_VALUE | KEY_SET_VALUE);
  if (!key) return false;
  // Found first, removed after: removing while enumerating would skip values.
  bool removed = true;
  for (const std::wstring& name : SignInValuesWhere(key.get(), ours))
    removed = services::DeleteValue(key.get(), name) && removed;
  return removed;
}

HRESULT RegisterScheduledTask(const std::wstring& name, const std::wstring& xml) {
  ComRef<ITaskFolder> root, folder;
  HRESULT hr = OurFolder(root, folder, true);
  if (FAILED(hr)) return hr;
  const Bstr taskName(name), definition(xml);
  VARIANT none;
  VariantInit(&none);
  ComRef<IRegisteredTask> task;
  return folder.get()->RegisterTask(taskName.get(), definition.get(), TASK_CREATE_OR_UPDATE, none, none,
                                    TASK_LOGON_INTERACTIVE_TOKEN, none, task.put());
}

HRESULT DeleteScheduledTask(const std::wstring& name) {
  if (name.empty()) return S_OK;
  ComRef<ITaskFolder> root, folder;
  HRESULT hr = OurFolder(root, folder, false);
  if (FAILED(hr)) return NotThere(hr) ? S_OK : hr;
  const Bstr taskName(name);
  hr = folder.get()->DeleteTask(taskName.get(), 0);
  if (NotThere(hr)) hr = S_OK;
  if (SUCCEEDED(hr) && FolderEmpty(folder.get())) {
    const Bstr folderName(kTaskFolder);
    folder.reset();
    root.get()->DeleteFolder(folderName.get(), 0);
  }
  return hr;
}

bool ScheduledTaskExists(const std::wstring& name) {
  ComRef<ITaskFolder> root, folder;
  if (FAILED(OurFolder(root, folder, false))) return false;
  const Bstr taskName(name);
  ComRef<IRegisteredTask> task;
  return SUCCEEDED(folder.get()->GetTask(taskName.get(), task.put()));
}

HRESULT DeleteScheduledTasksWhere(const StarterTest& ours) {
  std::vector<std::wstring> names;
  {
    // Let go before the removal, which takes the folder away with its last task.
    ComRef<ITaskFolder> root, folder;
    const HRESULT hr = OurFolder(root, folder, false);
    if (FAILED(hr)) return NotThere(hr) ? S_OK : S_FALSE;
    names = TasksWhere(folder.get(), ours);
  }
  HRESULT first = S_OK;
  for (const std::wstring& name : names) {
    const HRESULT hr = DeleteScheduledTask(name);
    if (SUCCEEDED(first)) first = hr;
  }
  return first;
}

}  // namespace unattended
