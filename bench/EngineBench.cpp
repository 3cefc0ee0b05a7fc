// Install, engine only: CSetupThread's folder and top-level stages reporting
// to the copy page (Setup's template, status line and bar updated as in the
// program), against a plain FindFirstFileA / CopyFileA loop over the same
// tree. The contenders run alternately, A B A B ...; the medians and their
// ratio are printed, with the page's paint counts.
//   EngineBench SOURCE TARGET [ROUNDS] [quiet]
// "quiet" leaves the page's display alone, to tell the engine's own cost
// from the cost of showing its progress.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchCopyPage.h"
#include "bench/BenchTree.h"
#include "install/SetupThread.h"

namespace {

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

struct EngineRun {
  double seconds = 0;
  int entries = 0, barPaints = 0, barWidth = 0, textChanges = 0;
};

EngineRun RunEngine(const std::string& source, const std::string& target, int total, bool quiet) {
  CopyOnlyWorker worker;
  worker.m_sourceFolder = source + "\\";
  worker.m_installFolder = target + "\\";
  worker.m_bAutoDelete = FALSE;
  const double t0 = bench::Now();
  bench::BenchCopyPage page(
      total, quiet ? bench::BenchCopyPage::None : bench::BenchCopyPage::Full,
      [&](CWnd& p) {
        worker.m_pMainWnd = &p;
        worker.CreateThread();
      },
      worker);
  page.DoModal();
  EngineRun run;
  run.seconds = bench::Now() - t0;
  run.entries = page.Entries();
  run.barPaints = page.BarPaints();
  run.barWidth = page.BarWidth();
  run.textChanges = page.TextChanges();
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: EngineBench SOURCE TARGET [ROUNDS] [quiet]\n");
    return 2;
  }
  const std::string source = argv[1], target = argv[2];
  const int rounds = argc > 3 ? std::max(3, std::atoi(argv[3])) : 3;
  const bool quiet = argc > 4 && std::string(argv[4]) == "quiet";
  const int total = bench::CountFiles(source);
  std::vector<double> engine, plain;
  EngineRun last;
  for (int r = 0; r < rounds; ++r) {
    bench::PlainDelete(target);
    last = RunEngine(source, target, total, quiet);
    engine.push_back(last.seconds);

    bench::PlainDelete(target);
    const double t0 = bench::Now();
    const int copied = bench::PlainCopy(source, target);
    plain.push_back(bench::Now() - t0);
    std::printf("round %d: engine %.3f s, plain copy %.3f s (%d files)\n", r + 1, engine.back(), plain.back(),
                copied);
    std::fflush(stdout);
  }
  bench::PlainDelete(target);
  const double e = bench::Median(engine), p = bench::Median(plain);
  std::printf("engine-install%s files=%d engine=%.3f plain=%.3f ratio=%.3f entries=%d bar-paints=%d bar-width=%d "
              "text-changes=%d\n",
              quiet ? "-quiet" : "", total, e, p, p > 0 ? e / p : 0, last.entries, last.barPaints, last.barWidth,
              last.textChanges);
  return 0;
}
