#include "tests/wine/controls/ControlsDialog.h"

#include <atomic>
#include <thread>

namespace ctltest {
namespace {

constexpr UINT WM_TEST_RUN = WM_APP + 7;
constexpr UINT WM_TEST_POSTED = WM_APP + 8;
constexpr DWORD kPixelTimeout = 5000;

// Marks posted by WaitForPostedMessages, and the last one the dialog handled.
std::atomic<unsigned> postedSent{0}, postedHandled{0};

// Wine's X11 driver carries out every SetCursorPos, and every injected move,
// by grabbing the X pointer, warping it and letting it go. The grab's
// crossing events come back as mouse input of their own, read by whichever
// process owns the X window concerned (explorer.exe for the virtual desktop,
// the dialog's thread for the dialog), at the position the pointer had at
// that moment, which for the grab is the position before the move. Under
// load that input is handled late, after the test's next step, and puts the
// pointer back where it was: a press lands on the old place, a release
// outside the button is made over it. The tests are the only source of
// mouse input here, so while a dialog runs a low-level hook drops all mouse
// input that no program injected (SendInput marks its input LLMHF_INJECTED;
// SetCursorPos does not pass the hook at all).
class OnlyInjectedMouseInput {
 public:
  OnlyInjectedMouseInput() {
    HANDLE ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, ready] {
      MSG msg;
      ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
      threadId_ = ::GetCurrentThreadId();
      // The hook is called on this thread, which must serve its messages.
      HHOOK hook = ::SetWindowsHookExA(WH_MOUSE_LL, &Filter, ::GetModuleHandleA(nullptr), 0);
      ::SetEvent(ready);
      while (hook && ::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
      if (hook) ::UnhookWindowsHookEx(hook);
    });
    ::WaitForSingleObject(ready, INFINITE);
    ::CloseHandle(ready);
  }
  ~OnlyInjectedMouseInput() {
    ::PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
  OnlyInjectedMouseInput(const OnlyInjectedMouseInput&) = delete;
  OnlyInjectedMouseInput& operator=(const OnlyInjectedMouseInput&) = delete;

 private:
  static LRESULT CALLBACK Filter(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && !(reinterpret_cast<const MSLLHOOKSTRUCT*>(lp)->flags & LLMHF_INJECTED)) return 1;
    return ::CallNextHookEx(nullptr, code, wp, lp);
  }

  std::thread thread_;
  DWORD threadId_ = 0;
};

void Place(CWnd& control, int x, int y, int w, int h) {
  ::SetWindowPos(control.m_hWnd, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Sizes a window so that its client area is w × h (the progress bar adds an edge of its own).
void PlaceClient(CWnd& control, int x, int y, int w, int h) {
  Place(control, x, y, w, h);
  const RECT outer = control.GetWindowRect(), inner = control.GetClientRect();
  Place(control, x, y, w + (outer.right - outer.left) - inner.right, h + (outer.bottom - outer.top) - inner.bottom);
}

void SendMouse(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  ::SendInput(1, &in, sizeof in);
}

}  // namespace

void ControlsDialog::DoDataExchange() {
  DDX_Control(kOk, ok);
  DDX_Control(kCancel, cancel);
  DDX_Control(kDisabled, disabled);
  DDX_Control(kFlat, flat);
  DDX_Control(kCheck, check);
  DDX_Control(kPushCheck, pushCheck);
  DDX_Control(kRadioA, radioA);
  DDX_Control(kRadioB, radioB);
  DDX_Control(kRadioC, radioC);
  DDX_Control(kShadowLabel, shadowLabel);
  DDX_Control(kPlainLabel, plainLabel);
  DDX_Control(kProgress, progress);
}

void ControlsDialog::Layout() {
  RECT frame{0, 0, 460, 230};
  ::AdjustWindowRectEx(&frame, GetStyle(), FALSE, static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)));
  ::SetWindowPos(m_hWnd, nullptr, 40, 40, frame.right - frame.left, frame.bottom - frame.top, SWP_NOZORDER);
  Place(shadowLabel, 10, 10, 300, 40);
  Place(plainLabel, 10, 55, 300, 40);
  int x = 10;
  for (CWnd* b : {static_cast<CWnd*>(&ok), static_cast<CWnd*>(&cancel), static_cast<CWnd*>(&disabled),
                  static_cast<CWnd*>(&flat)}) {
    Place(*b, x, 105, kButtonWidth, kButtonHeight);
    x += 85;
  }
  x = 10;
  for (CWnd* b : {static_cast<CWnd*>(&check), static_cast<CWnd*>(&pushCheck), static_cast<CWnd*>(&radioA),
                  static_cast<CWnd*>(&radioB), static_cast<CWnd*>(&radioC)}) {
    Place(*b, x, 140, kButtonWidth, kButtonHeight);
    x += 85;
  }
  PlaceClient(progress, 10, 185, kBarWidth, kBarHeight);
}

