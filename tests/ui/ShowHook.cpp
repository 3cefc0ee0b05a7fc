// tsshowhook.dll: the hook procedure ui::ShowRecorder puts into the thread it
// watches. Wine 8 raises no EVENT_OBJECT_SHOW at all, so the hook raises it
// for every window that thread shows; the recorder receives it out of
// context, in the order the shows happened. WM_WINDOWPOSCHANGED, not
// WM_SHOWWINDOW: a show refused while it was being made must not count.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK ShowHookProc(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (call->message == WM_WINDOWPOSCHANGED &&
        (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW))
      ::NotifyWinEvent(EVENT_OBJECT_SHOW, call->hwnd, OBJID_WINDOW, CHILDID_SELF);
  }
  return ::CallNextHookEx(nullptr, code, wp, lp);
}
