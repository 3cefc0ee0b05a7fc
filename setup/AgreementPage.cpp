#include "setup/AgreementPage.h"

#include "setup/LicenceText.h"
#include "setup/PageLook.h"
#include "setup/WizardCodes.h"

CAgreementPage::CAgreementPage(CWnd* parent) : CDialog(IDD_AGREEMENT_PAGE, parent) {}

void CAgreementPage::DoDataExchange() {
  DDX_Control(IDC_TITLE, title_);
  DDX_Control(IDCANCEL, cancel_);
  DDX_Control(IDC_AGREEMENT_TEXT, agreementText_);
  DDX_Control(IDC_NEXT, next_);
  DDX_Control(IDC_BACK, back_);
  DDX_Control(IDC_DISAGREE, disagree_);
  DDX_Control(IDC_AGREE, agree_);
}

BOOL CAgreementPage::OnInitDialog() {
  CDialog::OnInitDialog();
  title_.SetShadow(TRUE);
  ShadeWizardButton(back_);
  ShadeWizardButton(next_);
  ShadeCancelButton(cancel_);
  TakeParentIcons(*this);
  CenterOverParent(*this);

  agreementText_.SetWindowText(kLicenceText);
  ShowChoice(m_agreed == 1);
  return TRUE;
}

void CAgreementPage::ShowChoice(bool agreed) {
  agree_.SetCheck(agreed ? BST_CHECKED : BST_UNCHECKED);
  disagree_.SetCheck(agreed ? BST_UNCHECKED : BST_CHECKED);
  next_.EnableWindow(agreed ? TRUE : FALSE);
}

// The two radio buttons start a group each, so the dialog manager does not
// make them exclusive: the page keeps them so, and the flag follows at once,
// because the wizard takes it back whatever way the page ends.
void CAgreementPage::OnAgreeClicked() {
  m_agreed = agree_.GetCheck() == BST_CHECKED ? 1 : 0;
  ShowChoice(m_agreed == 1);
}

void CAgreementPage::OnDisagreeClicked() {
  m_agreed = disagree_.GetCheck() == BST_CHECKED ? 0 : 1;
  ShowChoice(m_agreed == 1);
}

bool CAgreementPage::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_AGREE:
      OnAgreeClicked();
      return true;
    case IDC_DISAGREE:
      OnDisagreeClicked();
      return true;
    case IDC_BACK:
      UpdateData(TRUE);
      EndDialog(WIZARD_BACK);
      return true;
    case IDC_NEXT:
      UpdateData(TRUE);
      EndDialog(WIZARD_NEXT);
      return true;
    default:
      return false;
  }
}
