#include "framework/Wnd.h"

#include "framework/App.h"
#include "framework/Sys.h"

namespace {
const wchar_t kObjectProp[] = L"TsWndObject";
}

CWnd::~CWnd() {
  if (oldProc_ && m_hWnd && ::IsWindow(m_hWnd)) UnsubclassWindow();
  else Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND wnd) {
  return wnd ? static_cast<CWnd*>(::GetPropW(wnd, kObjectProp)) : nullptr;
}

void CWnd::Attach(HWND wnd) {
  m_hWnd = wnd;
  ::SetPropW(wnd, kObjectProp, this);
}

void CWnd::Detach() {
  if (m_hWnd && ::IsWindow(m_hWnd) && FromHandlePermanent(m_hWnd) == this) ::RemovePropW(m_hWnd, kObjectProp);
  m_hWnd = nullptr;
  oldProc_ = nullptr;
}

BOOL CWnd::SubclassWindow(HWND wnd) {
  if (!wnd || m_hWnd) return FALSE;
  Attach(wnd);
  PreSubclassWindow();
  oldProc_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::SubclassProc)));
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
  return parent ? SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id))) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  HWND wnd = m_hWnd;
  if (oldProc_ && wnd) ::SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
  Detach();
  return wnd;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  CWnd* self = FromHandlePermanent(wnd);
  if (!self || !self->oldProc_) return ::DefWindowProcW(wnd, msg, wp, lp);
  const CurrentMessage saved = self->current_;
  self->current_ = {msg, wp, lp};
  LRESULT result = 0;
  try {
    result = self->WindowProc(msg, wp, lp);
  } catch (...) {
    result = 0;
  }
  self->current_ = saved;
  if (msg == WM_NCDESTROY) self->Detach();
  return result;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) { return DefWindowProc(msg, wp, lp); }

LRESULT CWnd::Default() { return DefWindowProc(current_.msg, current_.wp, current_.lp); }

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (oldProc_) return ::CallWindowProcW(oldProc_, m_hWnd, msg, wp, lp);
  return ::DefWindowProcW(m_hWnd, msg, wp, lp);
}

std::string CWnd::GetWindowText() const { return sys::GetWindowText(m_hWnd); }

void CWnd::SetWindowText(const std::string& text) { sys::SetWindowText(m_hWnd, text.c_str()); }

std::string CWnd::GetDlgItemText(int id) const {
  HWND item = GetDlgItem(id);
  return item ? sys::GetWindowText(item) : std::string();
}

void CWnd::SetDlgItemText(int id, const std::string& text) { sys::SetDlgItemText(m_hWnd, id, text.c_str()); }

RECT CWnd::GetClientRect() const {
  RECT rc{};
  ::GetClientRect(m_hWnd, &rc);
  return rc;
}

RECT CWnd::GetWindowRect() const {
  RECT rc{};
  ::GetWindowRect(m_hWnd, &rc);
  return rc;
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) {
  return sys::MessageBox(m_hWnd, text, caption ? caption : AfxGetAppName(), type);
}
