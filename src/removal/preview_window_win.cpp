// The preview window: a virtual list view over the preview's rows, filled
// from a worker thread. The worker owns nothing of the window: it shares
// one job with it and posts to the window only while the window is there,
// so Close never waits on a slow drive.
#include "removal/preview_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

#include "base/clipboard_win.h"
#include "base/program_win.h"
#include "base/texts_win.h"
#include "base/window_job_win.h"
#include "removal/fates_win.h"
#include "removal/removal_run_win.h"
#include "removal/removal_steps_win.h"
#include "removal/rule_expansion_win.h"

namespace removal {

// What the window and the thread deciding the fates share. The thread
// also makes what the window shows of them, so that the window only takes
// it: the rows, the totals' text and what the rules take.
struct PreviewJob {
  std::wstring listPath;
  std::shared_ptr<ListReadAhead> ahead;
  Disposal disposal = Disposal::Delete;
  Plan plan;                        // the thread's own
  std::atomic<bool> listed{false};  // the list is read, its plan made
  std::atomic<size_t> done{0};
  std::atomic<size_t> total{0};
  // Written before the end message:
  std::wstring problem;  // why the list could not be read
  std::unique_ptr<Preview> model;
  std::unique_ptr<RulesForeseen> foreseen;
  std::wstring totals;
  std::shared_ptr<base::WindowJob> job;
};

namespace {

const wchar_t kClassName[] = L"OmbrelayPreview";
constexpr UINT kMsgProgress = WM_APP + 20;
constexpr UINT kMsgFilled = WM_APP + 21;
// Twips: the first client size, the smallest frame, margins and rows.
constexpr int kClientWidth = 10500;
constexpr int kClientHeight = 6300;
constexpr int kSmallestWidth = 6000;
constexpr int kSmallestHeight = 3600;
constexpr int kMargin = 120;
constexpr int kTotalsHeight = 690;
constexpr int kButtonWidth = 1140;
constexpr int kButtonHeight = 390;
// A pause this long in typing starts a new search.
constexpr DWORD kTypingPauseMs = 1000;

// Creation order is the tab order; Layout() places them at every size.
const base::ControlSpec kControls[] = {
    {kPreviewTotals, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, 0},
    {kPreviewList, WC_LISTVIEWW, L"", LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE, 0,
     0, 0, 0},
    {kPreviewProgress, PROGRESS_CLASSW, L"", 0, 0, 0, 0, 0, 0},
    {kPreviewCopy, L"BUTTON", L"&Copy", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 0, 0, 0, 0, 0},
    {kPreviewClose, L"BUTTON", L"Close", BS_PUSHBUTTON | WS_TABSTOP, 0, 0, 0, 0, 0},
};

struct ColumnSpec {
  const wchar_t* title;
  Column column;
  int format;
  int percent;  // of the list's first width
};
const ColumnSpec kColumns[] = {
    {L"Path", Column::Path, LVCFMT_LEFT, 55},
    {L"Outcome", Column::Outcome, LVCFMT_LEFT, 30},
    {L"Size", Column::Size, LVCFMT_RIGHT, 12},
};

// Runs on the job's thread: reads the list afresh and plans it, decides
// every fate, telling the window how far it is, and makes the rows and the
// totals of them.
void Fill(PreviewJob& preview, base::WindowJob& job) {
  RemovalRun run(preview.listPath);
  if (!(preview.ahead ? run.Read(preview.problem, *preview.ahead) : run.Read(preview.problem))) return;
  preview.plan = run.TakePlan();
  preview.total = preview.plan.files.size() + preview.plan.folders.size();
  preview.listed = true;
  job.TellProgress();
  ExpandRules(preview.plan, RuleClock(), job.StopFlag());
  std::vector<Fate> fates = Foresee(
      preview.plan, preview.disposal,
      [&](size_t done, size_t total) {
        preview.done = done;
        preview.total = total;
        job.TellProgress();
      },
      job.StopFlag());
  if (job.Stopping()) return;  // the window has gone
  preview.model = std::make_unique<Preview>(std::move(fates), base::text::ExplorerSize);
  std::uint64_t ruleBytes = 0;
  for (const PlannedRule& rule : preview.plan.rules) ruleBytes += rule.bytes;
  preview.foreseen = std::make_unique<RulesForeseen>(ForeseenOf(preview.plan, base::text::ExplorerSize(ruleBytes)));
  preview.totals = TotalsText(preview.model->Totals(), base::text::ExplorerSize, base::text::UserNumberStyle());
}

}  // namespace

PreviewWindow::~PreviewWindow() { Close(); }

bool PreviewWindow::Open(HWND owner, const std::wstring& listPath, Disposal disposal,
                         std::shared_ptr<ListReadAhead> ahead) {
  returnFocus_ = GetFocus();
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | WS_CLIPCHILDREN;
  base::WindowSpec spec{kClassName, L"Preview", style, WS_EX_CONTROLPARENT, owner};
  spec.client = {kClientWidth, kClientHeight};
  spec.smallest = {kSmallestWidth, kSmallestHeight};
  spec.icon = reinterpret_cast<HICON>(SendMessageW(owner, WM_GETICON, ICON_BIG, 0));
  spec.smallIcon = reinterpret_cast<HICON>(SendMessageW(owner, WM_GETICON, ICON_SMALL, 0));
  spec.controls = kControls;
  if (!Create(spec)) return false;
  SetWindowTextW(Control(kPreviewTotals), L"Looking at the listed items...");

  job_ = std::make_shared<PreviewJob>();
  job_->listPath = listPath;
  job_->ahead = std::move(ahead);
  job_->disposal = disposal;
  // The job outlives the window if need be.
  job_->job = base::WindowJob::Start(hwnd_, kMsgProgress, kMsgFilled,
                                     [preview = job_](base::WindowJob& job) { Fill(*preview, job); });
  if (!job_->job) {
    SetWindowTextW(Control(kPreviewTotals), L"The preview could not be made: no thread could be started.");
    ShowWindow(Control(kPreviewProgress), SW_HIDE);
    Show();
  }
  return true;
}

// Once the list is read: the window shows, and its owner hears it.
void PreviewWindow::Show() {
  if (shown_) return;
  shown_ = true;
  ShowWindow(hwnd_, SW_SHOW);
  SetFocus(Control(kPreviewList));
  PostMessageW(GetWindow(hwnd_, GW_OWNER), kMsgPreviewRead, TRUE, reinterpret_cast<LPARAM>(hwnd_));
}

bool PreviewWindow::OnCreate() {
  AddColumns();
  // Without it the list view's own search is left, which finds less.
  SetWindowSubclass(Control(kPreviewList), ListProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
  Layout();
  return true;
}

// Close is IDCANCEL, so that Esc closes too.
void PreviewWindow::OnCommand(int id, int code) {
  if (id == kPreviewCopy && code == BN_CLICKED) Copy();
  Window::OnCommand(id, code);
}

LRESULT PreviewWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) Layout();
      return 0;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<const NMHDR*>(lp));
    case kMsgProgress: OnProgress(); return 0;
    case kMsgFilled: OnFilled(); return 0;
    default: return Window::OnMessage(msg, wp, lp);
  }
}

