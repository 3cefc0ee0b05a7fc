// Drives Setup from the medium through its five pages, then the uninstaller
// named by the Add/Remove Programs entry, saving a screenshot of every page
// and printing an account of what the installation left and what the
// uninstall removed.
//   DemoDriver SETUP_EXE SCREENSHOT_DIR [INSTALL_FOLDER]
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/demo/Account.h"
#include "tests/ui/UiTest.h"

namespace {

const char kProductKey[] = "SOFTWARE\\Kelvarin\\Terrasum\\V8";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Terrasum V8";
std::string g_shots;
int g_shot = 0;

[[noreturn]] void Fail(const std::string& what) {
  std::printf("demo: FAILED: %s\n", what.c_str());
  std::fflush(stdout);
  std::exit(1);
}

void Shot(const char* name) {
  ::Sleep(400);  // let the page finish painting
  char file[64];
  std::snprintf(file, sizeof file, "%02d-%s.png", ++g_shot, name);
  if (!ui::SaveScreenshot(nullptr, g_shots + file)) Fail(std::string("screenshot ") + file);
  std::printf("demo: screenshot %s\n", file);
}

HWND Page(int controlId, DWORD pid, const char* name, DWORD timeout = 20000) {
  HWND page = ui::WaitForDialogWithControl(controlId, pid, timeout);
  if (!page) Fail(std::string("the ") + name + " page did not appear");
  std::printf("demo: %s page\n", name);
  return page;
}

void Press(HWND page, int id, const char* what) {
  if (!ui::WaitUntil([&] { return ui::IsEnabled(page, id); }, 10000) || !ui::Click(page, id))
    Fail(std::string("could not press ") + what);
}

std::string RunSetup(const std::string& setupExe, const std::string& installFolder) {
  std::string medium = setupExe.substr(0, setupExe.find_last_of('\\') + 1);
  ui::Process setup;
  if (!setup.Start("\"" + setupExe + "\"", medium)) Fail("cannot start " + setupExe);

  HWND welcome = Page(1003, setup.Id(), "welcome");
  Shot("welcome");
  Press(welcome, 1000, "Next on the welcome page");

  HWND agreement = Page(1005, setup.Id(), "agreement");
  Shot("agreement");
  Press(agreement, 1017, "同意");
  Press(agreement, 1000, "Next on the agreement page");

  HWND path = Page(1009, setup.Id(), "install path");
  if (!installFolder.empty()) ui::SetEditText(path, 1009, installFolder);
  const std::string folder = ui::ControlText(path, 1009);
  Shot("install-path");
  Press(path, 1000, "Next on the install path page");

  HWND copy = ui::WaitForDialogWithControl(1010, setup.Id(), 5000);
  if (copy) {
    std::printf("demo: copy page\n");
    Shot("copy");
  }
  HWND finish = Page(1012, setup.Id(), "finish", 180000);
  if (ui::IsChecked(finish, 1012)) ui::Click(finish, 1012);  // do not open the readme in the demo
  ui::WaitUntil([&] { return !ui::IsChecked(finish, 1012); }, 3000);
  Shot("finish");
  Press(finish, 1000, "完成");
  if (setup.Wait(20000) == STILL_ACTIVE) Fail("Setup did not end");
  std::printf("demo: Setup ended\n");
  return folder;
}

void PrintInstallation(const std::string& folder) {
  const auto files = demo::FilesUnder(folder.substr(0, folder.size() - 1));
  std::printf("\n== Files installed in %s: %u\n", folder.c_str(), static_cast<unsigned>(files.size()));
  for (const auto& f : files) std::printf("   %s\n", f.c_str());
  const auto lines = demo::ReadLines(folder + "Uninstall.log");
  std::printf("\n== Install record Uninstall.log: %u lines\n", static_cast<unsigned>(lines.size()));
  for (const auto& l : lines) std::printf("   %s\n", l.c_str());
  std::printf("\n== Registry values (HKEY_LOCAL_MACHINE)\n");
  std::printf("   %s installPath = %s\n", kProductKey, demo::RegString(true, kProductKey, "installPath").c_str());
  std::printf("   %s Ver = %s\n", kProductKey, demo::RegString(true, kProductKey, "Ver").c_str());
  std::printf("   %s DisplayName = %s\n", kUninstallKey, demo::RegString(true, kUninstallKey, "DisplayName").c_str());
  std::printf("   %s UninstallString = %s\n", kUninstallKey,
              demo::RegString(true, kUninstallKey, "UninstallString").c_str());
  std::printf("\n== AutoCAD profiles (HKEY_CURRENT_USER)\n");
  for (const auto& p : demo::AcadProfiles()) {
    std::printf("   %s\n", p.c_str());
    const std::string acad = demo::RegString(false, p + "\\General", "ACAD");
    if (acad != "<none>") std::printf("      General ACAD = %s\n", acad.c_str());
    const std::string menu = demo::RegString(false, p + "\\General Configuration", "MenuFile");
    if (menu != "<none>") std::printf("      General Configuration MenuFile = %s\n", menu.c_str());
  }
  std::printf("\n== Shortcuts\n");
  for (const auto& line : lines) {
    const std::string tag = "File Copy: ";
    if (line.compare(0, tag.size(), tag) != 0) continue;
    const std::string p = line.substr(tag.size());
    if (p.size() < 4 || _stricmp(p.c_str() + p.size() - 4, ".lnk") != 0) continue;
    demo::Shortcut s;
    if (demo::ReadShortcut(p, s))
      std::printf("   %s\n      -> %s %s (in %s, icon %s,%d)\n", p.c_str(), s.target.c_str(), s.arguments.c_str(),
                  s.workingDir.c_str(), s.icon.c_str(), s.iconIndex);
    else
      std::printf("   %s (cannot be read)\n", p.c_str());
  }
}

void RunUninstall(const std::string& folder) {
  const std::string command = demo::RegString(true, kUninstallKey, "UninstallString");
  if (command == "<none>") Fail("no UninstallString");
  std::printf("\n== Uninstall: %s\n", command.c_str());
  ui::Process un;
  if (!un.Start("\"" + command + "\"", folder)) Fail("cannot start " + command);
  ui::MessageBoxInfo ask = ui::WaitForMessageBox(un.Id());
  if (!ask.window) Fail("no uninstall question");
  std::printf("demo: question \"%s\" (%s)\n", ask.text.c_str(), ask.caption.c_str());
  Shot("uninstall-question");
  ui::Answer(ask, IDYES);
  HWND dlg = ui::WaitForWindow("#32770", "Gravo V6.0 卸载", un.Id());
  if (!dlg) Fail("no uninstall dialog");
  Shot("uninstall-progress");
  if (!ui::WaitUntil([&] { return ui::IsVisible(dlg, 1003) && ui::IsEnabled(dlg, IDOK); }, 120000))
    Fail("the uninstall did not finish");
  Shot("uninstall-done");
  Press(dlg, IDOK, "完成 on the uninstaller");
  if (un.Wait(20000) == STILL_ACTIVE) Fail("Uninstall did not end");
  // The self-removal batch deletes the program file once the program has ended.
  const std::string self = command;
  ui::WaitUntil([&] { return ::GetFileAttributesA(self.c_str()) == INVALID_FILE_ATTRIBUTES; }, 30000);
}

void PrintRemains(const std::string& folder) {
  std::printf("\n== After the uninstall\n");
  const auto files = demo::FilesUnder(folder);
  const DWORD attr = ::GetFileAttributesA(folder.c_str());
  std::printf("   install folder %s: %s, %u files left\n", folder.c_str(),
              attr == INVALID_FILE_ATTRIBUTES ? "removed" : "still there", static_cast<unsigned>(files.size()));
  for (const auto& f : files) std::printf("      %s\n", f.c_str());
  std::printf("   %s: %s\n", kProductKey, demo::RegKeyExists(true, kProductKey) ? "still there" : "removed");
  std::printf("   %s: %s\n", kUninstallKey, demo::RegKeyExists(true, kUninstallKey) ? "still there" : "removed");
  std::printf("   \\DelUS.bat: %s\n", ::GetFileAttributesA("C:\\DelUS.bat") == INVALID_FILE_ATTRIBUTES
                                          ? "gone (the batch removed itself)"
                                          : "still there");
  std::printf("   AutoCAD profiles now:\n");
  for (const auto& p : demo::AcadProfiles()) std::printf("      %s\n", p.c_str());
  std::printf("   (Uninstall removes only the profiles of its own product identity, \"<<Gravo V6>>\".)\n");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::printf("usage: DemoDriver SETUP_EXE SCREENSHOT_DIR [INSTALL_FOLDER]\n");
    return 2;
  }
  g_shots = argv[2];
  if (g_shots.back() != '\\') g_shots += '\\';
  const std::string folder = RunSetup(argv[1], argc > 3 ? argv[3] : "");
  std::string installed = folder;
  while (!installed.empty() && (installed.back() == ' ')) installed.pop_back();
  if (installed.back() != '\\') installed += '\\';
  PrintInstallation(installed);
  RunUninstall(installed);
  PrintRemains(installed.substr(0, installed.size() - 1));
  std::printf("\ndemo: done\n");
  return 0;
}
