// Drives Setup from the medium through its five pages, then the uninstaller
// named by the Add/Remove Programs entry, saving a screenshot of every page
// and printing an account of what the installation left and what the
// uninstall removed.
//   DemoDriver [--install|--reinstall|--uninstall] SETUP_EXE SCREENSHOT_DIR [INSTALL_FOLDER]
// For the runs without windows (/S), the same account without driving:
//   DemoDriver --run OUT_DIR [--hold FILE] COMMAND_LINE   runs a command, watching the window list
//   DemoDriver --account OUT_DIR INSTALL_FOLDER            the account of an installation
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/FileFind.h"
#include "framework/Handles.h"
#include "framework/Sys.h"
#include "framework/WideText.h"
#include "medium/control/ControlIdentity.h"
#include "tests/demo/Account.h"
#include "tests/ui/UiTest.h"

namespace {

const char kProductKey[] = "SOFTWARE\\Kelvarin\\Terrasum\\V8";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Terrasum V8";
std::string g_shots;
int g_shot = 0;
// The account goes to a file of its own: the self-removal batch that the
// uninstaller starts writes its echo to the standard output it inherits.
FILE* g_out = stdout;


[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(g_out, "demo: FAILED: %s\n", what.c_str());
  std::fflush(g_out);
  std::exit(1);
}

// Has the page paint itself whole, now. The system's check box draws its
// focus mark by inverting pixels: the click that moves the focus to it
// inverts the mark four times (focus, press, release, check), a whole paint
// draws it once over a cleared face. Whether the box had painted itself
// before the driver's click arrived, or only after it, decided whether the
// mark showed, and that was a matter of timing. Painted whole, a page shows
// its state, the same every time.
//
// The page belongs to another process: RDW_UPDATENOW cannot paint it from
// here, so the shot waits until the page and every control have taken their
// paint (no update region left). Shot at once, the uninstaller's finish
// text was seen erased and not yet drawn again.
BOOL CALLBACK NoteChildPaintPending(HWND child, LPARAM pending) {
  if (!::IsWindowVisible(child) || !::GetUpdateRect(child, nullptr, FALSE)) return TRUE;
  *reinterpret_cast<bool*>(pending) = true;
  return FALSE;
}

bool PaintPending(HWND window) {
  if (::GetUpdateRect(window, nullptr, FALSE)) return true;
  bool pending = false;
  ::EnumChildWindows(window, &NoteChildPaintPending, reinterpret_cast<LPARAM>(&pending));
  return pending;
}

void PaintWhole(HWND page) {
  ::RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  if (!ui::WaitUntil([&] { return !PaintPending(page); }, 10000)) Fail("the page did not paint itself");
}

// Setup's background shows the medium's pictures one after another, a new
// one every 5 s. A page shot late, on a busy machine, showed another picture
// behind it than the same page shot in time. So the wizard's pages are shot
// while the picture seen behind the welcome page shows: the background is
// sampled outside the page before and after the shot, and the shot is taken
// again, once that picture is back, when it was not there throughout.
std::vector<COLORREF> g_firstPicture;

std::vector<COLORREF> BackgroundSample(HWND page) {
  RECT inPage{};
  ::GetWindowRect(page, &inPage);
  std::vector<COLORREF> sample;
  HDC screen = ::GetDC(nullptr);
  for (int y = 130; y < 760; y += 45)
    for (int x = 20; x < 1010; x += 45) {
      const POINT p{x, y};
      if (!::PtInRect(&inPage, p)) sample.push_back(::GetPixel(screen, x, y));
    }
  ::ReleaseDC(nullptr, screen);
  return sample;
}

bool ShowsFirstPicture(HWND page) { return BackgroundSample(page) == g_firstPicture; }

void Shot(const char* name, DWORD settle = 400, HWND page = nullptr) {
  if (page) PaintWhole(page);
  ::Sleep(settle);  // let the page finish painting
  char file[64];
  std::snprintf(file, sizeof file, "%02d-%s.png", ++g_shot, name);
  if (!ui::SaveScreenshot(nullptr, g_shots + file)) Fail(std::string("screenshot ") + file);
  std::fprintf(g_out, "demo: screenshot %s\n", file);
}

// A wizard page, over the first picture (three pictures: 15 s at most).
void PageShot(const char* name, HWND page) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    ui::WaitUntil([&] { return ShowsFirstPicture(page); }, 20000);
    const bool before = ShowsFirstPicture(page);
    Shot(name, 400, page);
    if (before && ShowsFirstPicture(page)) return;
    --g_shot;  // the same file again
  }
  Fail(std::string("the background never stayed for the shot of ") + name);
}

