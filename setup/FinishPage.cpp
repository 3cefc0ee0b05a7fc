#include "setup/FinishPage.h"

#include <io.h>
#include <shellapi.h>

#include "framework/App.h"
#include "framework/CodePage.h"
#include "framework/ShellExecuteAsUser.h"
#include "framework/Sys.h"
#include "setup/PageLook.h"
#include "setup/WizardCodes.h"

namespace {
// Posted by the page to itself, so that the message comes over the page
// already shown.
constexpr UINT WM_FINISH_TELL_RESTART = WM_APP + 1;
}  // namespace

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
  if (!m_restart.files.empty()) PostMessage(WM_FINISH_TELL_RESTART);
  return TRUE;
}

// Once per run of the wizard: the list is emptied once told.
void CFinishPage::TellRestartNeeded() {
  if (m_restart.files.empty()) return;
  const std::string text = inuse::RestartMessage(m_restart, "替换", "安装");
  m_restart = RestartList();
  // A modal dialog shows itself only once its queue is empty; the message
  // must come over the page, not before it.
  ShowWindow(SW_SHOW);
  UpdateWindow();
  MessageBox(text.c_str(), AfxGetAppName(), MB_OK | MB_ICONINFORMATION);
}

bool CFinishPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  if (msg != WM_FINISH_TELL_RESTART) return CDialog::OnMessage(msg, wp, lp, result);
  TellRestartNeeded();
  result = 0;
  return true;
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
