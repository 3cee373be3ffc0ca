// The About window: one window at a time; OK unloads it and the next opening loads
// it afresh. Layout in twips scaled to the screen's DPI.
#include "services/about_window_win.h"

#include "base/encoding.h"
#include "base/error_trap_win.h"
#include "base/handles_win.h"
#include "base/program_win.h"
#include "base/window_metrics_win.h"
#include "services/app_constants.h"

namespace services {
namespace {

const wchar_t kClassName[] = L"OmbrelayAbout";
constexpr int kClientWidth = 5730;
constexpr int kClientHeight = 3795;
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// In the window's own order, which is also the Tab order.
const base::ControlSpec kControls[] = {
    {kAboutCmdOK, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 4245, 2625, 1260, 345},
    {kAboutCmdSysInfo, L"BUTTON", L"&System Info...", BS_PUSHBUTTON | WS_TABSTOP, 0, 4260, 3075, 1245, 345},
    {kAboutLabel1, L"STATIC", L"Visit www.farrowdene.example for updates and other applications.",
     SS_LEFT | SS_NOPREFIX, 0, 255, 1800, 5220, 480},
    {kAboutLine1First, L"STATIC", L"", SS_ETCHEDHORZ, 0, 120, 1687, 5490, 30},
    {kAboutLblDescription, L"STATIC", L"Will add files to a list that can be deleted with the press of a button.",
     SS_LEFT | SS_NOPREFIX, 0, 1050, 1125, 4455, 480},
    {kAboutLblTitle, L"STATIC", L"Application Title", SS_LEFT | SS_NOPREFIX, 0, 1050, 240, 4455, 480},
    {kAboutLine1Second, L"STATIC", L"", SS_ETCHEDHORZ, 0, 120, 2400, 5490, 30},
    {kAboutLblVersion, L"STATIC", L"Version 1.0", SS_LEFT | SS_NOPREFIX, 0, 1050, 780, 4455, 285},
    {kAboutLblDisclaimer, L"STATIC", L"Warning: Use this program at your own risk. ", SS_LEFT | SS_NOPREFIX, 0, 255,
     2625, 3870, 825},
};

const wchar_t kUnavailable[] = L"System Information Is Unavailable At This Time";

// Text and number values; other types leave KeyVal as it was.
void TakeValue(DWORD type, const std::string& bytes, std::wstring& KeyVal) {
  if (type == REG_SZ) {
    KeyVal = base::enc::FromAnsi(bytes);
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
  base::win::unique_handle processHandle(process.hProcess);
  base::win::unique_handle threadHandle(process.hThread);
  return true;
}

}  // namespace

bool GetKeyValue(HKEY KeyRoot, const std::wstring& KeyName, const std::wstring& SubKeyRef, std::wstring& KeyVal) {
  bool result = false;
  base::trap::Guard([&] {
    std::string keyName, valueName;
    const bool exact = base::enc::ToAnsi(KeyName, keyName) && base::enc::ToAnsi(SubKeyRef, valueName);
    base::win::unique_hkey key;
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

// Centred on the owner while it shows, else on the work area.
bool AboutWindow::Load(HWND owner) {
  dpi_ = base::win::WindowDpi(nullptr);
  RECT ownerRect{};
  const bool onOwner = owner && IsWindowVisible(owner) && GetWindowRect(owner, &ownerRect);
  const RECT frame = base::CentredRect(base::FrameSize({Px(kClientWidth), Px(kClientHeight)}, kStyle, kExStyle, false),
                                       onOwner ? &ownerRect : nullptr);
  return Create({kClassName, (L"About " + Appname).c_str(), kStyle, kExStyle, owner}, &frame);
}

// The load handler: icon, title and version.
void AboutWindow::OnLoad(HICON icon) {
  base::trap::Guard([&] {
    ST(SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon)));
    CHECK_WIN(SetDlgItemTextW(hwnd_, kAboutLblTitle, Appname.c_str()));
    CHECK_WIN(SetDlgItemTextW(hwnd_, kAboutLblVersion, CurrentVersion.c_str()));
  });
}

void AboutWindow::OnCommand(int id) {
  if (id == kAboutCmdOK || id == IDCANCEL) {
    base::trap::Guard([&] {
      CHECK_WIN(DestroyWindow(hwnd_));
    });
  } else if (id == kAboutCmdSysInfo) {
    base::trap::Guard([&] {
      ST(StartSysInfo(hwnd_));
    });
  }
}

LRESULT AboutWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CREATE:
      if (!CreateControls(kControls)) return -1;
      titleFont_.reset(base::win::CreateMessageFont(dpi_, 150, true));
      if (titleFont_) SendMessageW(Control(kAboutLblTitle), WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), FALSE);
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wp));
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      base::RemoveDialogWindow(hwnd_);
      return 0;
    case WM_NCDESTROY:
      titleFont_.reset();
      return Window::OnMessage(msg, wp, lp);
    default:
      return Window::OnMessage(msg, wp, lp);
  }
}

void AboutWindow::Show(HWND owner, HICON icon) {
  base::trap::Guard([&] {
    if (!hwnd_) {
      CHECK_WIN(Load(owner));
      ST(base::AddDialogWindow(hwnd_));
      ST(OnLoad(icon));
    }
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
  });
}

}  // namespace services
