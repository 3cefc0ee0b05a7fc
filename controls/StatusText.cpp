#include "controls/StatusText.h"

#include "framework/Sys.h"

void CStatusText::ShowText(const std::string& text) {
  if (!m_hWnd) return;
  const DWORD now = ::GetTickCount();
  // Unsigned difference: right across the tick count's wrap after 49 days.
  if (!everSet_ || now - lastChange_ >= kIntervalMs) {
    SetNow(text);
    return;
  }
  text_ = text;
  waiting_ = true;
  if (!timerSet_) {
    const DWORD elapsed = now - lastChange_;
    // A timer that cannot be had would leave the text waiting for ever.
    timerSet_ = ::SetTimer(m_hWnd, kTimerId, kIntervalMs - elapsed, nullptr) != 0;
    if (!timerSet_) SetNow(text);
  }
}

void CStatusText::Flush() {
  if (waiting_ && m_hWnd) SetNow(text_);
}

void CStatusText::SetNow(std::string text) {
  // By value: the text may be the waiting one, which DropWaiting clears.
  DropWaiting();
  settingOwn_ = true;
  sys::SetWindowText(m_hWnd, text.c_str());
  settingOwn_ = false;
  ++shown_;
}

void CStatusText::DropWaiting() {
  waiting_ = false;
  text_.clear();
  if (timerSet_ && m_hWnd) ::KillTimer(m_hWnd, kTimerId);
  timerSet_ = false;
}

LRESULT CStatusText::WindowProc(UINT msg, WPARAM wp, LPARAM) {
  switch (msg) {
    case WM_TIMER:
      if (wp != kTimerId) break;
      if (waiting_) SetNow(text_);
      else DropWaiting();
      return 0;
    case WM_SETTEXT:
      // Someone else's text is newer than the one waiting.
      if (!settingOwn_) DropWaiting();
      lastChange_ = ::GetTickCount();
      everSet_ = true;
      break;
    case WM_DESTROY:
      DropWaiting();
      break;
    default:
      break;
  }
  return Default();
}