// The totals on top, the buttons along the bottom (the progress bar left
// of them while the list fills), the list between.
void PreviewWindow::Layout() {
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int width = client.right, height = client.bottom;
  const int margin = Px(kMargin), buttonWidth = Px(kButtonWidth), buttonHeight = Px(kButtonHeight);
  const int rowTop = height - margin - buttonHeight;
  const int listTop = margin + Px(kTotalsHeight);
  const int closeLeft = width - margin - buttonWidth, copyLeft = closeLeft - margin - buttonWidth;
  struct Place {
    int id, left, top, width, height;
  };
  const Place places[] = {
      {kPreviewTotals, margin, margin, width - 2 * margin, Px(kTotalsHeight) - margin},
      {kPreviewList, margin, listTop, width - 2 * margin, rowTop - margin - listTop},
      {kPreviewProgress, margin, rowTop + buttonHeight / 4, copyLeft - 2 * margin, buttonHeight / 2},
      {kPreviewCopy, copyLeft, rowTop, buttonWidth, buttonHeight},
      {kPreviewClose, closeLeft, rowTop, buttonWidth, buttonHeight},
  };
  for (const Place& p : places)
    SetWindowPos(Control(p.id), nullptr, p.left, p.top, std::max(p.width, 0), std::max(p.height, 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void PreviewWindow::AddColumns() {
  HWND list = Control(kPreviewList);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  const int listWidth = Px(kClientWidth - 2 * kMargin) - GetSystemMetrics(SM_CXVSCROLL);
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = kColumns[i].format;
    column.cx = listWidth * kColumns[i].percent / 100;
    column.pszText = const_cast<wchar_t*>(kColumns[i].title);
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void PreviewWindow::OnProgress() {
  if (!job_ || !job_->job) return;
  job_->job->ProgressTaken();
  if (job_->listed) Show();
  const size_t done = job_->done, total = job_->total;
  HWND bar = Control(kPreviewProgress);
  SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(total));
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(done), 0);
  const base::text::NumberStyle style = base::text::UserNumberStyle();
  const std::wstring text = L"Looking at the listed items: " + base::text::GroupedNumber(done, style) + L" of " +
                            base::text::GroupedNumber(total, style) + L"...";
  SetWindowTextW(Control(kPreviewTotals), text.c_str());
}

void PreviewWindow::OnFilled() {
  if (!job_ || !job_->job || !job_->job->Ended()) return;
  const bool failed = job_->job->Failed();
  if (!failed && !job_->listed) {
    problem_ = job_->problem;
    PostMessageW(GetWindow(hwnd_, GW_OWNER), kMsgPreviewRead, FALSE, reinterpret_cast<LPARAM>(hwnd_));
    return;
  }
  Show();
  ShowWindow(Control(kPreviewProgress), SW_HIDE);
  if (failed || !job_->model) {
    SetWindowTextW(Control(kPreviewTotals), L"The preview could not be made.");
    base::trap::Guard([&] { job_->job->ThrowFailure(); });
    return;
  }
  model_ = std::move(job_->model);
  foreseen_ = std::move(job_->foreseen);
  SetWindowTextW(Control(kPreviewTotals), job_->totals.c_str());
  SendMessageW(Control(kPreviewList), LVM_SETITEMCOUNT, model_->Count(), 0);
  EnableWindow(Control(kPreviewCopy), TRUE);
}

LRESULT PreviewWindow::OnNotify(const NMHDR* header) {
  if (!model_ || header->idFrom != kPreviewList) return 0;
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header))->item;
      if (!(item.mask & LVIF_TEXT) || item.iItem < 0 || static_cast<size_t>(item.iItem) >= model_->Count() ||
          item.iSubItem < 0 || item.iSubItem > 2)
        return 0;
      cell_ = model_->Cell(static_cast<size_t>(item.iItem), kColumns[item.iSubItem].column);
      if (item.pszText && item.cchTextMax > 0) lstrcpynW(item.pszText, cell_.c_str(), item.cchTextMax);
      return 0;
    }
    case LVN_ODFINDITEMW: {
      const auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
      if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz) return -1;
      const size_t row = model_->Find(find->lvfi.psz, find->iStart < 0 ? 0 : static_cast<size_t>(find->iStart));
      return row == Preview::kNone ? -1 : static_cast<LRESULT>(row);
    }
    case LVN_COLUMNCLICK: {
      const int sub = reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem;
      if (sub < 0 || sub > 2) return 0;
      model_->SortBy(kColumns[sub].column);
      HWND list = Control(kPreviewList);
      ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);  // the rows are others now
      ShowSortArrows();
      InvalidateRect(list, nullptr, FALSE);
      return 0;
    }
    default: return 0;
  }
}