// Whether the keyboard focus of the page's thread lies in the page: the
// dialog manager gives it to the first control once the page is active, and
// that control then paints its focus mark.
bool HasFocus(HWND page) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(page, nullptr), &info) || !info.hwndFocus) return false;
  return info.hwndFocus == page || ::IsChild(page, info.hwndFocus);
}

HWND Page(int controlId, DWORD pid, const char* name, DWORD timeout = 20000) {
  HWND page = ui::WaitForDialogWithControl(controlId, pid, timeout);
  if (!page) Fail(std::string("the ") + name + " page did not appear");
  // Shot only once it has the focus, so that every shot shows the focus mark
  // where the page puts it, not wherever the activation had got to.
  ui::WaitUntil([&] { return HasFocus(page); }, 5000);
  std::fprintf(g_out, "demo: %s page\n", name);
  return page;
}

void Press(HWND page, int id, const char* what) {
  if (!ui::WaitUntil([&] { return ui::IsEnabled(page, id); }, 10000) || !ui::Click(page, id))
    Fail(std::string("could not press ") + what);
}

std::string RunSetup(const std::string& setupExe, const std::string& installFolder, bool reinstall) {
  std::string medium = setupExe.substr(0, setupExe.find_last_of('\\') + 1);
  ui::Process setup;
  if (!setup.Start("\"" + setupExe + "\"", medium)) Fail("cannot start " + setupExe);
  if (reinstall) {
    // Over an installation, Setup first asks whether to install again.
    ui::MessageBoxInfo ask = ui::WaitForMessageBox(setup.Id());
    if (!ask.window) Fail("no reinstall question");
    std::fprintf(g_out, "demo: question \"%s\" (%s)\n", ask.text.c_str(), ask.caption.c_str());
    ui::Answer(ask, IDYES);
  }

  HWND welcome = Page(1003, setup.Id(), "welcome");
  // The first picture, once the background has painted it (the same twice).
  ui::WaitUntil([&] {
    const std::vector<COLORREF> sample = BackgroundSample(welcome);
    ::Sleep(300);
    return sample == BackgroundSample(welcome) && (g_firstPicture = sample, true);
  }, 10000);
  PageShot("welcome", welcome);
  Press(welcome, 1000, "Next on the welcome page");

  HWND agreement = Page(1005, setup.Id(), "agreement");
  PageShot("agreement", agreement);
  Press(agreement, 1017, "同意");
  Press(agreement, 1000, "Next on the agreement page");

  HWND path = Page(1009, setup.Id(), "install path");
  if (!installFolder.empty()) ui::SetEditText(path, 1009, installFolder);
  const std::string folder = ui::ControlText(path, 1009);
  PageShot("install-path", path);
  Press(path, 1000, "Next on the install path page");

  HWND copy = ui::WaitForDialogWithControl(1010, setup.Id(), 5000);
  if (copy) {
    std::fprintf(g_out, "demo: copy page\n");
    // The sample medium copies in a moment: shoot as soon as the page shows a
    // file's name, its bar has painted a filled part and its buttons are drawn
    // (an unpainted button is all face colour), not before.
    const HWND bar = ui::Control(copy, 1010), cancel = ui::Control(copy, IDCANCEL);
    ui::WaitUntil([&] {
      return !ui::ControlText(copy, 1015).empty() && ui::ClientPixel(bar, 2, 4) == ::GetSysColor(COLOR_HIGHLIGHT) &&
             ui::ClientPixel(cancel, 1, 1) != ui::ClientPixel(copy, 2, 2);
    }, 5000);
    Shot("copy", 0);
  }
  HWND finish = Page(1012, setup.Id(), "finish", 180000);
  if (ui::IsChecked(finish, 1012)) ui::Click(finish, 1012);  // do not open the readme in the demo
  ui::WaitUntil([&] { return !ui::IsChecked(finish, 1012); }, 3000);
  // TS_DEMO_LATE_PAINT: the check box paints once more after the click, as
  // it does when its first paint was still pending when the click came (a
  // busy machine); the end-to-end tests set it in one run of several to
  // show that the shot does not depend on it.
  if (const char* late = std::getenv("TS_DEMO_LATE_PAINT"); late && *late == '1') {
    ::InvalidateRect(ui::Control(finish, 1012), nullptr, FALSE);
    ::Sleep(200);
  }
  PageShot("finish", finish);
  Press(finish, 1000, "完成");
  if (setup.Wait(20000) == STILL_ACTIVE) Fail("Setup did not end");
  std::fprintf(g_out, "demo: Setup ended\n");
  return folder;
}

