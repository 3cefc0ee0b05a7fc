#include "setup/FinishPage.h"

#include <io.h>
#include <shellapi.h>

#include "framework/CodePage.h"
#include "framework/ShellExecuteAsUser.h"
#include "framework/Sys.h"
#include "setup/PageLook.h"
#include "setup/WizardCodes.h"

CFinishPage::CFinishPage(CWnd* parent) : CDialog(IDD_FINISH_PAGE, parent) {}

void CFinishPage::DoDataExchange() {
  DDX_Control(IDC_TITLE, title_);
  DDX_Control(IDC_README, readme_);
  DDX_Control(IDC_NEXT, finish_);
}

BOOL CFinishPage::OnInitDialog() {
  CDialog::OnInitDialog();
  title_.SetShadow(TRUE);
  ShadeWizardButton(finish_);
  TakeParentIcons(*this);
  CenterOverParent(*this);
  readme_.SetCheck(BST_CHECKED);
  return TRUE;
}

// A missing file or a failing shell is passed over: the wizard ends anyway.
// Opened as the signed-in user, through the desktop's shell where one
// answers: Setup runs as administrator, and so would the editor.
void CFinishPage::OpenReadme() {
  if (readme_.GetCheck() != BST_CHECKED) return;
  m_installFolder = cp936::TrimRight(m_installFolder);
  const std::string path = cp936::WithTrailingBackslash(m_installFolder) + "readme.txt";
  if (!sys::FileExists(path.c_str())) return;
  sys::ShellOpenAsUser(path, SW_SHOWMAXIMIZED);
}

bool CFinishPage::OnCommand(int id, int code) {
  if (id != IDC_NEXT || code != BN_CLICKED) return false;
  OpenReadme();
  EndDialog(WIZARD_FINISH);
  return true;
}