// Typed characters go to the window's own search; the rest to the list.
LRESULT CALLBACK PreviewWindow::ListProcedure(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR self) {
  if (msg == WM_CHAR && wp >= L' ' && reinterpret_cast<PreviewWindow*>(self)->FindTyped(static_cast<wchar_t>(wp)))
    return 0;
  if (msg == WM_NCDESTROY) RemoveWindowSubclass(list, ListProcedure, id);
  return DefSubclassProc(list, msg, wp, lp);
}

// Type-to-find as Explorer does it: the characters typed without a pause
// make the start of a path, found without regard to case. The list view's
// own search would do it too, but Wine's leaves out ":" and never gets
// past "C". A new search starts below the focused row, so the same first
// letter again moves on; a longer text may still be the focused row's.
bool PreviewWindow::FindTyped(wchar_t c) {
  if (!model_) return false;
  const DWORD now = GetTickCount();
  if (now - typedAt_ > kTypingPauseMs) typed_.clear();
  typedAt_ = now;
  typed_ += c;
  HWND list = Control(kPreviewList);
  const int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED);
  const size_t start = focused < 0 ? 0 : static_cast<size_t>(focused) + (typed_.size() == 1 ? 1 : 0);
  const size_t row = model_->Find(typed_, start);
  if (row == Preview::kNone) {
    MessageBeep(MB_OK);
    return true;
  }
  const int item = static_cast<int>(row);
  ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetSelectionMark(list, item);
  ListView_EnsureVisible(list, item, FALSE);
  return true;
}

void PreviewWindow::ShowSortArrows() {
  HWND header = ListView_GetHeader(Control(kPreviewList));
  for (int i = 0; i < 3; ++i) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!Header_GetItem(header, i, &item)) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (kColumns[i].column == model_->SortColumn()) item.fmt |= model_->Ascending() ? HDF_SORTUP : HDF_SORTDOWN;
    Header_SetItem(header, i, &item);
  }
}

void PreviewWindow::Copy() {
  if (!model_) return;
  if (!base::CopyTextToClipboard(hwnd_, model_->CopyText()))
    MessageBoxW(hwnd_, L"The rows could not be put on the clipboard.", L"Preview", MB_OK | MB_ICONEXCLAMATION);
}

// Tells a filling still under way to stop and lets it end on its own: the
// window goes at once, and the keys go where they went before it opened.
void PreviewWindow::Close() {
  if (job_ && job_->job) {
    job_->job->Stop();
    job_->job->Forget();
  }
  if (!hwnd_) return;
  const bool active = GetActiveWindow() == hwnd_;
  DestroyWindow(hwnd_);
  if (active && IsWindow(returnFocus_)) SetFocus(returnFocus_);
}

}  // namespace removal