std::string ControlServer() {
  return demo::ClassesString(std::string("CLSID\\") + medium::kGridControl.clsid + "\\InprocServer32");
}

void PrintInstallation(const std::string& folder) {
  const auto files = demo::FilesUnder(folder.substr(0, folder.size() - 1));
  std::fprintf(g_out, "\n== Files installed in %s: %u\n", folder.c_str(), static_cast<unsigned>(files.size()));
  for (const auto& f : files) std::fprintf(g_out, "   %s\n", f.c_str());
  const auto lines = demo::ReadLines(folder + "Uninstall.log");
  std::fprintf(g_out, "\n== Install record Uninstall.log: %u lines\n", static_cast<unsigned>(lines.size()));
  for (const auto& l : lines) std::fprintf(g_out, "   %s\n", l.c_str());
  std::fprintf(g_out, "\n== Registry values (HKEY_LOCAL_MACHINE)\n");
  std::fprintf(g_out, "   %s installPath = %s\n", kProductKey, demo::RegString(true, kProductKey, "installPath").c_str());
  std::fprintf(g_out, "   %s Ver = %s\n", kProductKey, demo::RegString(true, kProductKey, "Ver").c_str());
  std::fprintf(g_out, "   %s DisplayName = %s\n", kUninstallKey, demo::RegString(true, kUninstallKey, "DisplayName").c_str());
  std::fprintf(g_out, "   %s UninstallString = %s\n", kUninstallKey,
              demo::RegString(true, kUninstallKey, "UninstallString").c_str());
  std::fprintf(g_out, "\n== Controls\n");
  for (const auto& line : lines)
    if (line.compare(0, 10, "Reg Ctrl: ") == 0) std::fprintf(g_out, "   registered %s\n", line.c_str() + 10);
  std::fprintf(g_out, "   HKCR\\CLSID\\%s\\InprocServer32 = %s\n", medium::kGridControl.clsid,
               ControlServer().c_str());
  std::fprintf(g_out, "\n== AutoCAD profiles (HKEY_CURRENT_USER)\n");
  for (const auto& p : demo::AcadProfiles()) {
    std::fprintf(g_out, "   %s\n", p.c_str());
    const std::string acad = demo::RegString(false, p + "\\General", "ACAD");
    if (acad != "<none>") std::fprintf(g_out, "      General ACAD = %s\n", acad.c_str());
    const std::string menu = demo::RegString(false, p + "\\General Configuration", "MenuFile");
    if (menu != "<none>") std::fprintf(g_out, "      General Configuration MenuFile = %s\n", menu.c_str());
  }
  std::fprintf(g_out, "\n== Shortcuts\n");
  for (const auto& line : lines) {
    const std::string tag = "File Copy: ";
    if (line.compare(0, tag.size(), tag) != 0) continue;
    const std::string p = line.substr(tag.size());
    if (p.size() < 4 || _stricmp(p.c_str() + p.size() - 4, ".lnk") != 0) continue;
    demo::Shortcut s;
    // The target as the link's item list names it: that is what the shell
    // starts. (Wine writes the link's other copy of the path, its base path,
    // only in the ANSI code page, so that copy loses Chinese names on a
    // system of another language; Windows writes it in Unicode too.)
    if (demo::ReadShortcut(p, s))
      std::fprintf(g_out, "   %s\n      -> %s %s (in %s, icon %s,%d)\n", p.c_str(),
                  (s.itemListTarget.empty() ? s.target : s.itemListTarget).c_str(), s.arguments.c_str(),
                  s.workingDir.c_str(), s.icon.c_str(), s.iconIndex);
    else
      std::fprintf(g_out, "   %s (cannot be read)\n", p.c_str());
  }
}

