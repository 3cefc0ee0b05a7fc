#include "tests/ui/UiTest.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "framework/App.h"
#include "framework/Sys.h"
#include "framework/WideText.h"
#include "tests/ui/Png.h"

namespace ui {
namespace {

std::string ClassOf(HWND w) {
  char buf[256] = {};
  ::GetClassNameA(w, buf, sizeof buf);
  return buf;
}

struct FindArgs {
  const char* className;
  const char* caption;
  DWORD pid;
  int controlId;
  HWND found;
};

BOOL CALLBACK FindProc(HWND w, LPARAM lp) {
  auto* a = reinterpret_cast<FindArgs*>(lp);
  if (!::IsWindowVisible(w)) return TRUE;
  DWORD pid = 0;
  ::GetWindowThreadProcessId(w, &pid);
  if (a->pid && pid != a->pid) return TRUE;
  if (a->className && ClassOf(w) != a->className) return TRUE;
  if (a->caption && Text(w) != a->caption) return TRUE;
  if (a->controlId && !::GetDlgItem(w, a->controlId)) return TRUE;
  a->found = w;
  return FALSE;
}

HWND Find(const char* className, const char* caption, DWORD pid, int controlId) {
  FindArgs a{className, caption, pid, controlId, nullptr};
  ::EnumWindows(&FindProc, reinterpret_cast<LPARAM>(&a));
  return a.found;
}

BOOL CALLBACK NonBoxButtonProc(HWND w, LPARAM lp) {
  // A message box's buttons carry the dialog codes IDOK (1) to IDCONTINUE (11).
  if (ClassOf(w) == "Button" && ::GetDlgCtrlID(w) > IDCONTINUE) {
    *reinterpret_cast<bool*>(lp) = true;
    return FALSE;
  }
  return TRUE;
}

bool IsMessageBox(HWND w) {
  // A message box is a dialog with a static text of ID 0xFFFF. Dialogs of
  // templates use that ID too (IDC_STATIC, -1); they are told apart by their
  // buttons with IDs of their own.
  if (ClassOf(w) != "#32770" || ::GetDlgItem(w, 0xFFFF) == nullptr) return false;
  bool otherButton = false;
  ::EnumChildWindows(w, &NonBoxButtonProc, reinterpret_cast<LPARAM>(&otherButton));
  return !otherButton;
}

struct BoxArgs {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK BoxProc(HWND w, LPARAM lp) {
  auto* a = reinterpret_cast<BoxArgs*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(w, &pid);
  // The shape first, the visibility last. A dialog is hidden before it is
  // taken apart (EndDialog, DestroyWindow) and shown only once all its
  // controls are made, so a window still visible after it looked like a box
  // is one. The other way round, a page that ends just after it was seen
  // visible loses its own buttons while the check runs and looks like a box.
  if ((!a->pid || pid == a->pid) && IsMessageBox(w) && ::IsWindowVisible(w)) {
    a->found = w;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK ButtonProc(HWND w, LPARAM lp) {
  auto* ids = reinterpret_cast<std::vector<int>*>(lp);
  if (ClassOf(w) == "Button" && ::IsWindowVisible(w)) ids->push_back(::GetDlgCtrlID(w));
  return TRUE;
}

BOOL CALLBACK IconProc(HWND w, LPARAM lp) {
  if (ClassOf(w) == "Static" && (::GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
  }
  return TRUE;
}

Capture CaptureScreenRect(const RECT& rc) {
  Capture c;
  c.width = rc.right - rc.left;
  c.height = rc.bottom - rc.top;
  if (c.width <= 0 || c.height <= 0) return Capture{};
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = c.width;
  bi.bmiHeader.biHeight = -c.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bmp = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  ::BitBlt(mem, 0, 0, c.width, c.height, screen, rc.left, rc.top, SRCCOPY);
  ::GdiFlush();
  c.rgb.resize(static_cast<size_t>(c.width) * c.height * 3);
  const auto* px = static_cast<const unsigned char*>(bits);
  for (size_t i = 0; i < static_cast<size_t>(c.width) * c.height; ++i) {
    c.rgb[i * 3 + 0] = px[i * 4 + 2];
    c.rgb[i * 3 + 1] = px[i * 4 + 1];
    c.rgb[i * 3 + 2] = px[i * 4 + 0];
  }
  ::SelectObject(mem, old);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return c;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount() - start > timeoutMs) return false;
    ::Sleep(20);
  }
}

HWND FindTopWindow(const char* className, const char* caption, DWORD processId) {
  return Find(className, caption, processId, 0);
}

HWND WaitForWindow(const char* className, const char* caption, DWORD processId, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = Find(className, caption, processId, 0)) != nullptr; }, timeoutMs);
  return found;
}

HWND WaitForDialogWithControl(int controlId, DWORD processId, DWORD timeoutMs) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = Find("#32770", nullptr, processId, controlId)) != nullptr; }, timeoutMs);
  return found;
}

