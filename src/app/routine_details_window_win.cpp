// The routine details window: a read-only text of the entry's keys, and
// its items once asked for.
#include "app/routine_details_window_win.h"

#include "app/routines_view.h"
#include "app/routines_window_win.h"
#include "base/texts_win.h"
#include "listfile/protected_places_win.h"
#include "removal/routine_answer_win.h"
#include "routines/variables_win.h"

namespace app {
namespace {

const wchar_t kClassName[] = L"OmbrelayRoutineDetails";
constexpr UINT kMsgItemsProgress = WM_APP + 64;
constexpr UINT kMsgItemsEnded = WM_APP + 65;
// More items than this are counted but not each shown.
constexpr size_t kMostItemsShown = 5000;

const base::ControlSpec kControls[] = {
    {kDetailsText, L"EDIT", L"",
     ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE, 120, 120, 8760, 4680},
    {kDetailsItems, L"BUTTON", L"Show the &items it takes now", BS_PUSHBUTTON | WS_TABSTOP, 0, 120, 4920, 3000, 375},
    {IDCANCEL, L"BUTTON", L"Close", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 7680, 4920, 1200, 375},
};

// The items as the one answer for a routine gives them: each file with its
// size, then the folders it empties.
std::wstring ItemsText(const removal::RoutineAnswer& answer) {
  const base::text::NumberStyle style = base::text::UserNumberStyle();
  if (!answer.refusal.empty()) return L"It takes nothing now: " + answer.refusal + L".";
  std::wstring text = L"It takes " + base::text::Counted(answer.files, L"file", L"files", style) + L" (" +
                      base::text::ExplorerSize(answer.bytes) + L") and " +
                      base::text::Counted(answer.emptied.size(), L"folder", L"folders", style) + L" now:\r\n";
  for (size_t i = 0; i < answer.paths.size() && i < kMostItemsShown; ++i)
    text += answer.paths[i] + L"  (" + base::text::ExplorerSize(answer.sizes[i]) + L")\r\n";
  if (answer.paths.size() > kMostItemsShown)
    text += L"... and " +
            base::text::Counted(answer.paths.size() - kMostItemsShown, L"more file", L"more files", style) + L"\r\n";
  for (const std::wstring& folder : answer.emptied) text += folder + L"  (folder)\r\n";
  for (const std::wstring& note : answer.notes) text += L"Takes nothing from " + note + L"\r\n";
  return text;
}

}  // namespace

bool RoutineDetailsWindow::Open(HWND owner, HICON icon, const routines::Entry& entry, const std::wstring& listPath) {
  if (hwnd_) return false;
  entry_ = entry;
  listPath_ = listPath;
  const std::wstring caption = entry.routine.name + L" - details";
  base::WindowSpec spec{kClassName, caption.c_str(), base::kDialogStyle, base::kDialogExStyle, owner};
  spec.client = {9000, 5400};
  spec.icon = icon;
  spec.controls = kControls;
  if (!Create(spec)) return false;
  SendMessageW(Control(kDetailsText), EM_SETLIMITTEXT, 0, 0);  // a long list of items
  keysText_ = EntryKeysText(entry);
  std::wstring notes = EntryNotes(entry, Fit::Unknown, RoutineTake{});
  if (entry.regKeys != 0)
    notes += L"\r\nIts registry keys stay: Ombrelay removes files and folders only, and never touches the registry.";
  if (!entry.routine.warning.empty()) notes += L"\r\nWarning: " + entry.routine.warning;
  if (!notes.empty()) keysText_ += L"\r\n" + notes + L"\r\n";
  SetDlgItemTextW(hwnd_, kDetailsText, keysText_.c_str());
  EnableWindow(Control(kDetailsItems), entry.Understood());
  ShowOverOwner();
  SetFocus(Control(IDCANCEL));
  return true;
}

LRESULT RoutineDetailsWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case kMsgItemsProgress: return 0;
    case kMsgItemsEnded: OnItemsEnded(); return 0;
    case WM_DESTROY: StopItems(); return Window::OnMessage(msg, wp, lp);
    default: return Window::OnMessage(msg, wp, lp);
  }
}

void RoutineDetailsWindow::OnCommand(int id, int code) {
  if (id == kDetailsItems) return StartItems();
  Window::OnCommand(id, code);
}

void RoutineDetailsWindow::Close() {
  StopItems();
  CloseOverOwner();
}

void RoutineDetailsWindow::StartItems() {
  if (items_) return;
  auto work = [routine = entry_.routine, listPath = listPath_](base::WindowJob& job) {
    const routines::SystemVariables system;
    removal::NeverTaken never;
    if (!listPath.empty()) never.Add(listPath);
    listfile::ProtectedPlaces places;
    return ItemsText(
        removal::AnswerRoutine(routine, removal::Fit::Decide, system.Lookup(), never, places, true, *job.StopFlag()));
  };
  items_ = base::TextJob::Start(hwnd_, kMsgItemsProgress, kMsgItemsEnded, std::move(work));
  if (!items_) return (void)MessageBeep(MB_OK);
  EnableWindow(Control(kDetailsItems), FALSE);
  SetDlgItemTextW(hwnd_, kDetailsText, (keysText_ + L"\r\nLooking for the items it takes now...").c_str());
}

// Items that could not be found are reported and the keys shown again.
void RoutineDetailsWindow::OnItemsEnded() {
  if (!items_ || !items_->Ended()) return;
  const std::unique_ptr<base::TextJob> items = std::move(items_);
  std::wstring text;
  base::trap::Guard([&] { text = items->Take(); });
  SetDlgItemTextW(hwnd_, kDetailsText, (keysText_ + L"\r\n" + text).c_str());
  EnableWindow(Control(kDetailsItems), TRUE);
}

void RoutineDetailsWindow::StopItems() { items_.reset(); }

}  // namespace app
