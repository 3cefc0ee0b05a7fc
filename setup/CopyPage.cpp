#include "setup/CopyPage.h"

#include "framework/App.h"
#include "framework/CodePage.h"
#include "framework/FileFind.h"
#include "framework/Sys.h"
#include "framework/SystemError.h"
#include "setup/PageLook.h"
#include "setup/WizardCodes.h"

namespace {
// The bar's range goes this far beyond the pre-count.
constexpr int kProgressReserve = 15;

std::string AsFolder(const std::string& folder) { return cp936::WithTrailingBackslash(cp936::Trim(folder)); }
}  // namespace

CCopyPage::CCopyPage(CWnd* parent) : CDialog(IDD_COPY_PAGE, parent) {}

void CCopyPage::DoDataExchange() {
  DDX_Control(IDC_NEXT, next_);
  DDX_Control(IDC_BACK, back_);
  DDX_Control(IDCANCEL, cancel_);
  DDX_Control(IDC_TITLE, heading_);
  DDX_Control(IDC_COPY_PROGRESS, progress_);
  DDX_Control(IDC_COPY_STATUS, status_);
}

INT_PTR CCopyPage::DoModal() {
  const INT_PTR result = CDialog::DoModal();
  // The worker object is a member: its thread must be over before the page
  // (or the program) can go away.
  worker_.WaitForEnd(true);
  m_restart = worker_.FilesPutOff();
  return result;
}

BOOL CCopyPage::OnInitDialog() {
  CDialog::OnInitDialog();
  TakeParentIcons(*this);
  CenterOverParent(*this);
  heading_.SetShadow(TRUE);
  ShadeWizardButton(back_);
  ShadeWizardButton(next_);
  ShadeCancelButton(cancel_);
  next_.EnableWindow(FALSE);

  m_sourceFolder = AsFolder(m_sourceFolder);
  m_installFolder = AsFolder(m_installFolder);
  const int total = CountSourceFiles();
  progress_.SetShowText(1);
  progress_.SetRange(0, total + kProgressReserve);
  progress_.SetStep(1);
  StartWorker();
  return TRUE;
}

void CCopyPage::StartWorker() {
  worker_.m_sourceFolder = m_sourceFolder;
  worker_.m_installFolder = m_installFolder;
  worker_.m_log = m_log;
  worker_.m_perUserProgram = ModuleFileName(nullptr);
  worker_.m_pMainWnd = this;
  worker_.m_bAutoDelete = FALSE;
  // Without a worker nothing would ever end the page but a cancel: end it as
  // a worker that gave up would.
  if (!worker_.CreateThread(0, 0, nullptr)) PostMessage(WM_SETUP_FAILED);
}

int CCopyPage::CountSourceFiles() const {
  int total = 0;
  for (const std::string& name : CSetupThread::Folders()) total += CountFiles(m_sourceFolder + name, true);
  return total + CountFiles(m_sourceFolder, false);
}

int CCopyPage::CountFiles(const std::string& folder, bool recursive) {
  const std::string trimmed = cp936::Trim(folder);
  if (trimmed.empty()) return 0;
  const std::string root = cp936::WithTrailingBackslash(trimmed);
  CFileFind finder;
  bool more = finder.FindFile(root + "*.*");
  int count = 0;
  while (more) {
    more = finder.FindNextFile();
    if (finder.IsDots() || !finder.IsNameRepresentable()) continue;  // never copied
    if (!finder.IsDirectory()) ++count;
    else if (recursive) count += CountFiles(finder.GetFilePath(), true);
  }
  return count;
}

void CCopyPage::OnSetupFile(const char* target) {
  status_.ShowText(FormatText("%s ...", target ? target : ""));
  progress_.StepIt();
}

void CCopyPage::OnSetupFinishing() {
  SetDlgItemText(IDC_COPY_STATUS, "");
  progress_.ShowWindow(SW_HIDE);
  ::ShowWindow(GetDlgItem(IDC_COPY_FRAME), SW_HIDE);
  ::ShowWindow(GetDlgItem(IDC_CONFIGURING), SW_SHOW);
  cancel_.EnableWindow(FALSE);
}

void CCopyPage::OnSetupDone() {
  if (cancelConfirmed_) return;
  next_.EnableWindow(TRUE);
  EndDialog(WIZARD_NEXT);
}

void CCopyPage::OnSetupFailed() {
  if (cancelConfirmed_) return;
  EndDialog(WIZARD_FINISH);
}

// Enter would end the page with IDOK, and the wizard shows a page that ended
// so again, which here would start a second worker: the OK command is
// ignored.
void CCopyPage::OnOK() {}

void CCopyPage::OnCancel() {
  if (cancelConfirmed_) return;
  const std::string question = sys::LoadString(AfxGetInstanceHandle(), IDS_CANCEL_COPY);
  if (MessageBox(question.c_str(), AfxGetAppName(), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  cancelConfirmed_ = true;
  worker_.RequestCancel();
  // The page goes at once; its window lives on, hidden, until the worker has
  // stopped, so that what the worker still sends it, or a prompt it opens,
  // is served while we wait.
  EndDialog(WIZARD_FINISH);
  worker_.WaitForEnd(true);
}

bool CCopyPage::OnCommand(int id, int code) {
  if (id == IDC_NEXT && code == BN_CLICKED) {
    EndDialog(WIZARD_NEXT);
    return true;
  }
  return false;
}

bool CCopyPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_SETUP_FILE:
      OnSetupFile(reinterpret_cast<const char*>(lp));
      break;
    case WM_SETUP_FINISHING:
      OnSetupFinishing();
      break;
    case WM_SETUP_DONE:
      OnSetupDone();
      break;
    case WM_SETUP_FAILED:
      OnSetupFailed();
      break;
    case WM_ENABLE:
      // Disabled under a prompt (the worker's or the cancel question): the
      // user reads the status line now, so it shows the latest name.
      if (!wp) status_.Flush();
      return CDialog::OnMessage(msg, wp, lp, result);
    default:
      return CDialog::OnMessage(msg, wp, lp, result);
  }
  result = 1;
  return true;
}
