#pragma once
// A modal dialog run from a dialog template. The object is bound to its window
// at WM_INITDIALOG; the dialog procedure then calls the virtual handlers.
#include "framework/Wnd.h"

class CDialog : public CWnd {
 public:
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  ~CDialog() override = default;

  // Runs the dialog modally; returns the code given to EndDialog, or -1.
  virtual INT_PTR DoModal();
  void EndDialog(INT_PTR result);

  // Base initialisation binds the template's controls (DoDataExchange).
  virtual BOOL OnInitDialog();
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Commands other than IDOK and IDCANCEL; true when handled.
  virtual bool OnCommand(int id, int code) {
    (void)id;
    (void)code;
    return false;
  }
  // Every message reaches this first; return true with result set when it
  // was handled. The base handles initialisation, commands and owner-draw.
  virtual bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
  virtual void OnDestroy() {}

  BOOL UpdateData(BOOL save = TRUE);

  // While the window is minimised: erases the icon's background and draws
  // the icon centred in the client area; true when it painted.
  bool PaintIconIfMinimised(HICON icon);

  CWnd* m_pParentWnd;
  UINT m_nIDTemplate;

 protected:
  // Binds the template's controls to members with DDX_Control.
  virtual void DoDataExchange() {}
  void DDX_Control(int id, CWnd& control) { control.SubclassDlgItem(static_cast<UINT>(id), this); }

 private:
  static INT_PTR CALLBACK StaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);
};
