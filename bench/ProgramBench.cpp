// Install and uninstall, whole programs: Setup.exe driven through its wizard
// (timed from Next on the install-path page to the finish page) against a
// plain CopyFileA loop over the same tree and against an NSIS installer of
// the same payload run silently; then Uninstall.exe (timed from the Yes to
// its question to "卸载完成!") against a plain DeleteFileA / RemoveDirectoryA
// loop and against the NSIS uninstaller. Each round runs every contender
// once, so they alternate A B C A B C ...; medians and ratios are printed,
// with the programs' peak working sets and the record's size.
//   ProgramBench MEDIUM TARGET_ROOT NSIS_SETUP [ROUNDS]
// MEDIUM holds the real setup.exe and Uninstall.exe; the installations go
// to TARGET_ROOT\setup, \plain and \nsis. The media carry no slide-show
// picture: a picture repaint every 5 s would add its canvas to the peak
// working set of the longer runs only, and hide how memory grows with the
// payload. The background's repaint is timed on its own:
//   ProgramBench background MEDIUM
// starts Setup from a medium with one picture and times five repaints of
// the background window from outside.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchTree.h"
#include "framework/FileFind.h"
#include "framework/Sys.h"
#include "tests/ui/UiTest.h"

namespace {

// Control IDs of Setup's pages and of the uninstaller's dialog.
constexpr int kNext = 1000, kWelcomeText = 1003, kAgree = 1017, kPath = 1009, kProgress = 1010, kReadme = 1012;
constexpr int kFinishText = 1003;
constexpr DWORD kLongWait = 600000;

[[noreturn]] void Fail(const std::string& what) {
  std::printf("program-bench: FAILED: %s\n", what.c_str());
  std::fflush(stdout);
  std::exit(1);
}

double PeakWorkingSetKb(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!::GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
  return static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
}

HWND Page(int controlId, DWORD pid, const char* name, DWORD timeout = 30000) {
  HWND page = ui::WaitForDialogWithControl(controlId, pid, timeout);
  if (!page) Fail(std::string("no ") + name + " page");
  return page;
}

void Press(HWND dialog, int id, const char* what) {
  if (!ui::WaitUntil([&] { return ui::IsEnabled(dialog, id); }, 10000) || !ui::Click(dialog, id))
    Fail(std::string("cannot press ") + what);
}

// Polls cheaply (one call every 10 ms), so that the driver takes little of
// the core it shares with the program it times.
template <typename Condition>
bool Poll(Condition condition, DWORD timeoutMs = kLongWait) {
  const DWORD start = ::GetTickCount();
  while (!condition()) {
    if (::GetTickCount() - start > timeoutMs) return false;
    ::Sleep(10);
  }
  return true;
}

struct ProgramRun {
  double seconds = 0, peakKb = 0;
};

// Times a full repaint of the background window (its picture reloaded and
// stretched) from outside: RDW_UPDATENOW sends the paint and waits for it.
double BackgroundRepaintMs(HWND page) {
  HWND background = ::GetWindow(page, GW_OWNER);
  if (!background) return 0;
  std::vector<double> times;
  for (int i = 0; i < 5; ++i) {
    const double t0 = bench::Now();
    ::RedrawWindow(background, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    times.push_back((bench::Now() - t0) * 1000);
  }
  return bench::Median(times);
}

// The welcome page of a Setup just started; an earlier round's product key
// brings the reinstall question first, which is answered Yes.
HWND StartSetup(ui::Process& setup, const std::string& medium) {
  if (!setup.Start("\"" + medium + "\\setup.exe\"", medium)) Fail("cannot start Setup");
  HWND welcome = nullptr;
  ui::WaitUntil([&] {
    welcome = ui::FindTopWindow("#32770", nullptr, setup.Id());
    if (welcome && ui::Control(welcome, kWelcomeText)) return true;
    welcome = nullptr;
    return false;
  }, 200);
  if (!welcome) {
    const ui::MessageBoxInfo box = ui::WaitForMessageBox(setup.Id(), 3000);
    if (box.window) ui::Answer(box, IDYES);
  }
  return Page(kWelcomeText, setup.Id(), "welcome");
}

ProgramRun RunSetup(const std::string& medium, const std::string& folder) {
  ui::Process setup;
  HWND welcome = StartSetup(setup, medium);
  ProgramRun run;
  Press(welcome, kNext, "Next on the welcome page");
  HWND agreement = Page(1005, setup.Id(), "agreement");
  Press(agreement, kAgree, "同意");
  Press(agreement, kNext, "Next on the agreement page");
  HWND path = Page(kPath, setup.Id(), "install path");
  if (!ui::SetEditText(path, kPath, folder)) Fail("cannot set the install path");
  Press(path, kNext, "Next on the install path page");
  const double t0 = bench::Now();
  HWND copy = nullptr;
  Poll([&] {
    copy = ui::FindTopWindow("#32770", nullptr, setup.Id());
    return (copy && ui::Control(copy, kProgress)) || (copy && ui::Control(copy, kReadme));
  });
  if (copy && ui::Control(copy, kProgress)) Poll([&] { return !::IsWindow(copy); });
  HWND finish = ui::WaitForDialogWithControl(kReadme, setup.Id(), kLongWait);
  run.seconds = bench::Now() - t0;
  if (!finish) Fail("no finish page");
  run.peakKb = PeakWorkingSetKb(setup.Handle());
  // Unchecked, so that no readme opens.
  if (ui::IsChecked(finish, kReadme)) ui::Click(finish, kReadme);
  ui::WaitUntil([&] { return !ui::IsChecked(finish, kReadme); }, 3000);
  Press(finish, kNext, "完成");
  if (setup.Wait(30000) == STILL_ACTIVE) Fail("Setup did not end");
  return run;
}

ProgramRun RunUninstall(const std::string& folder) {
  const std::string program = folder + "\\Uninstall.exe";
  ui::Process un;
  if (!un.Start("\"" + program + "\"", folder)) Fail("cannot start " + program);
  const ui::MessageBoxInfo ask = ui::WaitForMessageBox(un.Id());
  if (!ask.window) Fail("no uninstall question");
  const double t0 = bench::Now();
  ui::Answer(ask, IDYES);
  HWND dlg = nullptr;
  Poll([&] { return (dlg = ui::FindTopWindow("#32770", "Gravo V6.0 卸载", un.Id())) != nullptr; }, 30000);
  if (!dlg) Fail("no uninstall dialog");
  HWND finishText = ui::Control(dlg, kFinishText);
  if (!Poll([&] { return ::IsWindowVisible(finishText) && ui::IsEnabled(dlg, IDOK); })) Fail("uninstall did not end");
  ProgramRun run;
  run.seconds = bench::Now() - t0;
  run.peakKb = PeakWorkingSetKb(un.Handle());
  Press(dlg, IDOK, "完成 of the uninstaller");
  if (un.Wait(30000) == STILL_ACTIVE) Fail("Uninstall did not end");
  // The self-removal batch deletes the program once it has ended.
  Poll([&] { return ::GetFileAttributesA(program.c_str()) == INVALID_FILE_ATTRIBUTES; }, 30000);
  return run;
}

double RunAndWait(const std::string& commandLine, const std::string& folder) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = commandLine;
  const double t0 = bench::Now();
  if (!::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
    Fail("cannot start " + commandLine);
  ::WaitForSingleObject(pi.hProcess, kLongWait);
  const double t = bench::Now() - t0;
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return t;
}

unsigned long FileBytes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  return ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

// The silent install's floor: the plain copy loop with the calls the engine
// still makes per entry when no page watches: the framework's finder (the
// wide enumeration and the names' conversion) and the attribute call after
// each copy.
void FloorCopy(const std::string& from, const std::string& to) {
  sys::CreateDirectory(to.c_str(), nullptr);
  CFileFind finder;
  bool more = finder.FindFile(from + "\\*.*");
  while (more) {
    more = finder.FindNextFile();
    if (finder.IsDots()) continue;
    const std::string s = finder.GetFilePath(), t = to + "\\" + finder.GetFileName();
    if (finder.IsDirectory()) {
      FloorCopy(s, t);
    } else if (sys::CopyFile(s.c_str(), t.c_str(), FALSE)) {
      sys::SetFileAttributes(t.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
  }
}

void Floor(const std::string& medium, const std::string& target) {
  sys::CreateDirectory(target.c_str(), nullptr);
  for (const char* name : {"Support", "Controls", "图框", "Data", "Temp"})
    FloorCopy(medium + "\\" + name, target + "\\" + name);
  CFileFind finder;
  bool more = finder.FindFile(medium + "\\*.*");
  while (more) {
    more = finder.FindNextFile();
    if (finder.IsDirectory() || _stricmp(finder.GetFileName().c_str(), "setup.exe") == 0) continue;
    sys::CopyFile(finder.GetFilePath().c_str(), (target + "\\" + finder.GetFileName()).c_str(), FALSE);
  }
}

struct Times {
  std::vector<double> silent, floorCopy, programStart, silentUninstall;
  std::vector<double> setup, plainCopy, nsisInstall, uninstall, plainDelete, nsisUninstall;
  std::vector<double> setupKb, uninstallKb;
};

double Ratio(double a, double b) { return b > 0 ? a / b : 0; }

}  // namespace

int MeasureBackground(const std::string& medium) {
  ui::Process setup;
  HWND welcome = StartSetup(setup, medium);
  ::Sleep(500);  // the background's first paint
  std::vector<double> times;
  for (int i = 0; i < 3; ++i) times.push_back(BackgroundRepaintMs(welcome));
  std::printf("paint-background picture=1024x768 repaint-ms=%.1f\n", bench::Median(times));
  setup.Kill();
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "background") return MeasureBackground(argv[2]);
  if (argc < 4) {
    std::printf("usage: ProgramBench MEDIUM TARGET_ROOT NSIS_SETUP [ROUNDS] | ProgramBench background MEDIUM\n");
    return 2;
  }
  const std::string medium = argv[1], root = argv[2], nsis = argv[3];
  const int rounds = argc > 4 ? std::max(3, std::atoi(argv[4])) : 3;
  const std::string setupDir = root + "\\setup", plainDir = root + "\\plain", nsisDir = root + "\\nsis";
  const std::string silentDir = root + "\\silent", floorDir = root + "\\floor";
  ::CreateDirectoryA(root.c_str(), nullptr);
  const int files = bench::CountFiles(medium) - 1;  // setup.exe is not installed
  unsigned long recordBytes = 0;
  Times t;
  for (int r = 0; r < rounds; ++r) {
    for (const std::string& d : {setupDir, plainDir, nsisDir, silentDir, floorDir}) bench::PlainDelete(d);
    // Setup without windows, its floor (the program started and ended on a
    // line it refuses at once, plus the floor's copy loop), in turn.
    t.silent.push_back(RunAndWait("\"" + medium + "\\setup.exe\" /S /D=" + silentDir + "\\", root));
    t.programStart.push_back(RunAndWait("\"" + medium + "\\setup.exe\" /S /refused", root));
    double f0 = bench::Now();
    Floor(medium, floorDir);
    t.floorCopy.push_back(bench::Now() - f0);
    const std::string quiet = silentDir + "\\Uninstall.exe";
    t.silentUninstall.push_back(RunAndWait("\"" + quiet + "\" /S", root));
    Poll([&] { return ::GetFileAttributesA(quiet.c_str()) == INVALID_FILE_ATTRIBUTES; }, 30000);
    const ProgramRun setup = RunSetup(medium, setupDir + "\\");
    t.setup.push_back(setup.seconds);
    t.setupKb.push_back(setup.peakKb);
    recordBytes = FileBytes(setupDir + "\\Uninstall.log");

    double t0 = bench::Now();
    bench::PlainCopy(medium, plainDir);
    t.plainCopy.push_back(bench::Now() - t0);

    t.nsisInstall.push_back(RunAndWait("\"" + nsis + "\" /S /D=" + nsisDir, root));

    const ProgramRun un = RunUninstall(setupDir);
    t.uninstall.push_back(un.seconds);
    t.uninstallKb.push_back(un.peakKb);

    t0 = bench::Now();
    bench::PlainDelete(plainDir);
    t.plainDelete.push_back(bench::Now() - t0);

    // _?= runs the uninstaller in place and waits for it; it then stays.
    t.nsisUninstall.push_back(RunAndWait("\"" + nsisDir + "\\uninst.exe\" /S _?=" + nsisDir, root));
    std::printf("round %d: setup %.3f plain %.3f nsis %.3f | uninstall %.3f plain %.3f nsis %.3f s\n", r + 1,
                t.setup.back(), t.plainCopy.back(), t.nsisInstall.back(), t.uninstall.back(), t.plainDelete.back(),
                t.nsisUninstall.back());
    std::fflush(stdout);
  }
  for (const std::string& d : {setupDir, plainDir, nsisDir, silentDir, floorDir}) bench::PlainDelete(d);
  using bench::Median;
  const double floor = Median(t.programStart) + Median(t.floorCopy);
  std::printf("program-silent files=%d silent=%.3f floor=%.3f start=%.3f copy-loop=%.3f nsis=%.3f "
              "silent/floor=%.3f silent/nsis=%.3f\n",
              files, Median(t.silent), floor, Median(t.programStart), Median(t.floorCopy), Median(t.nsisInstall),
              Ratio(Median(t.silent), floor), Ratio(Median(t.silent), Median(t.nsisInstall)));
  std::printf("program-silent-uninstall files=%d uninstall=%.3f plain=%.3f nsis=%.3f uninstall/plain=%.3f "
              "uninstall/nsis=%.3f\n",
              files, Median(t.silentUninstall), Median(t.plainDelete), Median(t.nsisUninstall),
              Ratio(Median(t.silentUninstall), Median(t.plainDelete)),
              Ratio(Median(t.silentUninstall), Median(t.nsisUninstall)));
  std::printf("program-install files=%d setup=%.3f plain=%.3f nsis=%.3f setup/plain=%.3f setup/nsis=%.3f\n", files,
              Median(t.setup), Median(t.plainCopy), Median(t.nsisInstall), Ratio(Median(t.setup), Median(t.plainCopy)),
              Ratio(Median(t.setup), Median(t.nsisInstall)));
  std::printf("program-uninstall files=%d uninstall=%.3f plain=%.3f nsis=%.3f uninstall/plain=%.3f "
              "uninstall/nsis=%.3f\n",
              files, Median(t.uninstall), Median(t.plainDelete), Median(t.nsisUninstall),
              Ratio(Median(t.uninstall), Median(t.plainDelete)), Ratio(Median(t.uninstall), Median(t.nsisUninstall)));
  std::printf("memory files=%d setup-peak-kb=%.0f uninstall-peak-kb=%.0f record-bytes=%lu\n", files,
              Median(t.setupKb), Median(t.uninstallKb), recordBytes);
  return 0;
}
