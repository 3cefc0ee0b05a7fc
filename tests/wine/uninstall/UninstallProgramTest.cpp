// The real Uninstall.exe, copied into install folders on drive D: and run
// with D:\ as its current folder, driven from outside like a user would.
#include <gtest/gtest.h>

#include <vector>

#include "framework/Handles.h"
#include "medium/control/ControlIdentity.h"
#include "tests/ui/UiTest.h"
#include "tests/wine/uninstall/UninstallTestSupport.h"

namespace {

const char kCaption[] = "Gravo V6.0 卸载";
// Where the batch of an earlier version lay: the root of the current drive.
const char kRootBatch[] = "D:\\DelUS.bat";
bool NoBatch() { return ut::BatchFolders().empty() && !ut::Exists(kRootBatch); }
const char kProductKey[] = "SOFTWARE\\Halvgard\\Gravo\\V6";
constexpr DWORD kLongWait = 120000;

std::string Fc(const std::string& p) { return "File Copy: " + p; }

// An install folder (with a trailing backslash) holding a copy of the
// program; the record is written by the test.
struct Installation {
  explicit Installation(const std::string& name) : folder("D:\\" + name + "\\") {
    ut::RemoveTree(folder.substr(0, folder.size() - 1));
    ut::MakeFolders(folder.substr(0, folder.size() - 1));
    ::CopyFileA((ui::BuildDir() + "bin\\Uninstall.exe").c_str(), program().c_str(), FALSE);
  }
  std::string program() const { return folder + "Uninstall.exe"; }
  std::string record() const { return folder + "Uninstall.log"; }
  std::string folder;
};

// Starts the program and answers its first question; the box is checked.
bool StartAndAnswer(ui::Process& process, const Installation& inst, int answer) {
  if (!process.Start("\"" + inst.program() + "\"", "D:\\")) return false;
  const ui::MessageBoxInfo ask = ui::WaitForMessageBox(process.Id());
  EXPECT_EQ(ask.text, "真要卸载 Gravo V6.0吗?");
  EXPECT_EQ(ask.caption, "卸载软件");
  EXPECT_TRUE(ask.Has(IDYES) && ask.Has(IDNO) && ask.buttons.size() == 2) << "Yes and No";
  EXPECT_TRUE(ui::MessageBoxShowsIcon(ask, IDI_QUESTION));
  if (!ui::Answer(ask, answer)) return false;
  // Gone before the next box is looked for.
  return ui::WaitUntil([&] { return !::IsWindow(ask.window); });
}

// The next box other than the one just answered.
ui::MessageBoxInfo NextBox(DWORD pid, HWND previous) {
  if (previous) ui::WaitUntil([&] { return !::IsWindow(previous); });
  return ui::WaitForMessageBox(pid);
}

// Whether the control shows anything darker than the dialog's face yet:
// painting lags behind a change of text or visibility.
bool ShowsText(HWND dialog, int id) {
  const ui::Capture shot = ui::CaptureWindow(ui::Control(dialog, id));
  for (int y = 0; y < shot.height; ++y)
    for (int x = 0; x < shot.width; ++x)
      if (GetGValue(shot.At(x, y)) < 100) return true;
  return false;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

TEST(UninstallProgram, NoAtTheQuestionTouchesNothing) {
  Installation inst("Gravo No");
  const std::string file = inst.folder + "a.txt";
  ut::WriteBytes(file, "x");
  ut::WriteRecord(inst.record(), ut::Lines({Fc(file), Fc(inst.record())}));
  ui::Process process;
  ASSERT_TRUE(StartAndAnswer(process, inst, IDNO));
  EXPECT_EQ(process.Wait(), 2u) << "the program ends";
  EXPECT_TRUE(ut::Exists(file) && ut::Exists(inst.record()) && ut::Exists(inst.program()));
  EXPECT_TRUE(NoBatch());
}

TEST(UninstallProgram, WithoutARecordTheDialogClosesSilently) {
  Installation inst("Gravo Empty");
  ui::Process process;
  ASSERT_TRUE(StartAndAnswer(process, inst, IDYES));
  // A box would keep the program from ending.
  EXPECT_EQ(process.Wait(), 2u);
  EXPECT_TRUE(ut::Exists(inst.program()));
  EXPECT_TRUE(NoBatch()) << "nothing was replayed";
}

TEST(UninstallProgram, TheProductKeysFolderIsUsedAndNotTheProgramsOwn) {
  Installation elsewhere("Gravo Elsewhere"), own("Gravo Own");
  const std::string there = elsewhere.folder + "there.txt", here = own.folder + "here.txt";
  ut::WriteBytes(there, "x");
  ut::WriteBytes(here, "x");
  ut::WriteRecord(own.record(), ut::Lines({Fc(here)}));
  // installPath without its trailing backslash, naming a folder without a record.
  ut::SetString(HKEY_LOCAL_MACHINE, kProductKey, "installPath", "D:\\Gravo Elsewhere");
  {
    ui::Process process;
    ASSERT_TRUE(StartAndAnswer(process, own, IDYES));
    EXPECT_EQ(process.Wait(), 2u) << "closes silently";
    EXPECT_TRUE(ut::Exists(here)) << "the program's own folder is not tried then";
  }
  ut::WriteRecord(elsewhere.record(), ut::Lines({Fc(there), Fc(elsewhere.record())}));
  {
    ui::Process process;
    ASSERT_TRUE(StartAndAnswer(process, own, IDYES));
    HWND dlg = ui::WaitForWindow("#32770", kCaption, process.Id());
    ASSERT_TRUE(dlg);
    ASSERT_TRUE(ui::WaitUntil([&] { return ui::IsEnabled(dlg, IDOK); }, kLongWait));
    ui::Click(dlg, IDOK);
    EXPECT_EQ(process.Wait(), 0u);
  }
  EXPECT_FALSE(ut::Exists(there)) << "the record under installPath was replayed";
  EXPECT_TRUE(ut::Exists(here));
  ut::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Halvgard");
  // That run's batch removes the program of "Gravo Own" once it has ended.
  EXPECT_TRUE(ui::WaitUntil(NoBatch, kLongWait));
}

TEST(UninstallProgram, AnUnreadableRecordShowsTheFileErrorThenTheFailure) {
  Installation inst("Gravo Locked");
  const std::string file = inst.folder + "a.txt";
  ut::WriteBytes(file, "x");
  ut::WriteRecord(inst.record(), ut::Lines({Fc(file), Fc(inst.record())}));
  ScopedFile holder(::CreateFileA(inst.record().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  ui::Process process;
  ASSERT_TRUE(StartAndAnswer(process, inst, IDYES));
  const ui::MessageBoxInfo error = ui::WaitForMessageBox(process.Id());
  ASSERT_TRUE(ui::Answer(error, IDOK));
  const ui::MessageBoxInfo failed = NextBox(process.Id(), error.window);
  EXPECT_EQ(failed.text, "Gravo V6.0 卸载未能完成!");
  EXPECT_EQ(failed.caption, "Uninstall");
  EXPECT_TRUE(ui::MessageBoxShowsIcon(failed, IDI_ASTERISK)) << "information icon";
  ASSERT_TRUE(ui::Answer(failed, IDOK));
  EXPECT_EQ(process.Wait(), 2u);
  EXPECT_TRUE(ut::Exists(file)) << "nothing replayed";
  EXPECT_TRUE(NoBatch());
}

// Registers the medium's sample control from its place in the install folder.
bool RegisterGrid(const std::string& path) {
  if (!::CopyFileA((ui::BuildDir() + "bin\\TerrasumGrid.ocx").c_str(), path.c_str(), FALSE)) return false;
  ScopedLibrary lib(::LoadLibraryA(path.c_str()));
  using Entry = HRESULT(__stdcall*)();
  const auto reg = lib ? reinterpret_cast<Entry>(
                             reinterpret_cast<void (*)()>(::GetProcAddress(lib.get(), "DllRegisterServer")))
                       : nullptr;
  return reg && reg() == S_OK;
}

TEST(UninstallProgram, ACompleteUninstallFinishesAndTheBatchRemovesTheProgram) {
  Installation inst("Gravo V6");
  const std::string f = inst.folder;
  ut::MakeFolders(f + "Support\\子目录");
  ut::MakeFolders(f + "Controls");
  const std::string arx = f + "Support\\a.arx", inner = f + "Support\\子目录\\b.lsp", grid = f + "Controls\\TerrasumGrid.ocx";
  ut::WriteBytes(arx, "arx");
  ut::WriteBytes(inner, "lsp");
  ASSERT_TRUE(RegisterGrid(grid));
  const std::string key = "SOFTWARE\\Kelvarin\\Terrasum\\V8", arp = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Terrasum V8";
  ut::SetString(HKEY_LOCAL_MACHINE, key, "installPath", f);
  ut::SetString(HKEY_LOCAL_MACHINE, arp, "UninstallString", inst.program());
  const std::string profile = "SOFTWARE\\Autodesk\\AutoCAD\\R16.0\\ACAD-201:804\\Profiles\\<<Gravo V6>>";
  ut::SetString(HKEY_CURRENT_USER, profile, "", "<<Gravo V6>>");
  // As Setup writes it, its own program file among the top-level files.
  ut::WriteRecord(inst.record(),
                  ut::Lines({"Made Dir: " + f + "Support", Fc(arx), "Made Dir: " + f + "Support\\子目录", Fc(inner),
                             "Made Dir: " + f + "Controls", Fc(grid), Fc(inst.program()), "Reg Ctrl: " + grid,
                             "RegDB Key: 2," + key, "RegDB Key: 2," + arp, Fc(inst.record())}));

  ui::Process process;
  ASSERT_TRUE(StartAndAnswer(process, inst, IDYES));
  HWND dlg = ui::WaitForWindow("#32770", kCaption, process.Id());
  ASSERT_TRUE(dlg);
  ASSERT_TRUE(ui::WaitUntil([&] { return ui::IsVisible(dlg, 1003); }, kLongWait)) << "卸载完成! shown";
  ASSERT_TRUE(ui::WaitUntil([&] { return FocusOf(dlg) == ui::Control(dlg, IDOK); }));
  EXPECT_TRUE(ui::WaitUntil([&] { return ShowsText(dlg, 1003); })) << "卸载完成! painted";
  ui::SaveScreenshot(dlg, ui::ScreenshotDir() + "uninstall_finished.png");
  EXPECT_TRUE(ui::IsEnabled(dlg, IDOK)) << "finish button";
  EXPECT_EQ(ui::ControlText(dlg, 1003), "卸载完成!");
  EXPECT_FALSE(ui::IsVisible(dlg, 1000)) << "progress bar hidden";
  EXPECT_FALSE(ui::IsVisible(dlg, 1004)) << "group box hidden";
  EXPECT_EQ(ui::ControlText(dlg, 1001), "") << "current-file text emptied";
  EXPECT_EQ(ut::BatchFolders().size(), 1u) << "batch written before the finish message";
  EXPECT_FALSE(ut::Exists(kRootBatch)) << "a batch in the drive's root";

  // While the program runs its file stays; the batch waits for it.
  ASSERT_TRUE(ui::Click(dlg, IDOK));
  EXPECT_EQ(process.Wait(), 0u);
  for (const auto& p : {arx, inner, grid, inst.record(), f + "Support", f + "Controls"})
    EXPECT_FALSE(ut::Exists(p)) << p;
  EXPECT_FALSE(ut::KeyExists(HKEY_LOCAL_MACHINE, key));
  EXPECT_FALSE(ut::KeyExists(HKEY_LOCAL_MACHINE, arp));
  EXPECT_FALSE(ut::KeyExists(HKEY_CLASSES_ROOT, std::string("CLSID\\") + medium::kGridControl.clsid))
      << "the control was unregistered";
  EXPECT_FALSE(ut::KeyExists(HKEY_CURRENT_USER, profile));
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(inst.program()); }, kLongWait)) << "program file";
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(f.substr(0, f.size() - 1)); }, kLongWait)) << "its folder";
  EXPECT_TRUE(ui::WaitUntil(NoBatch, kLongWait)) << "the batch and its folder";
}

