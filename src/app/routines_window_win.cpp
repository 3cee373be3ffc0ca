// The routines window: its controls, the virtual list over the view, the
// survey's findings as they come, ticks (a warning asks first), the
// details, another file, the update, and "Add".
#include "app/routines_window_win.h"

#include <commctrl.h>

#include <utility>

#include "app/routine_details_window_win.h"
#include "app/routines_survey_win.h"
#include "app/routines_update_win.h"
#include "base/error_trap_win.h"
#include "base/texts_win.h"

namespace app {
namespace {

const wchar_t kClassName[] = L"OmbrelayRoutines";
const wchar_t kCaption[] = L"Add routines";
const wchar_t kNoFileText[] = L"No routines file yet: choose one, or fetch the newest with Update routines.";
const wchar_t kSurveyFailedText[] =
    L"The routines file could not be surveyed (the error is reported): choose it again, or another.";
constexpr int kClientWidth = 9600;
constexpr int kClientHeight = 6660;
constexpr UINT kMsgSurveyProgress = WM_APP + 60;
constexpr UINT kMsgSurveyEnded = WM_APP + 61;
constexpr UINT kMsgUpdateProgress = WM_APP + 62;
constexpr UINT kMsgUpdateEnded = WM_APP + 63;

const base::ControlSpec kControls[] = {
    {kRoutinesFile, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 0, 120, 165, 5940, 255},
    {kRoutinesChoose, L"BUTTON", L"&Choose file\u2026", BS_PUSHBUTTON | WS_TABSTOP, 0, 6180, 105, 1560, 375},
    {kRoutinesUpdate, L"BUTTON", L"&Update routines", BS_PUSHBUTTON | WS_TABSTOP, 0, 7860, 105, 1620, 375},
    {kRoutinesFitLine, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, 120, 585, 9360, 255},
    {kRoutinesFindLabel, L"STATIC", L"Fi&nd:", SS_LEFT, 0, 120, 990, 600, 255},
    {kRoutinesFind, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 780, 945, 3600, 330},
    {kRoutinesShowAll, L"BUTTON", L"&Show also entries that do not fit", BS_AUTOCHECKBOX | WS_TABSTOP, 0, 4620, 960,
     4860, 300},
    {kRoutinesList, WC_LISTVIEWW, L"", LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | LVS_SINGLESEL | WS_TABSTOP,
     WS_EX_CLIENTEDGE, 120, 1395, 9360, 4200},
    {kRoutinesTotal, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, 120, 5700, 9360, 255},
    {kRoutinesDetails, L"BUTTON", L"&Details\u2026", BS_PUSHBUTTON | WS_TABSTOP, 0, 120, 6150, 1320, 375},
    {kRoutinesAdd, L"BUTTON", L"&Add", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 6960, 6150, 1200, 375},
    {kRoutinesClose, L"BUTTON", L"Close", BS_PUSHBUTTON | WS_TABSTOP, 0, 8280, 6150, 1200, 375},
};

const struct {
  const wchar_t* title;
  int width;  // twips
  int format;
} kColumns[kRoutineColumns] = {{L"Group", 1500, LVCFMT_LEFT}, {L"Name", 3000, LVCFMT_LEFT},
                               {L"Files", 900, LVCFMT_RIGHT}, {L"Folders", 900, LVCFMT_RIGHT},
                               {L"Size", 1200, LVCFMT_RIGHT}, {L"Notes", 2400, LVCFMT_LEFT}};

}  // namespace

RoutinesWindow::RoutinesWindow() : view_(base::text::ExplorerSize, base::text::UserNumberStyle()) {}
RoutinesWindow::~RoutinesWindow() = default;

bool RoutinesWindow::Open(HWND owner, HICON icon, const std::wstring& path, const std::wstring& listPath, Ask ask,
                          Add add) {
  if (hwnd_) return false;
  listPath_ = listPath;
  icon_ = icon;
  base::WindowSpec spec{kClassName, kCaption, base::kDialogStyle, base::kDialogExStyle, owner};
  spec.client = {kClientWidth, kClientHeight};
  spec.icon = icon;
  spec.controls = kControls;
  if (!Create(spec)) return false;
  ask_ = std::move(ask);
  add_ = std::move(add);
  // No filter, sort or ticks of an earlier opening; the number style as it is now.
  view_ = RoutinesView(base::text::ExplorerSize, base::text::UserNumberStyle());
  ShowOverOwner();
  SetFocus(Control(kRoutinesFind));
  StartSurvey(path);
  return true;
}

bool RoutinesWindow::OnCreate() {
  HWND list = Control(kRoutinesList);
  ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
  SendMessageW(list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
  for (int c = 0; c < kRoutineColumns; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = const_cast<wchar_t*>(kColumns[c].title);
    column.cx = Px(kColumns[c].width);
    column.fmt = kColumns[c].format;
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  return true;
}

LRESULT RoutinesWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lp));
    case kMsgSurveyProgress:
    case kMsgSurveyEnded: OnSurveyFound(msg == kMsgSurveyEnded); return 0;
    case kMsgUpdateProgress: return 0;
    case kMsgUpdateEnded: OnUpdateEnded(); return 0;
    case WM_DESTROY:  // also when the owner goes first
      StopSurvey();
      if (update_) update_->Forget();
      update_.reset();
      return Window::OnMessage(msg, wp, lp);
    default: return Window::OnMessage(msg, wp, lp);
  }
}