HWND Control(HWND dialog, int id) { return dialog ? ::GetDlgItem(dialog, id) : nullptr; }

std::string Text(HWND window) {
  if (!window) return {};
  // WM_GETTEXT works across processes where GetWindowText would not.
  // Read wide and given as code page 936, whatever the test's own code page.
  const LRESULT n = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(n > 0 ? n : 0) + 1, L'\0');
  const LRESULT got = ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return cp936::FromWide(text);
}

std::string ControlText(HWND dialog, int id) { return Text(Control(dialog, id)); }

bool IsEnabled(HWND dialog, int id) {
  HWND c = Control(dialog, id);
  return c && ::IsWindowEnabled(c);
}

bool IsVisible(HWND dialog, int id) {
  HWND c = Control(dialog, id);
  return c && ::IsWindowVisible(c);
}

bool IsChecked(HWND dialog, int id) {
  HWND c = Control(dialog, id);
  return c && ::SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool Click(HWND dialog, int id) {
  HWND c = Control(dialog, id);
  if (!c || !::IsWindowVisible(c) || !::IsWindowEnabled(c)) return false;
  return ::PostMessageA(c, BM_CLICK, 0, 0) != FALSE;
}

bool SetEditText(HWND dialog, int id, const std::string& text) {
  HWND c = Control(dialog, id);
  return c && sys::SendTextMessage(c, WM_SETTEXT, 0, text.c_str());
}

void PostCommand(HWND dialog, int id) { ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

void Close(HWND window) { ::PostMessageA(window, WM_CLOSE, 0, 0); }

bool MessageBoxInfo::Has(int id) const {
  for (int b : buttons)
    if (b == id) return true;
  return false;
}

MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
  MessageBoxInfo info;
  BoxArgs a{processId, nullptr};
  WaitUntil([&] {
    a.found = nullptr;
    ::EnumWindows(&BoxProc, reinterpret_cast<LPARAM>(&a));
    return a.found != nullptr;
  }, timeoutMs);
  if (!a.found) return info;
  info.window = a.found;
  info.caption = Text(a.found);
  info.text = ControlText(a.found, 0xFFFF);
  ::EnumChildWindows(a.found, &ButtonProc, reinterpret_cast<LPARAM>(&info.buttons));
  return info;
}

namespace {

// The system icon drawn here over the boxes' face colour, top row first.
std::vector<COLORREF> DrawnIcon(HICON icon, int cx, int cy) {
  std::vector<COLORREF> pixels;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, cx, cy);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  HBRUSH brush = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
  RECT all{0, 0, cx, cy};
  ::FillRect(mem, &all, brush);
  ::DrawIconEx(mem, 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x) pixels.push_back(::GetPixel(mem, x, y) & 0xFFFFFF);
  ::DeleteObject(brush);
  ::SelectObject(mem, old);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

bool ScreenShows(const RECT& rc, const std::vector<COLORREF>& want) {
  const Capture shown = CaptureScreenRect(rc);
  if (static_cast<size_t>(shown.width) * shown.height != want.size()) return false;
  size_t differ = 0;
  for (int y = 0; y < shown.height; ++y)
    for (int x = 0; x < shown.width; ++x)
      if (want[static_cast<size_t>(y) * shown.width + x] != shown.At(x, y)) ++differ;
  return differ < want.size() / 20;
}

}  // namespace

bool MessageBoxShowsIcon(const MessageBoxInfo& box, LPCSTR systemIcon, DWORD timeoutMs) {
  HWND iconWnd = nullptr;
  ::EnumChildWindows(box.window, &IconProc, reinterpret_cast<LPARAM>(&iconWnd));
  if (!iconWnd || !::IsWindowVisible(iconWnd)) return false;
  HICON icon = ::LoadIconA(nullptr, systemIcon);
  if (!icon) return false;
  RECT rc;
  ::GetWindowRect(iconWnd, &rc);
  const int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
  rc.right = rc.left + cx;
  rc.bottom = rc.top + cy;
  const std::vector<COLORREF> want = DrawnIcon(icon, cx, cy);
  // The box's process paints in its own time, and what it painted reaches
  // the screen later still; UpdateWindow from here waits for neither.
  return WaitUntil([&] { return ScreenShows(rc, want); }, timeoutMs);
}

bool Answer(const MessageBoxInfo& box, int buttonId) {
  if (!box.window || !box.Has(buttonId)) return false;
  return Click(box.window, buttonId);
}

namespace {

// The recorders of this thread; out-of-context events come back on the
// thread that set the hook, so no other thread reads this.
std::vector<ShowRecorder*>& Recorders() {
  static std::vector<ShowRecorder*> recorders;
  return recorders;
}

std::string NameOf(HWND window) {
  char handle[32];
  std::snprintf(handle, sizeof handle, "%p", static_cast<void*>(window));
  if (!::IsWindow(window)) return std::string(handle) + " (gone)";
  return std::string(handle) + " " + ClassOf(window) + " '" + Text(window) + "'";
}

// The hook library lies beside the test program.
std::string ShowHookPath() {
  std::string dir = ModuleFileName(nullptr);
  dir.erase(dir.find_last_of('\\') + 1);
  return dir + "tsshowhook.dll";
}

}  // namespace

ShowRecorder::ShowRecorder(HWND windowOfThread) {
  Recorders().push_back(this);
  DWORD pid = 0;
  const DWORD thread = ::GetWindowThreadProcessId(windowOfThread, &pid);
  if (!thread) return;
  events_ = ::SetWinEventHook(EVENT_OBJECT_SHOW, EVENT_OBJECT_SHOW, nullptr, &ShowRecorder::OnEvent, pid, 0,
                              WINEVENT_OUTOFCONTEXT);
  module_ = sys::LoadLibrary(ShowHookPath().c_str());
  const auto proc = module_ ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(
                                  ::GetProcAddress(module_, "ShowHookProc")))
                            : nullptr;
  if (proc) callHook_ = ::SetWindowsHookExA(WH_CALLWNDPROC, proc, module_, thread);
  // A message handled by that thread has passed its hooks, so the library is
  // loaded there before anything this test does next.
  DWORD_PTR ignored = 0;
  active_ = events_ && callHook_ &&
            ::SendMessageTimeoutA(windowOfThread, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored) != 0;
}

