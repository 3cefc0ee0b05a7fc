#include "setup/WelcomePage.h"

#include "setup/PageLook.h"
#include "setup/WizardCodes.h"

CWelcomePage::CWelcomePage(CWnd* parent) : CDialog(IDD_WELCOME_PAGE, parent) {}

void CWelcomePage::DoDataExchange() {
  DDX_Control(IDCANCEL, cancel_);
  DDX_Control(IDC_NEXT, next_);
  DDX_Control(IDC_WELCOME_TEXT, instruction_);
  DDX_Control(IDC_TITLE, title_);
}

BOOL CWelcomePage::OnInitDialog() {
  CDialog::OnInitDialog();
  // The instruction keeps the label's default look, without a shadow.
  title_.SetShadow(TRUE);
  ShadeWizardButton(next_);
  ShadeCancelButton(cancel_);
  TakeParentIcons(*this);
  CenterOverParent(*this);
  return TRUE;
}

bool CWelcomePage::OnCommand(int id, int code) {
  if (id == IDC_NEXT && code == BN_CLICKED) {
    UpdateData(TRUE);
    EndDialog(WIZARD_NEXT);
    return true;
  }
  return false;
}
