// Whole rounds under Wine: the install engine installs, the real
// Uninstall.exe takes it away. A second installation into the same folder
// and an uninstall afterwards; an uninstall while files are held open;
// install folders whose folder paths are 259, 260 and 300 bytes long.
#include <gtest/gtest.h>

#include "framework/Handles.h"
#include "framework/StdioFile.h"
#include "framework/SystemError.h"
#include "install/InstallRecord.h"
#include "tests/wine/install/InstallHarness.h"
#include "tests/wine/uninstall/ReplayHarness.h"
#include "tests/wine/uninstall/UninstallTestSupport.h"

namespace {

using namespace installtest;

const char kProductKey[] = "SOFTWARE\\Kelvarin\\Terrasum\\V8";
const char kArpKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Terrasum V8";
constexpr DWORD kLongWait = 120000;

// The sample medium with the real uninstaller among its top-level files.
void MakeRealMedium(const std::string& source) {
  MakeMedium(source);
  ASSERT_TRUE(::CopyFileA((ui::BuildDir() + "bin\\Uninstall.exe").c_str(), (source + "Uninstall.exe").c_str(), FALSE));
}

struct Installed {
  std::vector<UINT> kinds;
  std::string record;
  std::vector<Box> extra;
};

Installed Install(const std::string& source, const std::string& install) {
  CSetupThread worker;
  TestPage page;
  PromptDriver driver({});
  RunWorker(worker, page, source, install);
  driver.Stop();
  return {page.Kinds(), worker.RecordText(), driver.extra};
}

// Runs the installed Uninstall.exe to its end: Yes, the replay, 完成; with
// restartText, the message that a restart completes the removal is expected
// and answered first. Returns the program's exit code.
DWORD Uninstall(const std::string& install, bool* finishShown = nullptr, const char* restartText = nullptr) {
  ui::Process process;
  if (!process.Start("\"" + install + "Uninstall.exe\"", "D:\\")) return 1000;
  const ui::MessageBoxInfo ask = ui::WaitForMessageBox(process.Id());
  EXPECT_EQ(ask.text, "真要卸载 Gravo V6.0吗?");
  if (!ui::Answer(ask, IDYES)) return 1001;
  HWND dlg = ui::WaitForWindow("#32770", "Gravo V6.0 卸载", process.Id());
  if (!dlg) return 1002;
  if (!ui::WaitUntil([&] { return ui::IsEnabled(dlg, IDOK); }, kLongWait)) return 1003;
  if (finishShown) *finishShown = ui::IsVisible(dlg, 1003) && ui::ControlText(dlg, 1003) == "卸载完成!";
  const ui::MessageBoxInfo box = ui::WaitForMessageBox(process.Id(), restartText ? kLongWait : 500);
  if (restartText) {
    EXPECT_EQ(box.text, restartText);
    EXPECT_EQ(::GetWindow(box.window, GW_OWNER), dlg) << "owned by the dialog";
    if (!ui::Answer(box, IDOK) || !ui::WaitUntil([&] { return !::IsWindow(box.window); })) return 1005;
  } else {
    EXPECT_EQ(box.window, nullptr) << "no box during the replay: " << box.text;
  }
  if (!ui::Click(dlg, IDOK)) return 1004;
  return process.Wait(30000);
}

bool KeyThere(const char* key) { return ut::KeyExists(HKEY_LOCAL_MACHINE, key); }

TEST(FaultRound, ASecondInstallIntoTheSameFolderReplacesTheRecordAndUninstallTakesAll) {
  const std::string source = "E:\\twice\\", install = "D:\\Twice\\";
  MakeRealMedium(source);
  const Installed first = Install(source, install);
  ASSERT_EQ(first.kinds.back(), WM_SETUP_DONE);
  // The medium changes between the runs: a file more, a file less.
  Put(source + "Data\\new.dat", "new");
  ::DeleteFileA((source + "Support\\b.lsp").c_str());
  const Installed second = Install(source, install);
  ASSERT_EQ(second.kinds.back(), WM_SETUP_DONE);
  EXPECT_TRUE(first.extra.empty() && second.extra.empty()) << "no prompt in either run";

  const std::string onDisk = Slurp(install + "Uninstall.log");
  std::string expected;
  for (char c : second.record) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(onDisk, expected) << "the second run's record replaces the first";
  EXPECT_EQ(record::CountEntries(second.record, record::kMadeDir), record::CountEntries(first.record, record::kMadeDir))
      << "each folder recorded once, not once per run";
  EXPECT_NE(second.record.find("File Copy: D:\\Twice\\Data\\new.dat\n"), std::string::npos);
  EXPECT_EQ(second.record.find("b.lsp"), std::string::npos) << "the second record lists only what it copied";
  EXPECT_TRUE(Exists(install + "Support\\b.lsp")) << "the first run's file is still there";

  bool finished = false;
  // The sample medium's b.ocx is no module: it cannot be unregistered, which
  // the exit code tells (3) while the replay still removes everything else.
  EXPECT_EQ(Uninstall(install, &finished), 3u);
  EXPECT_TRUE(finished) << "卸载完成! shown";
  EXPECT_FALSE(KeyThere(kProductKey));
  EXPECT_FALSE(KeyThere(kArpKey));
  EXPECT_FALSE(Exists(install + "Data\\new.dat"));
  EXPECT_FALSE(Exists(install + "Uninstall.log"));
  // What only the first record listed stays, and with it its folder.
  EXPECT_TRUE(Exists(install + "Support\\b.lsp")) << "named by the replaced record only";
  EXPECT_TRUE(ui::WaitUntil([&] { return !Exists(install + "Uninstall.exe"); }, kLongWait)) << "the batch ran";
  EXPECT_FALSE(Exists(install + "Data")) << "folders emptied by the replay are gone";
  EXPECT_TRUE(ui::WaitUntil([&] { return ut::BatchFolders().empty(); }, kLongWait)) << "the batch and its folder";
  EXPECT_FALSE(Exists("D:\\DelUS.bat"));
}

// Files held open (no sharing, read sharing, read and write sharing) cannot
// be deleted: they and the folders they keep are deleted at the restart.
TEST(FaultRound, UninstallWhileFilesAreHeldOpenLeavesThemToTheRestart) {
  const std::string source = "E:\\held\\", install = "D:\\Held\\";
  MakeRealMedium(source);
  const Installed run = Install(source, install);
  ASSERT_EQ(run.kinds.back(), WM_SETUP_DONE);
  ui::ClearPendingFileRenames();
  const std::vector<std::string> held{install + "Support\\a.arx", install + "Data\\d.dat", install + "readme.txt"};
  std::vector<ScopedFile> holds;
  holds.emplace_back(::CreateFileA(held[0].c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  holds.emplace_back(::CreateFileA(held[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  holds.emplace_back(::CreateFileA(held[2].c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
  for (const auto& h : holds) ASSERT_TRUE(h);

  bool finished = false;
  EXPECT_EQ(Uninstall(install, &finished,
                      "部分文件正在被其他程序使用，无法立即删除。\n重新启动计算机后即可完成卸载。"),
            3u)
      << "the replay finishes (3: the medium's stand-in control cannot be unregistered, which outranks 3010)";
  EXPECT_TRUE(finished);
  for (const auto& path : held) EXPECT_TRUE(Exists(path)) << path << " is open elsewhere: it stays until the restart";
  std::vector<std::string> expected;
  for (const std::string& path : {held[0], held[1], held[2], install + "Data", install + "Support",
                                  std::string("D:\\Held")}) {
    expected.push_back("\\??\\" + path);
    expected.push_back("");
  }
  EXPECT_EQ(ui::PendingFileRenames(), expected) << "the held files, then the folders they keep, last recorded first, the install folder last";
  EXPECT_TRUE(IsFolder(install + "Support")) << "a folder holding a kept file stays";
  EXPECT_TRUE(IsFolder(install + "Data"));
  for (const char* gone : {"Support\\b.lsp", "Support\\sub\\c.dwg", "Controls\\b.ocx", "图框\\图框A.dwg",
                           "Terrasum.exe", "Kelvarin.url", "TerrasumV8.0.ICO", "Uninstall.log"})
    EXPECT_FALSE(Exists(install + gone)) << gone << " is not held: it goes";
  EXPECT_FALSE(Exists(install + "Support\\sub")) << "an emptied folder goes";
  EXPECT_FALSE(Exists(install + "Temp"));
  EXPECT_FALSE(KeyThere(kProductKey)) << "nothing else is lost on the way";
  EXPECT_FALSE(KeyThere(kArpKey));
  EXPECT_TRUE(ui::WaitUntil([&] { return !Exists(install + "Uninstall.exe"); }, kLongWait)) << "the batch ran";
  EXPECT_TRUE(IsFolder("D:\\Held")) << "the install folder keeps the held files";
  holds.clear();
  for (const auto& path : held) EXPECT_EQ(Slurp(path).empty(), false) << path << " intact";
}

// Install folders that make the path of "Controls", the longest of the five
// folder names, 240, 259, 260 and 300 bytes long. The folder walk takes up
// to 259 bytes; the platform's own limits (file paths of 260 bytes and more,
// the record's path) come on top. Whatever stops, the run ends (never
// hangs), says why in its prompt or the file-error box, and a record, when
// one is written, names only what is there, which the replay then removes.
TEST(FaultRound, LongFolderPathsAreInstalledAndRemovedOrStopWithAReason) {
  // A flat medium: one file in each folder, no subfolder (whose path would
  // be longer again), the top-level files.
  const std::string source = "E:\\long\\";
  for (const std::string& folder : CSetupThread::Folders()) Put(source + folder + "\\f.txt", folder);
  Put(source + "Uninstall.exe", "MZ");
  Put(source + "readme.txt", "readme");
  std::string account;
  for (const std::size_t length : {240u, 259u, 260u, 300u}) {
    SCOPED_TRACE(std::to_string(length) + " bytes");
    const std::string top = "C:\\L" + std::to_string(length);
    // top \ <padding> \ Controls, the padding making up the length.
    const std::size_t pad = length - top.size() - 1 - 1 - 8;
    const std::string install = top + "\\" + std::string(pad, 'p') + "\\";
    ASSERT_EQ((install + "Controls").size(), length);
    CSetupThread worker;
    TestPage page;
    PromptDriver driver(Steps{{IDCANCEL, {}}, {IDOK, {}}});
    RunWorker(worker, page, source, install);
    driver.Stop();
    ASSERT_FALSE(page.seen.empty());
    EXPECT_TRUE(driver.extra.empty()) << "at most one box";
    const UINT end = page.Kinds().back();
    EXPECT_TRUE(end == WM_SETUP_DONE || end == WM_SETUP_FAILED);
    std::string outcome = end == WM_SETUP_DONE ? "completed" : "stopped";
    if (!driver.boxes.empty()) {
      const std::string& text = driver.boxes[0].text;
      const std::string recordPath = install + "Uninstall.log";
      const bool folderPrompt = text.find("\xB2\xBB\xC4\xDC\xB4\xB4\xBD\xA8") != std::string::npos;  // 不能创建
      const bool recordError = text == CFileException(ERROR_FILENAME_EXCED_RANGE, recordPath).ErrorText();
      EXPECT_TRUE(folderPrompt || recordError) << "the box says why";
      EXPECT_NE(text.find(SystemErrorText(ERROR_FILENAME_EXCED_RANGE)), std::string::npos) << "the system's reason";
      EXPECT_EQ(end, folderPrompt ? WM_SETUP_FAILED : WM_SETUP_DONE);
      outcome += folderPrompt ? " at the folder prompt (Cancel)" : ", the record too long to write";
    }
    const bool recorded = Exists(install + "Uninstall.log");
    int present = 0, listed = 0;
    if (recorded) {
      std::size_t position = 0, start = 0, len = 0;
      while (record::NextEntry(worker.RecordText(), record::kFileCopy, position, start, len)) {
        ++listed;
        present += Exists(worker.RecordText().substr(start, len));
      }
      EXPECT_EQ(present, listed) << "every file entry names a file that is there";
      ut::TestWorker replay;
      ut::Recorder recorder;
      PromptDriver answers({});  // a box would be a failure, and must not hang the test
      ASSERT_TRUE(ut::RunReplay(replay, recorder, install + "Uninstall.log"));
      answers.Stop();
      EXPECT_TRUE(answers.extra.empty());
      ASSERT_FALSE(recorder.events.empty());
      EXPECT_EQ(recorder.events.back(), "done");
      for (const std::string& folder : CSetupThread::Folders()) EXPECT_FALSE(Exists(install + folder)) << folder;
      EXPECT_FALSE(Exists(install + "Uninstall.log"));
      outcome += ", " + std::to_string(listed) + " files recorded, all removed by the replay";
    } else {
      outcome += ", no record";
    }
    if (length == 240) EXPECT_TRUE(recorded && driver.boxes.empty()) << "within every limit";
    if (length == 300) EXPECT_FALSE(Exists(install + "Support")) << "no folder beyond the walk's limit";
    account += std::to_string(length) + ": " + outcome + "; ";
  }
  std::printf("long folder paths: %s\n", account.c_str());
}

}  // namespace