TEST(UninstallProgram, CancelOrTheCloseBoxDuringTheReplayStopsIt) {
  Installation inst("Gravo Big");
  const std::string data = inst.folder + "data";
  ut::MakeFolders(data);
  std::vector<std::string> lines;
  std::vector<std::string> early;
  for (int i = 0; i < 3; ++i) {
    early.push_back(data + "\\early" + std::to_string(i) + ".dat");
    ut::WriteBytes(early.back(), "x");
    lines.push_back(Fc(early.back()));
  }
  // Many entries, none of them there: the file stage takes its time.
  char name[64];
  for (int i = 0; i < 200000; ++i) {
    std::snprintf(name, sizeof name, "\\f%06d.dat", i);
    lines.push_back(Fc(data + name));
  }
  const std::string late = data + "\\late.dat";
  ut::WriteBytes(late, "x");
  lines.push_back(Fc(late));
  lines.push_back("Made Dir: " + data);
  lines.push_back("RegDB Key: 2,SOFTWARE\\TsUninstallCancel");
  lines.push_back(Fc(inst.record()));
  ut::MakeKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\TsUninstallCancel");
  ASSERT_TRUE(ut::WriteRecord(inst.record(), ut::Lines(lines)));

  for (const bool closeBox : {false, true}) {
    ui::Process process;
    ASSERT_TRUE(StartAndAnswer(process, inst, IDYES));
    HWND dlg = ui::WaitForWindow("#32770", kCaption, process.Id());
    ASSERT_TRUE(dlg);
    EXPECT_FALSE(ui::IsEnabled(dlg, IDOK)) << "finish button disabled while replaying";
    EXPECT_FALSE(ui::IsVisible(dlg, 1003)) << "finish text hidden while replaying";
    // A thousand entries in, the dialog has had its time to paint.
    ASSERT_TRUE(ui::WaitUntil([&] { return ui::ControlText(dlg, 1001).find("\\f001") != std::string::npos; }))
        << "current file shown";
    const std::string shown = ui::ControlText(dlg, 1001);
    EXPECT_EQ(shown.substr(shown.size() - 5), " ... ") << shown;
    if (!closeBox) {
      EXPECT_TRUE(ui::WaitUntil([&] { return ShowsText(dlg, 1002) && ShowsText(dlg, IDCANCEL); }))
          << "the dialog paints while the worker sends";
      ui::SaveScreenshot(dlg, ui::ScreenshotDir() + "uninstall_replaying.png");
      // Enter while replaying: the dialog stays; the replay goes on past the
      // next thousand entries, by which the command has long been handled.
      ui::PostCommand(dlg, IDOK);
      ASSERT_TRUE(ui::WaitUntil([&] { return ui::ControlText(dlg, 1001).find("\\f002") != std::string::npos; }))
          << "the replay went on";
      EXPECT_TRUE(::IsWindowVisible(dlg)) << "IDOK before the finish did not end the dialog";
    }
    EXPECT_FALSE(ui::IsEnabled(dlg, IDOK));
    if (closeBox) ui::Close(dlg);
    else ASSERT_TRUE(ui::Click(dlg, IDCANCEL));
    EXPECT_EQ(process.Wait(30000), 2u) << "the program ends after the worker";
    EXPECT_TRUE(ut::Exists(late)) << "entries after the stop stay";
    EXPECT_TRUE(ut::Exists(inst.record())) << "the record stays for another run";
    EXPECT_TRUE(ut::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\TsUninstallCancel")) << "key stage skipped";
    EXPECT_TRUE(ut::Exists(inst.program())) << "no self-removal after a cancel";
    EXPECT_TRUE(NoBatch());
  }
  for (const auto& e : early) EXPECT_FALSE(ut::Exists(e)) << e;
  ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\TsUninstallCancel");
}

}  // namespace