void RoutinesWindow::OnCommand(int id, int code) {
  switch (id) {
    case kRoutinesFind:
      if (code == EN_CHANGE) {
        view_.SetFilter(ControlText(kRoutinesFind));
        ShowRows();
      }
      break;
    case kRoutinesShowAll:
      view_.SetShowAll(IsDlgButtonChecked(hwnd_, kRoutinesShowAll) == BST_CHECKED);
      ShowRows();
      break;
    case kRoutinesChoose: {
      const std::wstring chosen = ask_ ? ask_(hwnd_) : std::wstring();
      if (!chosen.empty()) StartSurvey(chosen);
      break;
    }
    case kRoutinesUpdate: StartUpdate(UpdateRoutines); break;
    case kRoutinesDetails: ShowDetails(); break;
    case kRoutinesAdd: OnAdd(); break;
    default:  // Close, Esc
      Window::OnCommand(id, code);
      break;
  }
}

void RoutinesWindow::Close() {
  StopSurvey();
  if (details_ && details_->hwnd()) DestroyWindow(details_->hwnd());
  add_ = nullptr;
  CloseOverOwner();
}

// A newer survey replaces the one running: that one is told to stop and
// posts nothing more.
void RoutinesWindow::StartSurvey(const std::wstring& path) {
  StopSurvey();
  path_ = path;
  SetDlgItemTextW(hwnd_, kRoutinesFile, (L"Routines file: " + path).c_str());
  view_.Reset(nullptr);
  ShowRows();
  if (path.empty()) {
    SetDlgItemTextW(hwnd_, kRoutinesFile, L"Routines file: none yet");
    SetDlgItemTextW(hwnd_, kRoutinesFitLine, kNoFileText);
    return;
  }
  survey_ = RoutinesSurvey::Start(hwnd_, kMsgSurveyProgress, kMsgSurveyEnded, path, listPath_);
  SetDlgItemTextW(hwnd_, kRoutinesFitLine, survey_ ? L"Reading the routines file..." : L"");
}

void RoutinesWindow::StopSurvey() {
  if (!survey_) return;
  survey_->Stop();
  survey_.reset();
}

