#pragma once
// Helpers for tests that drive real dialogs and message boxes from outside:
// find windows, read and click controls, answer message boxes, take
// screenshots. Every wait has a timeout, so a test never hangs.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace ui {

constexpr DWORD kDefaultTimeout = 15000;

// Polls until the condition holds or the timeout passes.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultTimeout);

// A visible top-level window of the class (null: any) whose caption equals
// caption (null: any), belonging to the process (0: any), waited for.
HWND WaitForWindow(const char* className, const char* caption, DWORD processId = 0,
                   DWORD timeoutMs = kDefaultTimeout);
// Same, but returns at once.
HWND FindTopWindow(const char* className, const char* caption, DWORD processId = 0);
// A visible dialog holding a control with the given ID (a page of a wizard).
HWND WaitForDialogWithControl(int controlId, DWORD processId = 0, DWORD timeoutMs = kDefaultTimeout);

HWND Control(HWND dialog, int id);
std::string Text(HWND window);
std::string ControlText(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
bool IsVisible(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);

// Presses a button the way a user's click does (BM_CLICK, posted so that a
// modal loop it opens does not block the test). False when the control is
// missing, hidden or disabled.
bool Click(HWND dialog, int id);
// Sets an edit control's text.
bool SetEditText(HWND dialog, int id, const std::string& text);
// Posts a command as the dialog manager would (IDOK for Enter, IDCANCEL for Esc).
void PostCommand(HWND dialog, int id);
// Posts WM_CLOSE (the title-bar close box).
void Close(HWND window);

struct MessageBoxInfo {
  HWND window = nullptr;
  std::string caption;
  std::string text;
  std::vector<int> buttons;  // IDs of the visible push buttons, e.g. IDYES, IDNO
  bool Has(int id) const;
};

// The next visible message box of the process (0: any), or window == null.
MessageBoxInfo WaitForMessageBox(DWORD processId = 0, DWORD timeoutMs = kDefaultTimeout);
// Whether the box shows the system icon (IDI_QUESTION, IDI_ASTERISK, ...),
// by comparing its pixels on screen with the icon drawn here, again and again
// until they match or the timeout passes: the box paints when its process
// gets to it.
constexpr DWORD kPaintTimeout = 3000;
bool MessageBoxShowsIcon(const MessageBoxInfo& box, LPCSTR systemIcon, DWORD timeoutMs = kPaintTimeout);
// Presses one of its buttons.
bool Answer(const MessageBoxInfo& box, int buttonId);

// Records every window that the thread owning a given window shows from the
// recorder's construction on, through EVENT_OBJECT_SHOW. A window up for an
// instant only is recorded as surely as one that stays, which no poll for
// visible windows can promise. Wine 8 raises no such event itself: a hook
// procedure (tsshowhook.dll, beside the test program) is put into that thread
// to raise it. The events reach this thread while it pumps its messages: wait
// through WaitUntil here, not through the plain one.
class ShowRecorder {
 public:
  explicit ShowRecorder(HWND windowOfThread);
  ~ShowRecorder();
  ShowRecorder(const ShowRecorder&) = delete;
  ShowRecorder& operator=(const ShowRecorder&) = delete;

  // Both hooks are set and the watched thread has passed through its own.
  bool Active() const { return active_; }
  bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kDefaultTimeout);
  const std::vector<HWND>& Shown() const { return shown_; }
  bool WasShown(HWND window) const;
  // The shown windows as "class 'caption'" (as they were when recorded).
  std::string Describe() const;

 private:
  static void CALLBACK OnEvent(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child, DWORD thread,
                               DWORD time);
  HWINEVENTHOOK events_ = nullptr;
  HMODULE module_ = nullptr;
  HHOOK callHook_ = nullptr;
  bool active_ = false;
  std::vector<HWND> shown_;
  std::vector<std::string> names_;
};

// Pixels of the screen (window null) or of a window's area on screen, top row
// first, RGB.
struct Capture {
  int width = 0, height = 0;
  std::vector<unsigned char> rgb;
  COLORREF At(int x, int y) const;
};
Capture CaptureWindow(HWND window, bool clientOnly = false);
bool SavePng(const Capture& capture, const std::string& path);
bool SaveScreenshot(HWND window, const std::string& path, bool clientOnly = false);
// A pixel of a window's client area as shown on screen.
COLORREF ClientPixel(HWND window, int x, int y);

// A child process started for a test; killed at destruction if still running.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(Process&& o) noexcept;
  Process& operator=(Process&& o) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool Start(const std::string& commandLine, const std::string& currentDir = "");
  // Exit code, or STILL_ACTIVE when the timeout passed.
  DWORD Wait(DWORD timeoutMs = kDefaultTimeout);
  bool Running() const;
  DWORD Id() const { return pid_; }
  HANDLE Handle() const { return process_; }
  void Kill();

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// The entries of the value PendingFileRenameOperations of the key
// "SYSTEM\CurrentControlSet\Control\Session Manager" under
// HKEY_LOCAL_MACHINE, in code page 936 and in order:
// pairs of source and target ("\??\C:\a", "!\??\C:\b"); an empty target is
// a deletion. Empty when the value is missing.
std::vector<std::string> PendingFileRenames();
// Deletes that value (each test prefix has its own).
void ClearPendingFileRenames();

// Folder of the build tree as seen from Windows (TS_BUILD_DIR, e.g. "Y:\").
std::string BuildDir();
// A folder for the test's screenshots inside the build tree (made if missing).
std::string ScreenshotDir();

}  // namespace ui
