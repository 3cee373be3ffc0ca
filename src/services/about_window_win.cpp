// frmAbout: one window at a time; OK unloads it and the next opening loads
// it afresh. Layout in twips scaled to the screen's DPI.
#include "services/about_window_win.h"

#include "base/encoding.h"
#include "base/handles_win.h"
#include "base/program_win.h"
#include "base/window_metrics_win.h"
#include "services/app_constants.h"
#include "services/error_trap_win.h"

namespace services {
namespace {

const wchar_t kClassName[] = L"OmbrelayAbout";
constexpr int kClientWidth = 5730;
constexpr int kClientHeight = 3795;

struct AboutControl {
  int id;
  const wchar_t* className;
  DWORD style;
  const wchar_t* text;
  int left, top, width, height;  // twips
};

// In the window's own order, which is also the Tab order.
const AboutControl kControls[] = {
    {kAboutCmdOK, L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, L"OK", 4245, 2625, 1260, 345},
    {kAboutCmdSysInfo, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, L"&System Info...", 4260, 3075, 1245, 345},
    {kAboutLabel1, L"STATIC", SS_LEFT | SS_NOPREFIX,
     L"Visit www.farrowdene.example for updates and other applications.", 255, 1800, 5220, 480},
    {kAboutLine1First, L"STATIC", SS_ETCHEDHORZ, L"", 120, 1687, 5490, 30},
    {kAboutLblDescription, L"STATIC", SS_LEFT | SS_NOPREFIX,
     L"Will add files to a list that can be deleted with the press of a button.", 1050, 1125, 4455, 480},
    {kAboutLblTitle, L"STATIC", SS_LEFT | SS_NOPREFIX, L"Application Title", 1050, 240, 4455, 480},
    {kAboutLine1Second, L"STATIC", SS_ETCHEDHORZ, L"", 120, 2400, 5490, 30},
    {kAboutLblVersion, L"STATIC", SS_LEFT | SS_NOPREFIX, L"Version 1.0", 1050, 780, 4455, 285},
    {kAboutLblDisclaimer, L"STATIC", SS_LEFT | SS_NOPREFIX, L"Warning: Use this program at your own risk. ", 255,
     2625, 3870, 825},
};

const wchar_t kUnavailable[] = L"System Information Is Unavailable At This Time";

HWND g_about = nullptr;
HFONT g_font = nullptr;
HFONT g_titleFont = nullptr;

int Px(int twips) { return win::TwipsToPixels(twips, win::WindowDpi(nullptr)); }

HFONT MakeFont(bool title) {
  return title ? win::CreateMessageFont(win::WindowDpi(nullptr), 150, true)
               : win::CreateMessageFont(win::WindowDpi(nullptr));
}

void ReleaseFonts() {
  if (g_font) DeleteObject(g_font);
  if (g_titleFont) DeleteObject(g_titleFont);
  g_font = g_titleFont = nullptr;
}

void CreateControls(HWND hwnd) {
  g_font = MakeFont(false);
  g_titleFont = MakeFont(true);
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
  for (const AboutControl& c : kControls) {
    HWND control = CreateWindowExW(0, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, Px(c.left), Px(c.top),
                                   Px(c.width), Px(c.height), hwnd,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    HFONT font = c.id == kAboutLblTitle ? g_titleFont : g_font;
    if (control && font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

// The load handler: icon, caption, title and version.
void LoadAbout(HWND hwnd, HICON icon) {
  trap::Guard([&] {
    ST(SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon)));
    CHECK_WIN(SetWindowTextW(hwnd, (L"About " + Appname).c_str()));
    CHECK_WIN(SetDlgItemTextW(hwnd, kAboutLblTitle, Appname.c_str()));
    CHECK_WIN(SetDlgItemTextW(hwnd, kAboutLblVersion, CurrentVersion.c_str()));
  });
}

void OnCommand(HWND hwnd, int id) {
  if (id == kAboutCmdOK || id == IDCANCEL) {
    trap::Guard([&] {
      CHECK_WIN(DestroyWindow(hwnd));
    });
  } else if (id == kAboutCmdSysInfo) {
    trap::Guard([&] {
      ST(StartSysInfo(hwnd));
    });
  }
}

LRESULT CALLBACK AboutProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      CreateControls(hwnd);
      return 0;
    case WM_COMMAND:
      OnCommand(hwnd, LOWORD(wp));
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      base::RemoveDialogWindow(hwnd);
      g_about = nullptr;
      ReleaseFonts();
      return 0;
    default:
      return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

bool RegisterAboutClass(HINSTANCE instance) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, kClassName, &wc)) return true;
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = AboutProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  return RegisterClassExW(&wc) != 0;
}

// The window rectangle for the client size, centred on the owner.
RECT Placement(HWND owner, DWORD style, DWORD exStyle) {
  RECT rect{0, 0, Px(kClientWidth), Px(kClientHeight)};
  AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  RECT around{};
  if (!owner || !IsWindowVisible(owner) || !GetWindowRect(owner, &around))
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &around, 0);
  const int left = around.left + (around.right - around.left - width) / 2;
  const int top = around.top + (around.bottom - around.top - height) / 2;
  return RECT{left, top, left + width, top + height};
}