// The path of an "UninstallString": quoted where it holds a blank.
std::string Unquoted(const std::string& command) {
  if (command.size() >= 2 && command.front() == '"' && command.back() == '"')
    return command.substr(1, command.size() - 2);
  return command;
}

// The self-removal batches' folders in the Windows folder's Temp.
int BatchFoldersLeft() {
  CFileFind finder;
  int count = 0;
  for (bool more = finder.FindFile(sys::GetWindowsDirectory() + "\\Temp\\DelUS-*"); more; ++count)
    more = finder.FindNextFile();
  return count;
}

void RunUninstall(const std::string& folder) {
  const std::string command = demo::RegString(true, kUninstallKey, "UninstallString");
  if (command == "<none>") Fail("no UninstallString");
  std::fprintf(g_out, "\n== Uninstall: %s\n", command.c_str());
  ui::Process un;
  if (!un.Start("\"" + Unquoted(command) + "\"", folder)) Fail("cannot start " + command);
  ui::MessageBoxInfo ask = ui::WaitForMessageBox(un.Id());
  if (!ask.window) Fail("no uninstall question");
  std::fprintf(g_out, "demo: question \"%s\" (%s)\n", ask.text.c_str(), ask.caption.c_str());
  Shot("uninstall-question");
  ui::Answer(ask, IDYES);
  HWND dlg = ui::WaitForWindow("#32770", "Gravo V6.0 卸载", un.Id());
  if (!dlg) Fail("no uninstall dialog");
  Shot("uninstall-progress", 0);
  if (!ui::WaitUntil([&] { return ui::IsVisible(dlg, 1003) && ui::IsEnabled(dlg, IDOK); }, 120000))
    Fail("the uninstall did not finish");
  // Not repainted from here: its dialog has no WS_CLIPCHILDREN, and a
  // repaint asked from another process let the dialog's erase land after the
  // finish text had drawn itself, in some runs and not in others.
  Shot("uninstall-done");
  Press(dlg, IDOK, "完成 on the uninstaller");
  if (un.Wait(20000) == STILL_ACTIVE) Fail("Uninstall did not end");
  // The self-removal batch deletes the program file once the program has ended.
  const std::string self = Unquoted(command);
  ui::WaitUntil([&] { return sys::GetFileAttributes(self.c_str()) == INVALID_FILE_ATTRIBUTES; }, 30000);
  // Its next lines remove the program folder, when empty, the batch itself
  // and then its folder.
  const std::string programFolder = folder.substr(0, folder.size() - 1);
  ui::WaitUntil([&] {
    return sys::GetFileAttributes(programFolder.c_str()) == INVALID_FILE_ATTRIBUTES &&
           BatchFoldersLeft() == 0;
  }, 10000);
}

