#include "framework/Dialog.h"

#include "framework/App.h"
#include "framework/Handles.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent), m_nIDTemplate(templateId) {}

INT_PTR CDialog::DoModal() {
  HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  const INT_PTR result = ::DialogBoxParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_nIDTemplate), owner,
                                           &CDialog::StaticProc, reinterpret_cast<LPARAM>(this));
  m_hWnd = nullptr;
  return result;
}

void CDialog::EndDialog(INT_PTR result) {
  if (m_hWnd) ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnInitDialog() {
  DoDataExchange();
  return TRUE;
}

BOOL CDialog::UpdateData(BOOL) { return TRUE; }

bool CDialog::PaintIconIfMinimised(HICON icon) {
  if (!::IsIconic(m_hWnd)) return false;
  PaintScope paint(m_hWnd);
  SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.get()), 0);
  const RECT client = GetClientRect();
  const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  ::DrawIcon(paint.get(), x, y, icon);
  return true;
}

bool CDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_INITDIALOG:
      result = OnInitDialog();
      return true;
    case WM_COMMAND: {
      const int id = LOWORD(wp);
      const int code = HIWORD(wp);
      if (id == IDOK && code == BN_CLICKED) {
        OnOK();
      } else if (id == IDCANCEL && code == BN_CLICKED) {
        OnCancel();
      } else if (!OnCommand(id, code)) {
        return false;
      }
      result = 0;
      return true;
    }
    case WM_DRAWITEM: {
      // Owner-draw requests go back to the control's own object.
      auto* dis = reinterpret_cast<LPDRAWITEMSTRUCT>(lp);
      CWnd* control = dis ? FromHandlePermanent(dis->hwndItem) : nullptr;
      if (!control || control == this) return false;
      control->DrawItem(dis);
      result = TRUE;
      return true;
    }
    case WM_DESTROY:
      OnDestroy();
      return false;
    default:
      return false;
  }
}

INT_PTR CALLBACK CDialog::StaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  CDialog* self = nullptr;
  if (msg == WM_INITDIALOG) {
    self = reinterpret_cast<CDialog*>(lp);
    ::SetWindowLongPtrW(wnd, DWLP_USER, lp);
    self->Attach(wnd);
  } else {
    self = reinterpret_cast<CDialog*>(::GetWindowLongPtrW(wnd, DWLP_USER));
  }
  if (!self) return FALSE;
  INT_PTR handled = FALSE;
  try {
    handled = self->Dispatch(msg, wp, lp);
  } catch (...) {
    handled = FALSE;
  }
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(wnd, DWLP_USER, 0);
    self->Detach();
  }
  return handled;
}

INT_PTR CDialog::Dispatch(UINT msg, WPARAM wp, LPARAM lp) {
  current_ = {msg, wp, lp};
  LRESULT result = 0;
  if (!OnMessage(msg, wp, lp, result)) return FALSE;
  switch (msg) {
    // These return their result directly from the dialog procedure.
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
      return static_cast<INT_PTR>(result);
    default:
      ::SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
      return TRUE;
  }
}
