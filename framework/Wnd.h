#pragma once
// A window object bound to a window handle. Controls of a dialog template are
// subclassed into CWnd objects; the object's WindowProc then sees their
// messages first, and Default() passes a message on to the original procedure.
#include <windows.h>

#include <string>

class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd();
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND m_hWnd = nullptr;
  HWND GetSafeHwnd() const { return m_hWnd; }

  // The object bound to a window by subclassing or by a dialog, or null.
  static CWnd* FromHandlePermanent(HWND wnd);

  BOOL SubclassWindow(HWND wnd);
  BOOL SubclassDlgItem(UINT id, CWnd* parent);
  HWND UnsubclassWindow();

  // Called after the window is bound and before its procedure is replaced.
  virtual void PreSubclassWindow() {}
  // Sees every message of a subclassed window; the default passes it on.
  virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
  // Owner-draw request reflected from the parent dialog.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}

  // Passes the message being handled on to the original window procedure.
  LRESULT Default();
  LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);

  std::string GetWindowText() const;
  void SetWindowText(const std::string& text);
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  std::string GetDlgItemText(int id) const;
  void SetDlgItemText(int id, const std::string& text);
  BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
  void UpdateWindow() { ::UpdateWindow(m_hWnd); }
  RECT GetClientRect() const;
  RECT GetWindowRect() const;
  DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongW(m_hWnd, GWL_STYLE)); }
  void SetStyle(DWORD style) { ::SetWindowLongW(m_hWnd, GWL_STYLE, static_cast<LONG>(style)); }
  HWND SetFocus() { return ::SetFocus(m_hWnd); }
  HWND GetParent() const { return ::GetParent(m_hWnd); }
  LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::SendMessageW(m_hWnd, msg, wp, lp); }
  BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) { return ::PostMessageW(m_hWnd, msg, wp, lp); }
  int MessageBox(const char* text, const char* caption = nullptr, UINT type = MB_OK);

 protected:
  // Runs a window procedure call for a bound object; catches everything,
  // because an exception must not leave a window procedure.
  static LRESULT CALLBACK SubclassProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  void Attach(HWND wnd);
  void Detach();

  struct CurrentMessage {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
  };
  CurrentMessage current_{};

 private:
  WNDPROC oldProc_ = nullptr;
};

// Thin wrappers of the standard controls.
class CButton : public CWnd {
 public:
  int GetCheck() const { return static_cast<int>(::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0)); }
  void SetCheck(int check) { ::SendMessageW(m_hWnd, BM_SETCHECK, static_cast<WPARAM>(check), 0); }
};

class CStatic : public CWnd {};

class CEdit : public CWnd {};

class CProgressCtrl : public CWnd {};
