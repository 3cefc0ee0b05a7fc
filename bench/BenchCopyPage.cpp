#include "bench/BenchCopyPage.h"

#include "framework/SystemError.h"
#include "install/SetupMessages.h"
#include "setup/PageLook.h"
#include "setup/WizardCodes.h"

namespace bench {

LRESULT CountingProgress::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_PAINT) ++paints;
  return CPercentProgressCtrl::WindowProc(msg, wp, lp);
}

BenchCopyPage::BenchCopyPage(int total, unsigned display, std::function<void(CWnd&)> start, CWinThread& worker)
    : CDialog(IDD_COPY_PAGE), total_(total), display_(display), start_(std::move(start)), worker_(worker) {}

void BenchCopyPage::DoDataExchange() {
  DDX_Control(IDC_NEXT, next_);
  DDX_Control(IDC_BACK, back_);
  DDX_Control(IDCANCEL, cancel_);
  DDX_Control(IDC_TITLE, heading_);
  DDX_Control(IDC_COPY_PROGRESS, progress_);
  DDX_Control(IDC_COPY_STATUS, status_);
}

BOOL BenchCopyPage::OnInitDialog() {
  CDialog::OnInitDialog();
  CenterOverParent(*this);
  heading_.SetShadow(TRUE);
  ShadeWizardButton(back_);
  ShadeWizardButton(next_);
  ShadeCancelButton(cancel_);
  next_.EnableWindow(FALSE);
  progress_.SetShowText(1);
  progress_.SetRange(0, total_ + 15);
  progress_.SetStep(1);
  start_(*this);
  return TRUE;
}

int BenchCopyPage::BarWidth() const {
  const RECT r = progress_.GetClientRect();
  return r.right - r.left;
}

// As CCopyPage::OnSetupFile, unless the benchmark asked for less.
void BenchCopyPage::OnSetupFile(const char* target) {
  ++entries_;
  const std::string text = FormatText("%s ...", target ? target : "");
  if (display_ & Text) status_.ShowText(text);
  if (display_ & TextEveryEntry) {
    SetDlgItemText(IDC_COPY_STATUS, text);
    ++directTexts_;
  }
  if (display_ & Bar) progress_.StepIt();
}

bool BenchCopyPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_SETUP_FILE:
      OnSetupFile(reinterpret_cast<const char*>(lp));
      break;
    case WM_SETUP_FINISHING:
      SetDlgItemText(IDC_COPY_STATUS, "");
      progress_.ShowWindow(SW_HIDE);
      break;
    case WM_SETUP_DONE:
    case WM_SETUP_FAILED:
      worker_.WaitForEnd(true);
      EndDialog(IDOK);
      break;
    default:
      return CDialog::OnMessage(msg, wp, lp, result);
  }
  result = 1;
  return true;
}

}  // namespace bench
