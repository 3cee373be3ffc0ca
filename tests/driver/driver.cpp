// Test driver: finds another process's windows by title and drives them the
// way a user would (buttons, menus, list rows and check marks, message boxes,
// file dialogs, the folder browser), printing what it reads as UTF-8.
//
//   driver wait <title> [ms]               exit 0 when a visible window has that title
//   driver gone <title> [ms]               exit 0 when none has
//   driver ready <title> [ms]              exit 0 when the window's keyboard focus is on one of its
//                                          controls (it is ready for keys)
//   driver visible <title>                 prints 1 or 0 at once
//   driver msgbox <title> [yes|no|cancel|ok|retry|none]   prints the text, presses the button
//   driver text <title> <id>               prints a control's text
//   driver settext <title> <id> <text>
//   driver state <title> <id>              prints "enabled=E checked=C visible=V"
//                                          (an <id> not on the window itself is looked for on the
//                                          dialog inside it, as a setup program's pages are)
//   driver click <title> <id>              BM_CLICK (returns when the handler does)
//   driver pclick <title> <id>             posted BM_CLICK (for clicks that open modal boxes)
//   driver menu <title> <id>...            posts the menu commands, one after another
//   driver lv <title> [columns]            prints "row<TAB>i<TAB>checked<TAB>path<TAB>type" (or as many
//                                          cells as the columns given, 2 by default)
//   driver type <title> <text>             types the text into the window's list view, as keys do
//   driver focused <title>                 prints the list view's focused row (-1 for none)
//   driver header <title> <n>              clicks the list view's column header n
//   driver count <title>                   prints the number of list rows
//   driver status <title>                  prints the status bar's text
//   driver progress <title>                prints "pos=P max=M"
//   driver tick <title> <row> click|space  turns a row's check mark over like a user
//   driver key <title> <id> <vk>           posts a key press to a control
//   driver dblclick <title> <row>          double-clicks a list row's text (not its check box)
//   driver space <title>                   presses Space in the focused control (a check box in a tree)
//   driver file <title> <text> [ok|cancel] types into a file dialog and answers it
//   driver bff <title> <folder> [ok|cancel]  picks a folder in the folder browser
//   driver rect <title>                    prints the window rectangle
//   driver children <title>                lists child windows
//   driver close <title>                   posts WM_CLOSE
//   driver box <title> [button] [ms]       like msgbox, but only a dialog-class window (a message
//                                          box titled like the window that owns it)
//   driver boxdefault <title>              the id of a dialog-class box's default button (0: none)
//   driver hold <path> <ms>                keeps a file open without sharing for ms milliseconds
//   driver hwnd <title>                    prints the window's handle (a new window gets a new one)
//   driver resize <title> <w> <h>          sizes the window as its sizing border would (prints the rect)
//   driver maximize <title>                maximises the window
//   driver select <title> <row>...         highlights these rows only (focus on the first)
//   driver ctx <title> <how> <key> [ms]    opens the list's context menu on the first highlighted row
//                                          (how: mouse, shiftf10 or apps) and types an access key;
//                                          exit 6 when no menu opened within ms (5000)
//   driver colwidth <title> <n>            prints the width of the list's column n
//   driver clipboard                       prints the clipboard's Unicode text
//   driver tip <title> <id>                prints the tooltip text the window gives for a control
//   driver list                            prints "top<TAB>title" for each visible top-level window
//   driver drop <title> <path>...          drags these paths (CF_HDROP) from this process with OLE
//                                          and drops them on the window's list; prints the effect
//   driver serve                           runs the commands read from stdin, one a line (UTF-8,
//                                          arguments separated by U+001F); after each one's output
//                                          prints U+001E and its exit code on a line of their own
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

void Print(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  fwrite(out.data(), 1, out.size(), stdout);
  fflush(stdout);
}

HWND FindVisible(const wchar_t* title) {
  HWND h = nullptr;
  while ((h = FindWindowExW(nullptr, h, nullptr, title)) != nullptr) {
    if (IsWindowVisible(h)) return h;
  }
  return nullptr;
}

// A control of the window by its id, or else one on a dialog inside it
// (the page a setup program shows).
HWND Control(HWND w, int id) {
  if (HWND c = GetDlgItem(w, id)) return c;
  for (HWND page = FindWindowExW(w, nullptr, L"#32770", nullptr); page;
       page = FindWindowExW(w, page, L"#32770", nullptr)) {
    if (HWND c = GetDlgItem(page, id)) return c;
  }
  return nullptr;
}