ShowRecorder::~ShowRecorder() {
  if (callHook_) ::UnhookWindowsHookEx(callHook_);
  if (module_) ::FreeLibrary(module_);
  if (events_) ::UnhookWinEvent(events_);
  auto& all = Recorders();
  for (auto it = all.begin(); it != all.end(); ++it)
    if (*it == this) {
      all.erase(it);
      break;
    }
}

void CALLBACK ShowRecorder::OnEvent(HWINEVENTHOOK hook, DWORD, HWND window, LONG object, LONG, DWORD, DWORD) {
  // A caret or a cursor shown is no window.
  if (object != OBJID_WINDOW || !window) return;
  for (ShowRecorder* r : Recorders())
    if (r->events_ == hook) {
      r->shown_.push_back(window);
      r->names_.push_back(NameOf(window));
    }
}

bool ShowRecorder::WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    // Pumped after the condition is read: whatever was shown before it held
    // is recorded when this returns.
    const bool met = condition();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
    if (met) return true;
    if (::GetTickCount() - start > timeoutMs) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
}

bool ShowRecorder::WasShown(HWND window) const {
  for (HWND w : shown_)
    if (w == window) return true;
  return false;
}

std::string ShowRecorder::Describe() const {
  std::string all;
  for (const std::string& name : names_) all += (all.empty() ? "" : ", ") + name;
  return all;
}

