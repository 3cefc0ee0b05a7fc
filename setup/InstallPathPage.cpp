#include "setup/InstallPathPage.h"

#include <shlobj.h>

#include "framework/CodePage.h"
#include "framework/Sys.h"
#include "install/InstallPath.h"
#include "setup/PageLook.h"
#include "setup/PathBrowser.h"
#include "setup/WizardCodes.h"

namespace {
// Appended to the folder chosen in the browser.
const char kProductSubfolder[] = "Kelvarin\\Terrasum";
}  // namespace

CInstallPathPage::CInstallPathPage(CWnd* parent) : CDialog(IDD_INSTALL_PATH_PAGE, parent) {}

void CInstallPathPage::DoDataExchange() {
  DDX_Control(IDCANCEL, cancel_);
  DDX_Control(IDC_TITLE, title_);
  DDX_Control(IDC_INSTALL_PATH, pathEdit_);
  DDX_Control(IDC_NEXT, next_);
  DDX_Control(IDC_BROWSE, browse_);
  DDX_Control(IDC_BACK, back_);
}

BOOL CInstallPathPage::OnInitDialog() {
  CDialog::OnInitDialog();
  TakeParentIcons(*this);
  CenterOverParent(*this);
  title_.SetShadow(TRUE);
  ShadeWizardButton(back_);
  ShadeWizardButton(next_);
  ShadeCancelButton(cancel_);
  pathEdit_.SetWindowText(m_installFolder);
  return TRUE;
}

// Browsing only fills the edit; the folder member changes on Next.
void CInstallPathPage::OnBrowse() {
  const std::string typed = pathEdit_.GetWindowText();
  CPathBrowser browser(m_hWnd, IDS_BROWSE_TITLE);
  browser.SetFlags(BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT);
  browser.SetInitialFolder(typed);
  if (!browser.Browse()) return;
  const std::string chosen = cp936::WithTrailingBackslash(browser.GetFolderPath());
  pathEdit_.SetWindowText(chosen + kProductSubfolder);
}

// A folder is taken as a full path on a drive. One relative to a current
// folder would be wherever Setup happens to stand (the medium, as a rule),
// the page shows no resolved path for the user to check, and the uninstaller
// acts on full paths only, so it could never remove such an installation.
std::string CInstallPathPage::FullFolder(const std::string& typed) {
  const std::string text = installpath::DriveFolderText(typed);
  if (text.empty()) return std::string();
  // Resolves "." and ".." and doubled backslashes.
  const std::string full = sys::GetFullPathName(text.c_str());
  return installpath::DriveFolderText(full) == full ? full : std::string();
}

// A refused text is kept as typed, so that the page shows it again.
void CInstallPathPage::OnNext() {
  m_installFolder = pathEdit_.GetWindowText();
  const std::string full = FullFolder(m_installFolder);
  if (!full.empty()) {
    m_installFolder = full;
    EndDialog(WIZARD_NEXT);
    return;
  }
  // Refused without a message: the whole text is selected for retyping.
  pathEdit_.SetFocus();
  pathEdit_.SendMessage(EM_SETSEL, 0, -1);
  pathEdit_.SendMessage(EM_SCROLLCARET, 0, 0);
}

bool CInstallPathPage::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_BROWSE:
      OnBrowse();
      return true;
    case IDC_NEXT:
      OnNext();
      return true;
    case IDC_BACK:
      // Back does not read the edit: a typed path is not kept.
      UpdateData(TRUE);
      EndDialog(WIZARD_BACK);
      return true;
    default:
      return false;
  }
}
