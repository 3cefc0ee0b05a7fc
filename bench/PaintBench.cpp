// Painting on the copy page (Setup's template): the progress bar's repaints
// over 20,000 steps (at most one per pixel of its width), the time of one
// SetShade on a 75 x 23 button, and the time of one change of the status
// line, set directly and through CStatusText.
//   PaintBench [STEPS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchCopyPage.h"
#include "bench/BenchTree.h"
#include "controls/ShadeButton.h"
#include "controls/StatusText.h"
#include "framework/Dialog.h"
#include "setup/PageLook.h"
#include "setup/WizardCodes.h"

namespace {

constexpr UINT WM_BENCH_RUN = WM_APP + 3;

class PaintPage : public CDialog {
 public:
  explicit PaintPage(int steps) : CDialog(IDD_COPY_PAGE), steps_(steps) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    CenterOverParent(*this);
    ShadeWizardButton(next_);
    progress_.SetShowText(1);
    PostMessage(WM_BENCH_RUN);  // once the page is on the screen
    return TRUE;
  }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg != WM_BENCH_RUN) return CDialog::OnMessage(msg, wp, lp, result);
    // A modal dialog shows itself only once its queue is empty.
    ShowWindow(SW_SHOW);
    UpdateWindow();
    MeasureBar();
    MeasureShade();
    MeasureStatus();
    EndDialog(IDOK);
    result = 0;
    return true;
  }
  void OnOK() override {}
  void OnCancel() override {}

 protected:
  void DoDataExchange() override {
    DDX_Control(IDC_NEXT, next_);
    DDX_Control(IDC_COPY_PROGRESS, progress_);
    DDX_Control(IDC_COPY_STATUS, status_);
  }

 private:
  void MeasureBar() {
    progress_.SetRange(0, steps_);
    progress_.SetStep(1);
    progress_.SetPos(0);
    progress_.UpdateWindow();
    progress_.paints = 0;
    const double t0 = bench::Now();
    for (int i = 0; i < steps_; ++i) progress_.StepIt();
    const double t = bench::Now() - t0;
    const RECT r = progress_.GetClientRect();
    const int paints = progress_.paints;
    std::printf("paint-bar steps=%d width=%ld repaints=%d bound=%s time=%.3f us-per-step=%.2f us-per-repaint=%.1f\n",
                steps_, r.right - r.left, paints, paints <= r.right - r.left ? "met" : "MISSED", t,
                t * 1e6 / steps_, paints > 0 ? t * 1e6 / paints : 0);
  }
  void MeasureShade() {
    ::SetWindowPos(next_.m_hWnd, nullptr, 0, 0, 75, 23, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT r = next_.GetClientRect();
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
      const double t0 = bench::Now();
      next_.SetShade(CShadeButton::BumpHard, 8, 10, 0, 0);
      times.push_back(bench::Now() - t0);
    }
    std::printf("paint-shade size=%ldx%ld calls=200 median-us=%.1f\n", r.right - r.left, r.bottom - r.top,
                bench::Median(times) * 1e6);
  }
  void MeasureStatus() {
    constexpr int kTexts = 2000;
    char text[MAX_PATH];
    double t0 = bench::Now();
    for (int i = 0; i < kTexts; ++i) {
      std::snprintf(text, sizeof text, "T:\\bench\\图框\\子目录0\\level1\\文件%05d.dat ...", i);
      SetDlgItemText(IDC_COPY_STATUS, text);
    }
    const double direct = bench::Now() - t0;
    ::Sleep(CStatusText::kIntervalMs);  // the direct texts' interval is over
    const int before = status_.ShownCount();
    t0 = bench::Now();
    for (int i = 0; i < kTexts; ++i) {
      std::snprintf(text, sizeof text, "T:\\bench\\图框\\子目录0\\level1\\文件%05d.dat ...", i);
      status_.ShowText(text);
    }
    const double throttled = bench::Now() - t0;
    std::printf("paint-status texts=%d direct-us-per-text=%.1f throttled-us-per-text=%.2f shown=%d\n", kTexts,
                direct * 1e6 / kTexts, throttled * 1e6 / kTexts, status_.ShownCount() - before);
  }

  int steps_;
  CShadeButton next_;
  bench::CountingProgress progress_;
  CStatusText status_;
};

}  // namespace

int main(int argc, char** argv) {
  const int steps = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
  PaintPage page(steps);
  page.DoModal();
  return 0;
}