BOOL ControlsDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  Layout();
  // As the programs' dialogs do: BumpHard for push buttons, BumpSoft for Cancel.
  for (CShadeButton* b : {&ok, &disabled, &flat, &check, &pushCheck, &radioA, &radioB, &radioC})
    b->SetShade(CShadeButton::BumpHard, 8, 10, 0, 0);
  cancel.SetShade(CShadeButton::BumpSoft, 8, 10, 0, 0);
  shadowLabel.SetShadow(TRUE);
  return TRUE;
}

bool ControlsDialog::OnCommand(int id, int code) {
  if (code != BN_CLICKED || id < 0 || id >= 2000) return false;
  ++clicks[id];
  return true;
}

bool ControlsDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg == WM_TEST_RUN) {
    (*reinterpret_cast<const std::function<void()>*>(lp))();
    result = 0;
    return true;
  }
  if (msg == WM_TEST_POSTED) {
    postedHandled.store(static_cast<unsigned>(lp));
    result = 0;
    return true;
  }
  return CDialog::OnMessage(msg, wp, lp, result);
}

bool RunWithDialog(ControlsDialog& dialog, const std::function<void(HWND)>& script) {
  OnlyInjectedMouseInput filter;
  bool appeared = false;
  std::thread driver([&] {
    HWND w = ui::WaitForWindow("#32770", "控件测试", ::GetCurrentProcessId());
    if (!w) return;
    appeared = true;
    MoveMouseAway();
    script(w);
    ::PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  dialog.DoModal();
  driver.join();
  return appeared;
}

void RunOnUi(HWND dialog, const std::function<void()>& fn) {
  ::SendMessageA(dialog, WM_TEST_RUN, 0, reinterpret_cast<LPARAM>(&fn));
}

// The thread's posted messages come out of its queue in the order they were
// posted, so once a message posted now has been handled, so have they.
bool WaitForPostedMessages(HWND dialog) {
  const unsigned mark = ++postedSent;
  if (!::PostMessageA(dialog, WM_TEST_POSTED, 0, static_cast<LPARAM>(mark))) return false;
  return WaitFor([&] { return postedHandled.load() == mark; });
}

void MoveMouseTo(HWND window, int x, int y) {
  POINT p{x, y};
  ::ClientToScreen(window, &p);
  ::SetCursorPos(p.x, p.y);
  // A real move event at the new place, so the window under it is told.
  SendMouse(MOUSEEVENTF_MOVE);
}

void MoveMouseAway() {
  ::SetCursorPos(1000, 740);
  SendMouse(MOUSEEVENTF_MOVE);
}

void LeftButton(bool down) { SendMouse(down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP); }

void PressKey(WORD vk) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(2, in, sizeof in[0]);
}

COLORREF WaitForPixel(HWND window, int x, int y, COLORREF want) {
  ui::WaitUntil([&] { return ui::ClientPixel(window, x, y) == want; }, kPixelTimeout);
  return ui::ClientPixel(window, x, y);
}

bool WaitFor(const std::function<bool()>& condition) { return ui::WaitUntil(condition, kPixelTimeout); }

bool IsPushed(HWND button) { return (::SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; }

int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

COLORREF FaceColour(const CDibSurface& image, int x, int y) { return image.PaletteEntry(image.PixelIndex(x, y)); }

void Screenshot(HWND dialog, const std::string& name) {
  ui::SaveScreenshot(dialog, ui::ScreenshotDir() + "controls_" + name + ".png");
}

}  // namespace ctltest