void PrintRemains(const std::string& folder) {
  std::fprintf(g_out, "\n== After the uninstall\n");
  const auto files = demo::FilesUnder(folder);
  const DWORD attr = sys::GetFileAttributes(folder.c_str());
  std::fprintf(g_out, "   install folder %s: %s, %u files left\n", folder.c_str(),
              attr == INVALID_FILE_ATTRIBUTES ? "removed" : "still there", static_cast<unsigned>(files.size()));
  for (const auto& f : files) std::fprintf(g_out, "      %s\n", f.c_str());
  std::fprintf(g_out, "   %s: %s\n", kProductKey, demo::RegKeyExists(true, kProductKey) ? "still there" : "removed");
  std::fprintf(g_out, "   %s: %s\n", kUninstallKey, demo::RegKeyExists(true, kUninstallKey) ? "still there" : "removed");
  std::fprintf(g_out, "   the sample control's class %s: %s\n", medium::kGridControl.clsid,
               ControlServer() == "<none>" ? "unregistered" : "still registered");
  std::fprintf(g_out, "   the self-removal batch: %s\n",
               BatchFoldersLeft() == 0 ? "gone (it removed itself and its folder)" : "still there");
  std::fprintf(g_out, "   AutoCAD profiles now:\n");
  for (const auto& p : demo::AcadProfiles()) std::fprintf(g_out, "      %s\n", p.c_str());
  std::fprintf(g_out, "   (Uninstall removes only the profiles of its own product identity, \"<<Gravo V6>>\".)\n");
}

}  // namespace

// The kind of drive the medium is on (a CD-ROM drive for an image).
std::string DriveOf(const std::string& program) {
  const std::string root = program.substr(0, 3);
  switch (::GetDriveTypeW(cp936::ToWide(root).c_str())) {
    case DRIVE_CDROM: return root + " (a CD-ROM drive)";
    case DRIVE_FIXED: return root + " (a fixed drive)";
    case DRIVE_REMOVABLE: return root + " (a removable drive)";
    case DRIVE_REMOTE: return root + " (a network drive)";
    default: return root + " (a drive of another kind)";
  }
}

// Which build the account is about: the i686 deliverable, or its x86_64 twin
// on a machine that cannot run 32-bit code.
std::string BuildOf(const std::string& program) {
  DWORD type = 0;
  if (!::GetBinaryTypeW(cp936::ToWide(program).c_str(), &type)) return "a program of unknown kind";
  if (type == SCS_64BIT_BINARY) return "the x86_64 twin (a 64-bit test build, not the deliverable)";
  if (type == SCS_32BIT_BINARY) return "the i686 deliverable (a 32-bit program)";
  return "a program of binary type " + std::to_string(type);
}

// The folder Setup installed into, as the copy page makes it of the text typed.
std::string InstalledFolder(std::string folder) {
  while (!folder.empty() && (folder.back() == ' ' || folder.back() == '\t')) folder.pop_back();
  while (!folder.empty() && (folder.front() == ' ' || folder.front() == '\t')) folder.erase(0, 1);
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

// The arguments in code page 936, read wide: the 8-bit ones would come in the
// code page of whatever locale the driver runs under.
std::vector<std::string> Arguments() {
  std::vector<std::string> args;
  int n = 0;
  if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &n)) {
    for (int i = 0; i < n; ++i) args.push_back(cp936::FromWide(wide[i]));
    ::LocalFree(wide);
  }
  return args;
}

// Whether the process has a visible top-level window: a run without windows
// must never show one, not even for a moment, so the list is polled often.
struct WindowSearch {
  DWORD pid;
  bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<WindowSearch*>(lp);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(w, &owner);
  if (owner != s->pid || !::IsWindowVisible(w)) return TRUE;
  s->found = true;
  return FALSE;
}

