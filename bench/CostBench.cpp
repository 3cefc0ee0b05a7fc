// Where the engine's time per entry goes: the plain copy loop run on a worker
// thread with the engine's per-entry extras added one at a time, reporting
// to the copy page, and the engine itself with and without the page's
// display. The variants run alternately; medians, their ratio to the bare
// loop and the extra time per entry are printed.
//   CostBench SOURCE TARGET [ROUNDS [VARIANT,VARIANT...]]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchCopyPage.h"
#include "bench/BenchTree.h"
#include "framework/FileFind.h"
#include "framework/WinThread.h"
#include "install/SetupThread.h"

namespace {

using Display = bench::BenchCopyPage::Display;

// What the loop adds per entry to the bare FindFirstFileA / CopyFileA loop.
enum Extra : unsigned {
  kNone = 0,
  kAttributes = 1,  // SetFileAttributesA(target, NORMAL) after the copy
  kSend = 2,        // WM_SETUP_FILE sent per entry, as the engine does
  kFinder = 4,      // CFileFind and its path strings instead of the raw loop
  kEngine = 8,      // CSetupThread's folder stage itself instead of the loop
  kAllStages = 16,  // CSetupThread's whole run: all six stages, as Setup runs it
};

struct Variant {
  const char* name;
  unsigned extras;
  unsigned display;
};

const Variant kVariants[] = {
    {"bare", kNone, Display::None},
    {"+finder", kFinder, Display::None},
    {"+attributes", kAttributes, Display::None},
    {"+send", kSend, Display::None},
    {"+send+bar", kSend, Display::Bar},
    {"+send+text-every-entry", kSend, Display::TextEveryEntry},
    {"+send+text", kSend, Display::Text},
    {"+send+attributes", kSend | kAttributes, Display::None},
    {"engine-quiet", kEngine, Display::None},
    {"engine-text-every-entry", kEngine, Display::TextEveryEntry | Display::Bar},
    {"engine", kEngine, Display::Full},
    {"engine-all-stages", kEngine | kAllStages, Display::Full},
};

class LoopWorker : public CWinThread {
 public:
  unsigned extras = 0;
  std::string source, target;
  HWND page = nullptr;

  BOOL InitInstance() override {
    ::CreateDirectoryA(target.c_str(), nullptr);
    for (const std::string& f : CSetupThread::Folders()) {
      if (extras & kFinder) CopyWithFinder(source + "\\" + f, target + "\\" + f);
      else CopyRaw(source + "\\" + f, target + "\\" + f);
    }
    ::PostMessageA(page, WM_SETUP_DONE, 0, 0);
    return FALSE;
  }

 private:
  void Entry(const std::string& from, const std::string& to) const {
    if (extras & kSend)
      ::SendMessageA(page, WM_SETUP_FILE, reinterpret_cast<WPARAM>(from.c_str()),
                     reinterpret_cast<LPARAM>(to.c_str()));
  }
  void CopyOne(const std::string& from, const std::string& to) const {
    if (::CopyFileA(from.c_str(), to.c_str(), FALSE) && (extras & kAttributes))
      ::SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  void CopyRaw(const std::string& from, const std::string& to) const {
    ::CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((from + "\\*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
      const char* n = fd.cFileName;
      if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
      const std::string s = from + "\\" + n, t = to + "\\" + n;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) CopyRaw(s, t);
      else CopyOne(s, t);
      Entry(s, t);
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
  }
  void CopyWithFinder(const std::string& from, const std::string& to) const {
    ::CreateDirectoryA(to.c_str(), nullptr);
    CFileFind finder;
    bool more = finder.FindFile(from + "\\*.*");
    while (more) {
      more = finder.FindNextFile();
      if (finder.IsDots()) continue;
      const std::string s = finder.GetFilePath(), t = to + "\\" + finder.GetFileName();
      if (finder.IsDirectory()) CopyWithFinder(s, t);
      else CopyOne(s, t);
      Entry(s, t);
    }
  }
};

class FolderStageWorker : public CSetupThread {
 public:
  int Run() override {
    for (const std::string& name : Folders())
      if (!CopyFolder(m_sourceFolder + name, m_installFolder + name)) break;
    ::PostMessageA(m_pMainWnd->m_hWnd, WM_SETUP_DONE, 0, 0);
    return 0;
  }
};

double RunVariant(const Variant& v, const std::string& source, const std::string& target, int total) {
  LoopWorker loop;
  FolderStageWorker folderStage;
  CSetupThread allStages;
  CSetupThread& engine = (v.extras & kAllStages) ? allStages : folderStage;
  CWinThread& worker = (v.extras & kEngine) ? static_cast<CWinThread&>(engine) : loop;
  worker.m_bAutoDelete = FALSE;
  const double t0 = bench::Now();
  bench::BenchCopyPage page(
      total, v.display,
      [&](CWnd& p) {
        worker.m_pMainWnd = &p;
        if (v.extras & kEngine) {
          engine.m_sourceFolder = source + "\\";
          engine.m_installFolder = target + "\\";
        } else {
          loop.extras = v.extras;
          loop.source = source;
          loop.target = target;
          loop.page = p.m_hWnd;
        }
        worker.CreateThread();
      },
      worker);
  page.DoModal();
  return bench::Now() - t0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: CostBench SOURCE TARGET [ROUNDS]\n");
    return 2;
  }
  const std::string source = argv[1], target = argv[2];
  const int rounds = argc > 3 ? std::max(3, std::atoi(argv[3])) : 3;
  const int total = bench::CountFiles(source);
  const size_t n = sizeof kVariants / sizeof kVariants[0];
  // Only the named variants (and the bare loop), when a list is given.
  const std::string only = argc > 4 ? "," + std::string(argv[4]) + "," : "";
  auto wanted = [&](size_t v) {
    return v == 0 || only.empty() || only.find("," + std::string(kVariants[v].name) + ",") != std::string::npos;
  };
  std::vector<std::vector<double>> times(n);
  for (int r = 0; r < rounds; ++r) {
    for (size_t v = 0; v < n; ++v) {
      if (!wanted(v)) continue;
      bench::PlainDelete(target);
      times[v].push_back(RunVariant(kVariants[v], source, target, total));
    }
  }
  bench::PlainDelete(target);
  // The copy page's pre-count walks the same tree before the worker starts.
  std::vector<double> counts;
  for (int r = 0; r < rounds; ++r) {
    const double t0 = bench::Now();
    bench::CountFiles(source);
    counts.push_back(bench::Now() - t0);
  }
  const double bare = bench::Median(times[0]);
  for (size_t v = 0; v < n; ++v) {
    if (!wanted(v)) continue;
    const double m = bench::Median(times[v]);
    std::printf("cost %s files=%d time=%.3f ratio=%.3f extra-us-per-entry=%.1f\n", kVariants[v].name, total, m,
                bare > 0 ? m / bare : 0, total > 0 ? (m - bare) * 1e6 / total : 0);
  }
  const double count = bench::Median(counts);
  std::printf("cost pre-count-alone files=%d time=%.3f ratio=%.3f extra-us-per-entry=%.1f\n", total, count,
              bare > 0 ? count / bare : 0, total > 0 ? count * 1e6 / total : 0);
  return 0;
}