COLORREF Capture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
  const size_t i = (static_cast<size_t>(y) * width + x) * 3;
  return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
}

Capture CaptureWindow(HWND window, bool clientOnly) {
  RECT rc{};
  if (!window) {
    rc = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  } else if (clientOnly) {
    ::GetClientRect(window, &rc);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rc), 2);
  } else {
    ::GetWindowRect(window, &rc);
  }
  return CaptureScreenRect(rc);
}

bool SavePng(const Capture& c, const std::string& path) { return WritePng(path, c.width, c.height, c.rgb); }

bool SaveScreenshot(HWND window, const std::string& path, bool clientOnly) {
  return SavePng(CaptureWindow(window, clientOnly), path);
}

COLORREF ClientPixel(HWND window, int x, int y) {
  POINT p{x, y};
  ::ClientToScreen(window, &p);
  HDC screen = ::GetDC(nullptr);
  const COLORREF c = ::GetPixel(screen, p.x, p.y);
  ::ReleaseDC(nullptr, screen);
  return c;
}

Process::~Process() { Kill(); }

Process::Process(Process&& o) noexcept : process_(o.process_), pid_(o.pid_) {
  o.process_ = nullptr;
  o.pid_ = 0;
}

Process& Process::operator=(Process&& o) noexcept {
  if (this != &o) {
    Kill();
    process_ = o.process_;
    pid_ = o.pid_;
    o.process_ = nullptr;
    o.pid_ = 0;
  }
  return *this;
}

bool Process::Start(const std::string& commandLine, const std::string& currentDir) {
  Kill();
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = commandLine;
  if (!sys::CreateProcess(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          currentDir.empty() ? nullptr : currentDir.c_str(), &si, &pi))
    return false;
  ::CloseHandle(pi.hThread);
  process_ = pi.hProcess;
  pid_ = pi.dwProcessId;
  ::WaitForInputIdle(process_, 5000);
  return true;
}

DWORD Process::Wait(DWORD timeoutMs) {
  if (!process_) return 0;
  if (::WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = 0;
  ::GetExitCodeProcess(process_, &code);
  return code;
}

bool Process::Running() const { return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

void Process::Kill() {
  if (!process_) return;
  if (Running()) {
    ::TerminateProcess(process_, 1);
    ::WaitForSingleObject(process_, 5000);
  }
  ::CloseHandle(process_);
  process_ = nullptr;
  pid_ = 0;
}

namespace {
const char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
}  // namespace

std::vector<std::string> PendingFileRenames() {
  std::vector<std::string> entries;
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return entries;
  DWORD type = 0, size = 0;
  std::vector<wchar_t> data;
  if (::RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ) {
    data.assign(size / sizeof(wchar_t) + 2, L'\0');
    if (::RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type,
                           reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
      data.clear();
  }
  ::RegCloseKey(key);
  // Strings one after the other, each ended by a NUL, the whole by one more:
  // an empty string within is a deletion's target, so the size decides.
  const std::size_t count = size / sizeof(wchar_t);
  for (std::size_t i = 0; !data.empty() && i + 1 < count;) {
    const std::wstring entry(data.data() + i);
    char buffer[1024] = {};
    ::WideCharToMultiByte(936, 0, entry.c_str(), -1, buffer, sizeof buffer - 1, nullptr, nullptr);
    entries.emplace_back(buffer);
    i += entry.size() + 1;
  }
  return entries;
}

void ClearPendingFileRenames() {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  ::RegDeleteValueA(key, "PendingFileRenameOperations");
  ::RegCloseKey(key);
}

std::string BuildDir() {
  const char* dir = std::getenv("TS_BUILD_DIR");
  std::string d = dir && *dir ? dir : "Y:\\";
  if (d.back() != '\\') d += '\\';
  return d;
}

std::string ScreenshotDir() {
  const std::string dir = BuildDir() + "screenshots\\";
  sys::CreateDirectory(dir.c_str(), nullptr);
  return dir;
}

}  // namespace ui