HWND CreateAbout(HWND owner) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!RegisterAboutClass(instance)) return nullptr;
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  const RECT r = Placement(owner, style, exStyle);
  return CreateWindowExW(exStyle, kClassName, L"frmAbout", style, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         owner, nullptr, instance, nullptr);
}

// Text and number values; other types leave KeyVal as it was.
void TakeValue(DWORD type, const std::string& bytes, std::wstring& KeyVal) {
  if (type == REG_SZ) {
    KeyVal = enc::FromAnsi(bytes);
  } else if (type == REG_DWORD && bytes.size() >= 4) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    KeyVal = std::to_wstring(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<unsigned long>(b[3]) << 24));
  }
}

bool FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Starts the program in a normal window that gets the focus.
bool StartProgram(const std::wstring& path) {
  std::wstring commandLine = L"\"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  win::unique_handle processHandle(process.hProcess);
  win::unique_handle threadHandle(process.hThread);
  return true;
}

}  // namespace

bool GetKeyValue(HKEY KeyRoot, const std::wstring& KeyName, const std::wstring& SubKeyRef, std::wstring& KeyVal) {
  bool result = false;
  trap::Guard([&] {
    std::string keyName, valueName;
    const bool exact = enc::ToAnsi(KeyName, keyName) && enc::ToAnsi(SubKeyRef, valueName);
    win::unique_hkey key;
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    // Read access only: the tool's location is machine-wide.
    if (!exact || RegOpenKeyExA(KeyRoot, keyName.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS ||
        RegQueryValueExA(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        size == 0) {
      KeyVal.clear();
      return;
    }
    std::string bytes = ST(std::string(buffer, size));
    if (type == REG_SZ && bytes.back() == '\0') bytes.pop_back();
    ST(TakeValue(type, bytes, KeyVal));
    result = true;
  });
  return result;
}

void StartSysInfo(HWND owner) {
  std::wstring path;
  bool found = GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", L"PATH", path);
  if (!found) {
    std::wstring folder;
    found = GetKeyValue(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Shared Tools Location", L"MSINFO", folder);
    path = folder + L"\\MSINFO32.EXE";
    found = found && FileExists(path);
  }
  if (!found || !StartProgram(path)) MessageBoxW(owner, kUnavailable, Appname.c_str(), MB_OK);
}

void ShowAboutWindow(HWND owner, HICON icon) {
  trap::Guard([&] {
    if (!g_about) {
      g_about = CHECK_WIN(CreateAbout(owner));
      ST(base::AddDialogWindow(g_about));
      ST(LoadAbout(g_about, icon));
    }
    ShowWindow(g_about, SW_SHOW);
    SetForegroundWindow(g_about);
  });
}

}  // namespace services