// Takes what the survey found since the last message. The file once read
// is remembered as the one to open next time.
void RoutinesWindow::OnSurveyFound(bool ended) {
  if (!survey_) return;  // a message of a survey replaced meanwhile
  if (ended && !survey_->Ended()) return;
  RoutinesSurvey::Found found = survey_->Take();
  if (found.failure) return SurveyFailed(found.failure);
  bool rows = false;
  if (found.file) {
    if (!found.file->problem.empty()) {
      StopSurvey();
      SetDlgItemTextW(hwnd_, kRoutinesFitLine, kNoFileText);
      const std::wstring text = routines::NotRoutinesText(path_, found.file->problem);
      MessageBoxW(hwnd_, text.c_str(), kCaption, MB_OK | MB_ICONEXCLAMATION);
      return;
    }
    view_.Reset(found.file);
    RememberRoutinesFile(path_);
    rows = true;
  }
  if (!found.fits.empty()) {
    view_.SetFits(found.fits);
    rows = true;
  }
  for (auto& [entry, take] : found.takes) view_.SetTake(entry, std::move(take));
  if (!found.takes.empty() && view_.SortedByTake()) {
    view_.Resort();
    rows = true;
  }
  if (rows) {
    ShowRows();
  } else {
    InvalidateRect(Control(kRoutinesList), nullptr, FALSE);
    ShowTotal();
  }
  survey_->Shown();
  if (ended) survey_.reset();
}

// The survey stops where it failed; the window says so and stays as it
// was, and the one Guard of this message reports the failure at the
// statement it happened at.
void RoutinesWindow::SurveyFailed(const base::trap::Carried& failure) {
  StopSurvey();
  SetDlgItemTextW(hwnd_, kRoutinesFitLine, kSurveyFailedText);
  base::trap::Guard([&] { base::trap::Rethrow(failure); });
}

void RoutinesWindow::ShowRows() {
  HWND list = Control(kRoutinesList);
  ListView_SetItemCountEx(list, static_cast<int>(view_.RowCount()), LVSICF_NOSCROLL);
  InvalidateRect(list, nullptr, TRUE);
  SetDlgItemTextW(hwnd_, kRoutinesFitLine, view_.FitLine().c_str());
  ShowTotal();
}

void RoutinesWindow::ShowTotal() { SetDlgItemTextW(hwnd_, kRoutinesTotal, view_.TotalLine().c_str()); }

LRESULT RoutinesWindow::OnNotify(NMHDR* header) {
  if (header->idFrom != kRoutinesList) return 0;
  switch (header->code) {
    case LVN_GETDISPINFOW: OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header)); break;
    case LVN_COLUMNCLICK:
      view_.SortBy(static_cast<RoutineColumn>(reinterpret_cast<NMLISTVIEW*>(header)->iSubItem));
      ShowRows();
      break;
    case NM_CLICK:
    case NM_DBLCLK: {
      // A click on a tick box turns it over; a double click elsewhere on a
      // row shows its details.
      LVHITTESTINFO hit{};
      hit.pt = reinterpret_cast<NMITEMACTIVATE*>(header)->ptAction;
      const int row = ListView_SubItemHitTest(Control(kRoutinesList), &hit);
      if (row >= 0 && (hit.flags & LVHT_ONITEMSTATEICON))
        ToggleRow(row);
      else if (row >= 0 && header->code == NM_DBLCLK)
        ShowDetails();
      break;
    }
    case LVN_KEYDOWN: {
      const WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
      if (key == VK_SPACE && FocusedRow() >= 0) ToggleRow(FocusedRow());
      if (key == VK_RETURN) ShowDetails();
      break;
    }
    default: break;
  }
  return 0;
}

void RoutinesWindow::OnGetDispInfo(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  if (item.iItem < 0 || static_cast<size_t>(item.iItem) >= view_.RowCount()) return;
  const size_t row = static_cast<size_t>(item.iItem);
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0 && item.iSubItem < kRoutineColumns)
    lstrcpynW(item.pszText, view_.Cell(row, static_cast<RoutineColumn>(item.iSubItem)).c_str(), item.cchTextMax);
  if (item.mask & LVIF_STATE) {
    const bool ticked = view_.Ticked(view_.EntryOfRow(row));
    item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
    item.stateMask |= LVIS_STATEIMAGEMASK;
  }
}

int RoutinesWindow::FocusedRow() const { return ListView_GetNextItem(Control(kRoutinesList), -1, LVNI_FOCUSED); }