HWND WaitTop(const wchar_t* title, int ms = 10000) {
  for (int waited = 0;; waited += 50) {
    if (HWND h = FindVisible(title)) return h;
    if (waited >= ms) return nullptr;
    Sleep(50);
  }
}

// A buffer in the process that owns a window, for messages that carry pointers.
struct Remote {
  HANDLE proc = nullptr;
  char* mem = nullptr;
  bool Open(HWND h, SIZE_T size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!proc) return false;
    mem = static_cast<char*>(VirtualAllocEx(proc, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    return mem != nullptr;
  }
  bool Write(const void* src, SIZE_T n, SIZE_T off = 0) {
    SIZE_T w = 0;
    return WriteProcessMemory(proc, mem + off, src, n, &w) && w == n;
  }
  bool Read(void* dst, SIZE_T n, SIZE_T off = 0) {
    SIZE_T r = 0;
    return ReadProcessMemory(proc, mem + off, dst, n, &r) && r == n;
  }
  ~Remote() {
    if (mem) VirtualFreeEx(proc, mem, 0, MEM_RELEASE);
    if (proc) CloseHandle(proc);
  }
};

int ButtonId(const wchar_t* s) {
  if (!_wcsicmp(s, L"yes")) return IDYES;
  if (!_wcsicmp(s, L"no")) return IDNO;
  if (!_wcsicmp(s, L"cancel")) return IDCANCEL;
  if (!_wcsicmp(s, L"retry")) return IDRETRY;
  if (!_wcsicmp(s, L"ok")) return IDOK;
  return 0;
}

void Press(HWND dlg, int id) {
  HWND b = GetDlgItem(dlg, id);
  if (b)
    PostMessageW(b, BM_CLICK, 0, 0);
  else
    PostMessageW(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

// Presses a message box's button and waits until the box has gone, as a
// user sees it go before going on: until then its owner is still disabled,
// and another box of the same title may be this one closing.
void Answer(HWND box, int id) {
  Press(box, id);
  for (int waited = 0; waited < 5000 && IsWindow(box) && IsWindowVisible(box); waited += 20) Sleep(20);
}

std::wstring ControlText(HWND h) {
  wchar_t buf[32768] = L"";
  SendMessageW(h, WM_GETTEXT, 32768, reinterpret_cast<LPARAM>(buf));
  return buf;
}

HWND ListOf(HWND w) { return FindWindowExW(w, nullptr, WC_LISTVIEWW, nullptr); }

std::wstring RowText(HWND lv, Remote& r, int row, int sub) {
  const int kText = 4096;
  LVITEMW it{};
  it.iSubItem = sub;
  it.cchTextMax = kText;
  it.pszText = reinterpret_cast<wchar_t*>(r.mem + sizeof(LVITEMW));
  r.Write(&it, sizeof it);
  int len = static_cast<int>(SendMessageW(lv, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(r.mem)));
  static wchar_t text[kText];
  r.Read(text, sizeof text, sizeof(LVITEMW));
  text[kText - 1] = 0;
  return len > 0 ? std::wstring(text) : std::wstring();
}

bool Checked(HWND lv, int row) {
  UINT st = static_cast<UINT>(SendMessageW(lv, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
  return ((st & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

int ListRows(HWND w, int columns) {
  HWND lv = ListOf(w);
  int n = static_cast<int>(SendMessageW(lv, LVM_GETITEMCOUNT, 0, 0));
  Remote r;
  if (!r.Open(lv, sizeof(LVITEMW) + 4096 * sizeof(wchar_t))) return 3;
  std::wstring out;
  for (int i = 0; i < n; ++i) {
    out += L"row\t" + std::to_wstring(i) + L"\t" + (Checked(lv, i) ? L"1" : L"0");
    for (int c = 0; c < columns; ++c) out += L"\t" + RowText(lv, r, i, c);
    out += L"\n";
    if (out.size() > 65536) {
      Print(out);
      out.clear();
    }
  }
  Print(out);
  return 0;
}

int Tick(HWND w, int row, const wchar_t* how) {
  HWND lv = ListOf(w);
  Remote r;
  if (!r.Open(lv, sizeof(LVITEMW) + sizeof(RECT))) return 3;
  SendMessageW(lv, LVM_ENSUREVISIBLE, row, FALSE);
  if (!_wcsicmp(how, L"space")) {
    LVITEMW it{};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    r.Write(&it, sizeof it);
    SendMessageW(lv, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(r.mem));
    it.state = LVIS_SELECTED | LVIS_FOCUSED;
    r.Write(&it, sizeof it);
    SendMessageW(lv, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(r.mem));
    PostMessageW(lv, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageW(lv, WM_KEYUP, VK_SPACE, 0xC0390001);
  } else {
    RECT rc{};
    rc.left = LVIR_ICON;
    r.Write(&rc, sizeof rc);
    SendMessageW(lv, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(r.mem));
    RECT icon{};
    r.Read(&icon, sizeof icon);
    rc.left = LVIR_BOUNDS;
    r.Write(&rc, sizeof rc);
    SendMessageW(lv, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(r.mem));
    RECT bounds{};
    r.Read(&bounds, sizeof bounds);
    // The state image (the check box) sits left of the item's icon area.
    int x = bounds.left + (icon.left - bounds.left) / 2;
    if (icon.left - bounds.left < 4) x = bounds.left + 8;
    int y = (bounds.top + bounds.bottom) / 2;
    LPARAM at = MAKELPARAM(x, y);
    PostMessageW(lv, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(lv, WM_LBUTTONUP, 0, at);
  }
  Sleep(200);
  return 0;
}

// Two clicks on the row's label, the second one a double click, as the
// mouse sends them.
int DoubleClick(HWND w, int row) {
  HWND lv = ListOf(w);
  Remote r;
  if (!r.Open(lv, sizeof(RECT))) return 3;
  SendMessageW(lv, LVM_ENSUREVISIBLE, row, FALSE);
  RECT rc{};
  rc.left = LVIR_LABEL;
  r.Write(&rc, sizeof rc);
  if (!SendMessageW(lv, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(r.mem))) return 4;
  r.Read(&rc, sizeof rc);
  const LPARAM at = MAKELPARAM(rc.left + 20, (rc.top + rc.bottom) / 2);
  PostMessageW(lv, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(lv, WM_LBUTTONUP, 0, at);
  PostMessageW(lv, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  PostMessageW(lv, WM_LBUTTONUP, 0, at);
  Sleep(200);
  return 0;
}

BOOL CALLBACK FindTree(HWND c, LPARAM found) {
  wchar_t cls[64] = L"";
  GetClassNameW(c, cls, 64);
  if (lstrcmpiW(cls, WC_TREEVIEWW) != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = c;
  return FALSE;
}

// The text of the selected item of the first tree view inside a window.
std::wstring SelectedTreeText(HWND w) {
  HWND tree = nullptr;
  EnumChildWindows(w, FindTree, reinterpret_cast<LPARAM>(&tree));
  if (!tree) return L"";
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!item) return L"";
  const int kText = 512;
  Remote r;
  if (!r.Open(tree, sizeof(TVITEMW) + kText * sizeof(wchar_t))) return L"";
  TVITEMW it{};
  it.mask = TVIF_TEXT;
  it.hItem = item;
  it.cchTextMax = kText;
  it.pszText = reinterpret_cast<wchar_t*>(r.mem + sizeof(TVITEMW));
  r.Write(&it, sizeof it);
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(r.mem));
  static wchar_t text[kText];
  r.Read(text, sizeof text, sizeof(TVITEMW));
  text[kText - 1] = 0;
  return text;
}

std::wstring LastComponent(std::wstring path) {
  while (!path.empty() && path.back() == L'\\') path.pop_back();
  size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring StatusText(HWND w) {
  HWND sb = FindWindowExW(w, nullptr, STATUSCLASSNAMEW, nullptr);
  if (!sb) return L"";
  // The bar shows one simple text: part 255 while it is in simple mode.
  Remote r;
  const int kText = 32768;
  if (!r.Open(sb, kText * sizeof(wchar_t))) return L"";
  static wchar_t text[kText];
  text[0] = 0;
  r.Write(text, sizeof(wchar_t));
  // Windows answers for the simple text at 255, Wine at 0.
  WPARAM part = SB_SIMPLEID;
  DWORD length = LOWORD(SendMessageW(sb, SB_GETTEXTLENGTHW, part, 0));
  if (length == 0) {
    part = 0;
    length = LOWORD(SendMessageW(sb, SB_GETTEXTLENGTHW, part, 0));
  }
  if (length == 0) return L"";
  SendMessageW(sb, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(r.mem));
  r.Read(text, sizeof text);
  text[kText - 1] = 0;
  return text;
}

// Highlights exactly the given rows of a window's list view.
bool SelectRows(HWND w, const std::vector<int>& rows) {
  HWND lv = ListOf(w);
  Remote r;
  if (!r.Open(lv, sizeof(LVITEMW))) return false;
  LVITEMW it{};
  it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  r.Write(&it, sizeof it);
  SendMessageW(lv, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(r.mem));
  for (size_t i = 0; i < rows.size(); ++i) {
    it.state = LVIS_SELECTED | (i == 0 ? LVIS_FOCUSED : 0);
    r.Write(&it, sizeof it);
    SendMessageW(lv, LVM_SETITEMSTATE, rows[i], reinterpret_cast<LPARAM>(r.mem));
  }
  if (!rows.empty()) SendMessageW(lv, LVM_ENSUREVISIBLE, rows[0], FALSE);
  return true;
}

// Brings the window forward with the keyboard focus in its list, so that
// keys typed through SendInput reach the list.
void FocusList(HWND w) {
  HWND lv = ListOf(w);
  SetForegroundWindow(w);
  DWORD thread = GetWindowThreadProcessId(w, nullptr);
  AttachThreadInput(GetCurrentThreadId(), thread, TRUE);
  SetFocus(lv);
  AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
  Sleep(200);
}

void TypeKeys(const std::vector<WORD>& down) {
  std::vector<INPUT> keys;
  for (WORD vk : down) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    keys.push_back(in);
  }
  for (auto it = down.rbegin(); it != down.rend(); ++it) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = *it;
    in.ki.dwFlags = KEYEVENTF_KEYUP;
    keys.push_back(in);
  }
  SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
}

HWND WaitPopupMenu(int ms) {
  for (int waited = 0; waited <= ms; waited += 50) {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu && IsWindowVisible(menu)) return menu;
    Sleep(50);
  }
  return nullptr;
}

// Opens the list's context menu the way `how` says and picks the item
// whose access key is `key`.
int ContextMenu(HWND w, const wchar_t* how, wchar_t key, int ms) {
  HWND lv = ListOf(w);
  if (!_wcsicmp(how, L"mouse")) {
    int row = static_cast<int>(SendMessageW(lv, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    Remote r;
    if (!r.Open(lv, sizeof(RECT))) return 3;
    RECT rc{};
    rc.left = LVIR_LABEL;
    r.Write(&rc, sizeof rc);
    SendMessageW(lv, LVM_GETITEMRECT, row < 0 ? 0 : row, reinterpret_cast<LPARAM>(r.mem));
    r.Read(&rc, sizeof rc);
    POINT at{rc.left + 40, (rc.top + rc.bottom) / 2};
    POINT screen = at;
    ClientToScreen(lv, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(lv, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(at.x, at.y));
    PostMessageW(lv, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  } else {
    FocusList(w);
    if (!_wcsicmp(how, L"apps"))
      TypeKeys({VK_APPS});
    else
      TypeKeys({VK_SHIFT, VK_F10});
  }
  HWND menu = WaitPopupMenu(ms);
  if (!menu) {
    Print(L"no context menu\n");
    return 6;
  }
  Print(L"menu\n");
  Sleep(200);
  PostMessageW(menu, WM_CHAR, towlower(key), 1);
  for (int waited = 0; waited < 3000 && IsWindowVisible(menu); waited += 50) Sleep(50);
  Sleep(200);
  return 0;
}

int PrintClipboard() {
  _setmode(_fileno(stdout), _O_BINARY);  // the text's own line ends, unchanged
  for (int attempt = 0; attempt < 20; ++attempt) {
    if (OpenClipboard(nullptr)) {
      HANDLE data = GetClipboardData(CF_UNICODETEXT);
      const wchar_t* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
      std::wstring copy = text ? text : L"";
      if (text) GlobalUnlock(data);
      CloseClipboard();
      if (!data) return 7;
      Print(copy);
      return 0;
    }
    Sleep(50);
  }
  return 8;
}

// QueryInterface for an object with one interface beside IUnknown.
template <class Object>
HRESULT QueryOne(Object* self, REFIID own, REFIID riid, void** out) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, own)) {
    *out = self;
    self->AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

// The drag source's data: file names as the shell offers them (CF_HDROP).
class FileNamesData : public IDataObject {
 public:
  explicit FileNamesData(const std::vector<std::wstring>& paths) {
    for (const std::wstring& p : paths) names_ += p + L'\0';
    names_ += L'\0';
  }
  virtual ~FileNamesData() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return QueryOne(this, IID_IDataObject, riid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the driver's stack
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* f, STGMEDIUM* m) override {
    if (QueryGetData(f) != S_OK) return DV_E_FORMATETC;
    const SIZE_T bytes = sizeof(DROPFILES) + names_.size() * sizeof(wchar_t);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!h) return E_OUTOFMEMORY;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(h));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(drop + 1, names_.data(), names_.size() * sizeof(wchar_t));
    GlobalUnlock(h);
    m->tymed = TYMED_HGLOBAL;
    m->hGlobal = h;
    m->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* f) override {
    return f && f->cfFormat == CF_HDROP && (f->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return SHCreateStdEnumFmtEtc(1, &f, out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

 private:
  std::wstring names_;
  ULONG refs_ = 1;
};

// Holds the drag over the target for a few rounds of the drag loop, then
// lets go, as a user releasing the mouse button there.
class HoldThenDrop : public IDropSource {
 public:
  virtual ~HoldThenDrop() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    return QueryOne(this, IID_IDropSource, riid, out);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return ++rounds_ < 6 ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
    lastFeedback_ = effect;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }
  DWORD lastFeedback_ = 0;

 private:
  int rounds_ = 0;
};

int Drop(HWND w, const std::vector<std::wstring>& paths) {
  if (FAILED(OleInitialize(nullptr))) return 9;
  RECT rc{};
  GetWindowRect(ListOf(w), &rc);
  SetCursorPos((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  FileNamesData data(paths);
  HoldThenDrop source;
  DWORD effect = DROPEFFECT_NONE;
  HRESULT hr = DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
  Print(std::wstring(hr == DRAGDROP_S_DROP ? L"dropped" : L"not dropped") + L" effect=" +
        (effect == DROPEFFECT_COPY ? L"copy" : std::to_wstring(effect)) + L" feedback=" +
        (source.lastFeedback_ == DROPEFFECT_COPY ? L"copy" : std::to_wstring(source.lastFeedback_)) + L"\n");
  OleUninitialize();
  return hr == DRAGDROP_S_DROP ? 0 : 10;
}

// The text of the tool for a control in the tooltips owned by a window.
int TipText(HWND w, HWND control) {
  const int kText = 4096;
  for (HWND tip = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip;
       tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) {
    if (GetWindow(tip, GW_OWNER) != w) continue;
    Remote r;
    if (!r.Open(tip, sizeof(TTTOOLINFOW) + kText * sizeof(wchar_t))) return 3;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = w;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = reinterpret_cast<wchar_t*>(r.mem + sizeof tool);
    static wchar_t text[kText];
    text[0] = 0;
    r.Write(&tool, sizeof tool);
    r.Write(text, sizeof(wchar_t), sizeof tool);
    SendMessageW(tip, TTM_GETTEXTW, kText, reinterpret_cast<LPARAM>(r.mem));
    r.Read(text, sizeof text, sizeof tool);
    text[kText - 1] = 0;
    if (text[0]) {
      Print(text);
      return 0;
    }
  }
  return 11;
}

int ListTopWindows() {
  for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
    wchar_t title[256] = L"";
    GetWindowTextW(h, title, 256);
    if (IsWindowVisible(h)) Print(std::wstring(L"top\t") + title + L"\n");
  }
  return 0;
}

// One command; argv[0] is the program's name.
int Run(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wstring(argv[1]) == L"list") return ListTopWindows();
  if (argc == 2 && std::wstring(argv[1]) == L"clipboard") return PrintClipboard();
  if (argc < 3) return 99;
  const std::wstring cmd = argv[1];
  const wchar_t* title = argv[2];
  if (cmd == L"gone") {
    int ms = argc > 3 ? _wtoi(argv[3]) : 10000;
    for (int waited = 0; waited <= ms; waited += 50) {
      if (!FindVisible(title)) return 0;
      Sleep(50);
    }
    return 1;
  }
  if (cmd == L"hold" && argc > 3) {
    HANDLE f = CreateFileW(title, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 5;
    Print(L"held\n");
    Sleep(static_cast<DWORD>(_wtoi(argv[3])));
    CloseHandle(f);
    return 0;
  }
  if (cmd == L"short") {  // the 8.3 form the file system gives a path
    wchar_t shortPath[MAX_PATH];
    const DWORD n = GetShortPathNameW(title, shortPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 2;
    Print(std::wstring(shortPath) + L"\n");
    return 0;
  }
  if (cmd == L"box") {
    HWND box = nullptr;
    int ms = argc > 4 ? _wtoi(argv[4]) : 10000;
    for (int waited = 0; !box && waited <= ms; waited += 50) {
      box = FindWindowW(L"#32770", title);
      if (box && !IsWindowVisible(box)) box = nullptr;
      if (!box) Sleep(50);
    }
    if (!box) {
      Print(L"box [" + std::wstring(title) + L"] not found\n");
      return 2;
    }
    Sleep(100);  // let the box finish painting its text
    Print(ControlText(GetDlgItem(box, 0xFFFF)));
    if (argc > 3 && ButtonId(argv[3])) Answer(box, ButtonId(argv[3]));
    return 0;
  }
  if (cmd == L"boxdefault") {
    HWND box = FindWindowW(L"#32770", title);
    if (!box) return 2;
    // Wine marks the button itself and answers DM_GETDEFID with IDOK whatever the box holds.
    int id = 0;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) id = GetDlgCtrlID(child);
    Print(std::to_wstring(id) + L"\n");
    return 0;
  }
  if (cmd == L"visible") {
    Print(FindVisible(title) ? L"1\n" : L"0\n");
    return 0;
  }
  HWND w = WaitTop(title, cmd == L"wait" && argc > 3 ? _wtoi(argv[3]) : 10000);
  if (!w) {
    Print(L"window [" + std::wstring(title) + L"] not found\n");
    return 2;
  }
  auto ctrl = [&](int i) { return Control(w, static_cast<int>(wcstol(argv[i], nullptr, 0))); };
  if (cmd == L"wait") return 0;
  if (cmd == L"ready") {
    // Shown is not yet ready for keys: wait until the window's thread has
    // put the keyboard focus on one of its controls.
    int ms = argc > 3 ? _wtoi(argv[3]) : 10000;
    for (int waited = 0; waited <= ms; waited += 50) {
      GUITHREADINFO info{};
      info.cbSize = sizeof info;
      if (GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info) && IsChild(w, info.hwndFocus)) return 0;
      Sleep(50);
    }
    return 1;
  }
  if (cmd == L"msgbox") {
    Sleep(100);  // let the box finish painting its text
    Print(ControlText(GetDlgItem(w, 0xFFFF)));
    if (argc > 3 && ButtonId(argv[3])) Answer(w, ButtonId(argv[3]));
    return 0;
  }
  if (cmd == L"text" && argc > 3) {
    Print(ControlText(ctrl(3)));
    return 0;
  }
  if (cmd == L"settext" && argc > 4) {
    SendMessageW(ctrl(3), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
    return 0;
  }
  if (cmd == L"state" && argc > 3) {
    HWND c = ctrl(3);
    if (!c) return 4;
    Print(L"enabled=" + std::to_wstring(IsWindowEnabled(c) ? 1 : 0) + L" checked=" +
          std::to_wstring(SendMessageW(c, BM_GETCHECK, 0, 0)) + L" visible=" +
          std::to_wstring(IsWindowVisible(c) ? 1 : 0) + L"\n");
    return 0;
  }
  if (cmd == L"click" && argc > 3) {
    SendMessageW(ctrl(3), BM_CLICK, 0, 0);
    return 0;
  }
  if (cmd == L"pclick" && argc > 3) {
    PostMessageW(ctrl(3), BM_CLICK, 0, 0);
    return 0;
  }
  if (cmd == L"menu" && argc > 3) {
    for (int i = 3; i < argc; ++i) PostMessageW(w, WM_COMMAND, MAKEWPARAM(wcstol(argv[i], nullptr, 0), 0), 0);
    return 0;
  }
  if (cmd == L"lv") return ListRows(w, argc > 3 ? _wtoi(argv[3]) : 2);
  if (cmd == L"type" && argc > 3) {
    // Characters as the keyboard sends them to the focused list, quickly
    // enough to make one search text.
    HWND lv = ListOf(w);
    for (const wchar_t* c = argv[3]; *c; ++c) PostMessageW(lv, WM_CHAR, *c, 1);
    Sleep(300);
    return 0;
  }
  if (cmd == L"focused") {
    Print(std::to_wstring(SendMessageW(ListOf(w), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)) + L"\n");
    return 0;
  }
  if (cmd == L"header" && argc > 3) {
    // A click in the middle of the header item.
    HWND header = reinterpret_cast<HWND>(SendMessageW(ListOf(w), LVM_GETHEADER, 0, 0));
    Remote r;
    if (!header || !r.Open(header, sizeof(RECT))) return 3;
    SendMessageW(header, HDM_GETITEMRECT, _wtoi(argv[3]), reinterpret_cast<LPARAM>(r.mem));
    RECT rc{};
    r.Read(&rc, sizeof rc);
    const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(header, WM_LBUTTONUP, 0, at);
    Sleep(300);
    return 0;
  }
  if (cmd == L"count") {
    Print(std::to_wstring(SendMessageW(ListOf(w), LVM_GETITEMCOUNT, 0, 0)) + L"\n");
    return 0;
  }
  if (cmd == L"status") {
    Print(StatusText(w));
    return 0;
  }
  if (cmd == L"progress") {
    HWND pb = FindWindowExW(w, nullptr, PROGRESS_CLASSW, nullptr);
    Print(L"pos=" + std::to_wstring(SendMessageW(pb, PBM_GETPOS, 0, 0)) + L" max=" +
          std::to_wstring(SendMessageW(pb, PBM_GETRANGE, FALSE, 0)) + L"\n");
    return 0;
  }
  if (cmd == L"tick" && argc > 4) return Tick(w, _wtoi(argv[3]), argv[4]);
  if (cmd == L"dblclick" && argc > 3) return DoubleClick(w, _wtoi(argv[3]));
  if (cmd == L"key" && argc > 4) {
    HWND c = ctrl(3);
    WPARAM vk = static_cast<WPARAM>(wcstol(argv[4], nullptr, 0));
    PostMessageW(c ? c : w, WM_KEYDOWN, vk, 1);
    PostMessageW(c ? c : w, WM_KEYUP, vk, 0xC0000001);
    return 0;
  }
  if (cmd == L"focus") {
    // The control that has the keyboard focus in the window's thread.
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info);
    Print(std::to_wstring(info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0) + L"\n");
    return 0;
  }
  if (cmd == L"space") {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info) || !info.hwndFocus) return 4;
    PostMessageW(info.hwndFocus, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageW(info.hwndFocus, WM_KEYUP, VK_SPACE, 0xC0390001);
    Sleep(200);
    return 0;
  }
  if ((cmd == L"tab" || cmd == L"alt") && argc > 3) {
    // Keys typed into the focused control: "tab <n>" presses Tab n times,
    // "alt <c>" presses Alt and a letter (an access key).
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info);
    HWND target = info.hwndFocus ? info.hwndFocus : w;
    if (cmd == L"tab") {
      for (int i = 0; i < _wtoi(argv[3]); ++i) {
        PostMessageW(target, WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageW(target, WM_KEYUP, VK_TAB, 0xC00F0001);
        Sleep(100);
        GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &info);
        if (info.hwndFocus) target = info.hwndFocus;
      }
    } else {
      PostMessageW(target, WM_SYSCHAR, towlower(argv[3][0]), 0x20000001);
    }
    Sleep(200);
    return 0;
  }
  if (cmd == L"file" && argc > 3) {
    HWND e = GetDlgItem(w, 0x47c);
    if (!e) e = GetDlgItem(w, 0x480);
    SendMessageW(e, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    Sleep(100);
    Press(w, argc > 4 ? ButtonId(argv[4]) : IDOK);
    return 0;
  }
  if (cmd == L"bff" && argc > 3) {
    const wchar_t* path = argv[3];
    Remote r;
    SIZE_T n = (wcslen(path) + 1) * sizeof(wchar_t);
    if (!r.Open(w, n) || !r.Write(path, n)) return 3;
    // A selection the browser gets before it has filled its tree is lost:
    // send it again until the tree shows the folder's name (a drive root's
    // label differs, so after a few tries the answer goes anyway).
    for (int attempt = 0; attempt < 15; ++attempt) {
      SendMessageW(w, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(r.mem));
      Sleep(200);
      if (!_wcsicmp(SelectedTreeText(w).c_str(), LastComponent(path).c_str())) break;
    }
    Sleep(100);
    Press(w, argc > 4 ? ButtonId(argv[4]) : IDOK);
    return 0;
  }
  if (cmd == L"rect") {
    RECT r{};
    GetWindowRect(w, &r);
    RECT c{};
    GetClientRect(w, &c);
    Print(L"rect=" + std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
          std::to_wstring(r.bottom) + L" client=" + std::to_wstring(c.right) + L"x" + std::to_wstring(c.bottom) +
          L" screen=" + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"x" +
          std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) + L" zoomed=" + std::to_wstring(IsZoomed(w) ? 1 : 0) + L"\n");
    return 0;
  }
  if (cmd == L"children") {
    for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
      wchar_t cls[128] = L"";
      GetClassNameW(c, cls, 128);
      RECT r{};
      GetWindowRect(c, &r);
      MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&r), 2);
      Print(L"child\t" + std::to_wstring(GetDlgCtrlID(c)) + L"\t" + cls + L"\t" + ControlText(c) + L"\t" +
            std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right - r.left) + L"," +
            std::to_wstring(r.bottom - r.top) + L"\t" + (IsWindowEnabled(c) ? L"enabled" : L"disabled") + L"\n");
    }
    return 0;
  }
  auto printSize = [&] {
    RECT r{};
    GetWindowRect(w, &r);
    Print(L"size=" + std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top) + L"\n");
    return 0;
  };
  if (cmd == L"resize" && argc > 4) {
    SetWindowPos(w, nullptr, 0, 0, _wtoi(argv[3]), _wtoi(argv[4]), SWP_NOMOVE | SWP_NOZORDER);
    Sleep(200);
    return printSize();
  }
  if (cmd == L"maximize") {
    PostMessageW(w, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    Sleep(300);
    return printSize();
  }
  if (cmd == L"select") {
    std::vector<int> rows;
    for (int i = 3; i < argc; ++i) rows.push_back(_wtoi(argv[i]));
    return SelectRows(w, rows) ? 0 : 3;
  }
  if (cmd == L"colwidth" && argc > 3) {
    Print(std::to_wstring(SendMessageW(ListOf(w), LVM_GETCOLUMNWIDTH, _wtoi(argv[3]), 0)) + L"\n");
    return 0;
  }
  if (cmd == L"tip" && argc > 3) return TipText(w, ctrl(3));
  if (cmd == L"ctx" && argc > 4) return ContextMenu(w, argv[3], argv[4][0], argc > 5 ? _wtoi(argv[5]) : 5000);
  if (cmd == L"drop" && argc > 3) {
    std::vector<std::wstring> paths(argv + 3, argv + argc);
    return Drop(w, paths);
  }
  if (cmd == L"hwnd") {
    Print(std::to_wstring(reinterpret_cast<UINT_PTR>(w)) + L"\n");
    return 0;
  }
  if (cmd == L"close") {
    PostMessageW(w, WM_CLOSE, 0, 0);
    return 0;
  }
  return 99;
}

std::wstring FromUtf8(const std::string& text) {
  int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n);
  return out;
}

// Runs command after command in this one process: starting a Wine process
// costs far more than most commands take.
int Serve() {
  _setmode(_fileno(stdin), _O_BINARY);
  for (;;) {
    std::string line;
    int c;
    while ((c = getchar()) != EOF && c != '\n') line += static_cast<char>(c);
    if (c == EOF && line.empty()) return 0;
    std::vector<std::wstring> args{L"driver"};
    std::wstring rest = FromUtf8(line);
    for (size_t at = 0;;) {
      size_t end = rest.find(L'\x1f', at);
      args.push_back(rest.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at));
      if (end == std::wstring::npos) break;
      at = end + 1;
    }
    std::vector<wchar_t*> argv;
    for (auto& arg : args) argv.push_back(&arg[0]);
    argv.push_back(nullptr);
    int rc = Run(static_cast<int>(args.size()), argv.data());
    _setmode(_fileno(stdout), _O_TEXT);  // the clipboard's text went out unchanged
    Print(L"\x1e" + std::to_wstring(rc) + L"\n");
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 2 && std::wstring(argv[1]) == L"serve") return Serve();
  return Run(argc, argv);
}