bool HasVisibleWindow(DWORD pid) {
  WindowSearch search{pid, false};
  ::EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Runs a command line to its end (a file held open without sharing while
// it runs, when hold is set) and tells its exit code and whether a window
// of it was seen.
int RunWatched(const std::string& commandLine, const std::string& hold) {
  ScopedFile held;
  if (!hold.empty()) {
    held.reset(sys::CreateFile(hold.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!held) Fail("cannot hold " + hold);
    std::fprintf(g_out, "run: holding %s open without sharing\n", hold.c_str());
  }
  // Started directly, not through ui::Process, which waits for the
  // program's input idle first: the watch must begin at once.
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string cmd = commandLine;
  if (!sys::CreateProcess(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &si, &pi))
    Fail("cannot start " + commandLine);
  ScopedHandle thread(pi.hThread), process(pi.hProcess);
  int polls = 0, seen = 0;
  const DWORD start = ::GetTickCount();
  while (::WaitForSingleObject(process.get(), 2) == WAIT_TIMEOUT) {
    ++polls;
    if (HasVisibleWindow(pi.dwProcessId)) ++seen;
    if (::GetTickCount() - start > 300000) Fail("did not end: " + commandLine);
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process.get(), &code);
  std::fprintf(g_out, "run: %s\nrun: exit code %lu; window list polled %d times, a visible window of it seen %d times\n",
               commandLine.c_str(), static_cast<unsigned long>(code), polls, seen);
  return 0;
}

int main() {
  const std::vector<std::string> argv = Arguments();
  const int argc = static_cast<int>(argv.size());
  if (argc >= 4 && (argv[1] == "--run" || argv[1] == "--account")) {
    g_shots = argv[2];
    if (g_shots.back() != '\\') g_shots += '\\';
    if (FILE* f = std::fopen((g_shots + "account.gbk").c_str(), "a")) g_out = f;
    if (argv[1] == "--account") {
      PrintInstallation(InstalledFolder(argv[3]));
    } else {
      const bool holds = argv[3] == "--hold" && argc >= 6;
      RunWatched(argv[holds ? 5 : 3], holds ? argv[4] : "");
    }
    std::fprintf(g_out, "demo: done\n");
    std::fclose(g_out);
    return 0;
  }
  // Modes: both phases (the demo), or one of them (the end-to-end tests,
  // which look at the machine in between); --reinstall installs over an
  // installation, answering Setup's question with Yes.
  std::string mode = "both";
  int a = 1;
  if (argc > 1) {
    const std::string first = argv[1];
    if (first == "--install" || first == "--reinstall" || first == "--uninstall") mode = argv[a++].substr(2);
  }
  if (argc - a < 2) {
    std::printf("usage: DemoDriver [--install|--reinstall|--uninstall] SETUP_EXE SCREENSHOT_DIR [INSTALL_FOLDER]\n");
    return 2;
  }
  const bool installs = mode != "uninstall", uninstalls = mode == "both" || mode == "uninstall";
  const std::string setupExe = argv[a], folderArg = argc - a > 2 ? argv[a + 2] : "";
  g_shots = argv[a + 1];
  if (g_shots.back() != '\\') g_shots += '\\';
  if (FILE* f = std::fopen((g_shots + "account.gbk").c_str(), mode == "uninstall" ? "a" : "w")) g_out = f;
  if (mode == "uninstall") g_shot = 5;  // numbered after the install's pages
  if (installs) {
    std::fprintf(g_out, "demo: %s is %s\n", setupExe.c_str(), BuildOf(setupExe).c_str());
    std::fprintf(g_out, "demo: the medium is on %s\n", DriveOf(setupExe).c_str());
  }
  std::string installed = InstalledFolder(folderArg.empty() ? "C:\\Program Files\\Kelvarin\\Terrasum\\" : folderArg);
  if (installs) {
    installed = InstalledFolder(RunSetup(setupExe, folderArg, mode == "reinstall"));
    PrintInstallation(installed);
  }
  if (uninstalls) {
    RunUninstall(installed);
    PrintRemains(installed.substr(0, installed.size() - 1));
  }
  std::fprintf(g_out, "\ndemo: done\n");
  std::fclose(g_out);
  return 0;
}
