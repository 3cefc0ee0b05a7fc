// Install, engine only: CSetupThread's folder and top-level stages reporting
// to a page that updates its progress bar and status text as the copy page
// does, against a plain CopyFileA loop over the same tree. The contenders run
// alternately; the medians and their ratio are printed.
//   EngineBench SOURCE TARGET [ROUNDS]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTree.h"
#include "controls/PercentProgressCtrl.h"
#include "framework/Dialog.h"
#include "framework/SystemError.h"
#include "install/SetupThread.h"

namespace {

// "quiet" as a fourth argument leaves the page's display alone, to tell the
// engine's own cost from the cost of showing its progress.
bool g_showProgress = true;

// The folder and top-level stages only, then done.
class CopyOnlyWorker : public CSetupThread {
 public:
  int Run() override {
    for (const std::string& name : Folders())
      if (!CopyFolder(m_sourceFolder + name, m_installFolder + name)) break;
    CopyTopFiles();
    ::PostMessageA(m_pMainWnd->m_hWnd, WM_SETUP_DONE, 0, 0);
    return 0;
  }
};

// Stands in for the copy page: the same handling of WM_SETUP_FILE.
class BenchPage : public CDialog {
 public:
  BenchPage(const std::string& source, const std::string& target, int total)
      : CDialog(100), source_(source), target_(target), total_(total) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    progress_.SetShowText(TRUE);
    progress_.SetRange(0, total_ + 15);
    progress_.SetStep(1);
    worker_.m_sourceFolder = source_;
    worker_.m_installFolder = target_;
    worker_.m_pMainWnd = this;
    worker_.m_bAutoDelete = FALSE;
    worker_.CreateThread();
    return TRUE;
  }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_SETUP_FILE) {
      if (g_showProgress) {
        SetDlgItemText(1015, FormatText("%s ...", reinterpret_cast<const char*>(lp)));
        progress_.StepIt();
      }
      result = 1;
      return true;
    }
    if (msg == WM_SETUP_DONE) {
      worker_.WaitForEnd(true);
      EndDialog(IDOK);
      result = 1;
      return true;
    }
    return CDialog::OnMessage(msg, wp, lp, result);
  }

 protected:
  void DoDataExchange() override { DDX_Control(1010, progress_); }

 private:
  std::string source_, target_;
  int total_;
  CPercentProgressCtrl progress_;
  CopyOnlyWorker worker_;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: EngineBench SOURCE TARGET [ROUNDS]\n");
    return 2;
  }
  const std::string source = argv[1], target = argv[2];
  const int rounds = argc > 3 ? std::max(3, std::atoi(argv[3])) : 3;
  g_showProgress = !(argc > 4 && std::string(argv[4]) == "quiet");
  const int total = bench::CountFiles(source);
  std::vector<double> engine, plain;
  for (int r = 0; r < rounds; ++r) {
    bench::PlainDelete(target);
    double t0 = bench::Now();
    BenchPage page(source + "\\", target + "\\", total);
    page.DoModal();
    engine.push_back(bench::Now() - t0);

    bench::PlainDelete(target);
    t0 = bench::Now();
    const int copied = bench::PlainCopy(source, target);
    plain.push_back(bench::Now() - t0);
    std::printf("round %d: engine %.3f s, plain copy %.3f s (%d files)\n", r + 1, engine.back(), plain.back(),
                copied);
  }
  bench::PlainDelete(target);
  const double e = Median(engine), p = Median(plain);
  std::printf("engine-install%s files=%d engine=%.3f plain=%.3f ratio=%.3f\n", g_showProgress ? "" : "-quiet", total, e, p, p > 0 ? e / p : 0);
  return 0;
}