// An entry not understood cannot be ticked; one with a warning shows it
// and is ticked only on Yes.
void RoutinesWindow::ToggleRow(int row) {
  if (row < 0 || static_cast<size_t>(row) >= view_.RowCount()) return;
  const size_t entry = view_.EntryOfRow(static_cast<size_t>(row));
  if (!view_.Ticked(entry)) {
    if (!view_.CanTick(entry)) return (void)MessageBeep(MB_OK);
    const listfile::Routine& routine = view_.EntryAt(entry).routine;
    if (!routine.warning.empty()) {
      const std::wstring text = routine.name + L":\n\n" + routine.warning + L"\n\nTick this routine all the same?";
      if (MessageBoxW(hwnd_, text.c_str(), L"Warning", MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) return;
    }
  }
  view_.SetTicked(entry, !view_.Ticked(entry));
  ListView_RedrawItems(Control(kRoutinesList), row, row);
  ShowTotal();
}

void RoutinesWindow::ShowDetails() {
  const int row = FocusedRow();
  if (row < 0 || static_cast<size_t>(row) >= view_.RowCount()) return (void)MessageBeep(MB_OK);
  const size_t entry = view_.EntryOfRow(static_cast<size_t>(row));
  if (!details_) details_ = std::make_unique<RoutineDetailsWindow>();
  if (!details_->Open(hwnd_, icon_, view_.EntryAt(entry), listPath_)) MessageBeep(MB_OK);
}

void RoutinesWindow::OnAdd() {
  const std::vector<size_t> ticked = view_.TickedEntries();
  if (ticked.empty()) {
    MessageBoxW(hwnd_, L"Tick the routines to add first.", kCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  std::vector<listfile::Routine> chosen;
  for (size_t entry : ticked) chosen.push_back(routines::ListRoutine(view_.EntryAt(entry)));
  const Add add = std::move(add_);
  Close();
  if (add) add(chosen);
}

// The update runs on a job of its own; the survey goes on meanwhile.
void RoutinesWindow::StartUpdate(std::function<RoutinesUpdate()> work) {
  if (update_) return (void)MessageBeep(MB_OK);
  auto updated = std::make_shared<RoutinesUpdate>();
  update_ = base::WindowJob::Start(hwnd_, kMsgUpdateProgress, kMsgUpdateEnded,
                                   [updated, work](base::WindowJob&) { *updated = work(); });
  if (!update_) return (void)MessageBeep(MB_OK);
  updated_ = std::move(updated);
  EnableWindow(Control(kRoutinesUpdate), FALSE);
  SetDlgItemTextW(hwnd_, kRoutinesFitLine,
                  (L"Fetching the newest routines from " + RoutinesAddress() + L"...").c_str());
}

void RoutinesWindow::OnUpdateEnded() {
  if (!update_ || !update_->Ended()) return;
  const std::shared_ptr<base::WindowJob> update = std::exchange(update_, nullptr);
  const RoutinesUpdate updated = *std::exchange(updated_, nullptr);
  EnableWindow(Control(kRoutinesUpdate), TRUE);
  SetDlgItemTextW(hwnd_, kRoutinesFitLine, view_.File() ? view_.FitLine().c_str() : kNoFileText);
  if (update->Failed()) return base::trap::Guard([&] { update->ThrowFailure(); });
  if (!updated.question.empty()) {
    // No, the default, keeps the kept file; Yes writes the fetched one on a job again.
    const UINT style = MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2;
    if (MessageBoxW(hwnd_, updated.question.c_str(), L"Update routines", style) == IDYES)
      StartUpdate([updated] { return KeepAsked(updated); });
    return;
  }
  MessageBoxW(hwnd_, updated.message.c_str(), L"Update routines",
              MB_OK | (updated.ok ? MB_ICONINFORMATION : MB_ICONEXCLAMATION));
  if (!updated.ok) return;
  RememberRoutinesFile(updated.path);
  StartSurvey(updated.path);
}

}  // namespace app
