// The worker's prompts, answered the way a user would: a distribution folder
// that cannot be found, a folder that cannot be made, a path too long for the
// folder walk, and a page whose window is gone.
#include <gtest/gtest.h>

#include <set>

#include "install/InstallRecord.h"
#include "tests/wine/install/InstallHarness.h"

namespace {

using namespace installtest;

std::set<int> Buttons(const Box& box) { return {box.buttons.begin(), box.buttons.end()}; }

void ExpectOwnedPrompt(const Box& box, const TestPage& page) {
  EXPECT_EQ(box.caption, AppName()) << "caption is the application's name";
  EXPECT_EQ(box.owner, page.m_hWnd) << "owned by the page's window";
  EXPECT_TRUE(box.ownerDisabled) << "the page is disabled while the prompt is open";
}

const std::set<int> kAbortRetryIgnore{IDABORT, IDRETRY, IDIGNORE};
const std::set<int> kRetryCancel{IDRETRY, IDCANCEL};

TEST(InstallPrompt, MissingFolderRetriedAfterItAppears) {
  const std::string source = "E:\\retry\\", install = "C:\\retry\\";
  MakeMedium(source);
  ::DeleteFileA((source + "Controls\\b.ocx").c_str());
  ::RemoveDirectoryA((source + "Controls").c_str());
  CSetupThread worker;
  TestPage page;
  PromptDriver driver(Steps{{IDRETRY, [&] { Put(source + "Controls\\b.ocx", "ocx again"); }, true, "install_missing_folder.png"}});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_TRUE(driver.extra.empty()) << "one prompt only";
  const Box& box = driver.boxes[0];
  EXPECT_EQ(box.text, MissingSourcePrompt(ERROR_PATH_NOT_FOUND, source + "Controls\\"));
  EXPECT_EQ(Buttons(box), kAbortRetryIgnore);
  EXPECT_TRUE(box.question) << "question icon";
  ExpectOwnedPrompt(box, page);
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE);
  EXPECT_EQ(Slurp(install + "Controls\\b.ocx"), "ocx again") << "found on Retry and copied";
  EXPECT_NE(worker.RecordText().find("File Copy: C:\\retry\\Controls\\b.ocx\n"), std::string::npos);
}

TEST(InstallPrompt, EveryFolderMissingAndIgnoredLeavesEmptyRecordedTargets) {
  const std::string source = "E:\\ignore\\", install = "C:\\ignore\\";
  Put(source + "Setup.exe", "MZ");
  Put(source + "Uninstall.exe", "MZ u");
  CSetupThread worker;
  TestPage page;
  std::vector<PromptDriver::Step> steps(5, PromptDriver::Step{IDIGNORE, {}});
  PromptDriver driver(steps);
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  ASSERT_EQ(driver.boxes.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    const std::string folder = CSetupThread::Folders()[i];
    EXPECT_EQ(driver.boxes[i].text, MissingSourcePrompt(ERROR_PATH_NOT_FOUND, source + folder + "\\")) << folder;
    EXPECT_TRUE(IsFolder(install + folder)) << "empty target made: " << folder;
  }
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(page.Kinds(), (std::vector<UINT>{WM_SETUP_FINISHING, WM_SETUP_DONE})) << "no WM_SETUP_FILE";
  EXPECT_EQ(Slurp(install + "Uninstall.log"),
            "Made Dir: C:\\ignore\\Support\r\nMade Dir: C:\\ignore\\Controls\r\nMade Dir: C:\\ignore\\图框\r\n"
            "Made Dir: C:\\ignore\\Data\r\nMade Dir: C:\\ignore\\Temp\r\nFile Copy: C:\\ignore\\Uninstall.exe\r\n"
            "RegDB Key: 2,SOFTWARE\\Kelvarin\\Terrasum\\V8\r\n"
            "RegDB Key: 2,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Terrasum V8\r\n"
            "File Copy: C:\\ignore\\Uninstall.log\r\n");
}

TEST(InstallPrompt, MissingFolderAbortedStopsTheRun) {
  const std::string source = "E:\\abort\\", install = "C:\\abort\\";
  MakeMedium(source);
  ::DeleteFileA((source + "图框\\图框A.dwg").c_str());
  ::RemoveDirectoryA((source + "图框").c_str());
  CSetupThread worker;
  TestPage page;
  PromptDriver driver(Steps{{IDABORT, {}}});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_EQ(driver.boxes[0].text, MissingSourcePrompt(ERROR_PATH_NOT_FOUND, source + "图框\\"));
  EXPECT_TRUE(driver.extra.empty());
  EXPECT_EQ(r.exitCode, 0u);
  // Support (5 entries) and Controls (1) were copied before the prompt.
  std::vector<UINT> kinds(6, WM_SETUP_FILE);
  kinds.push_back(WM_SETUP_FAILED);
  EXPECT_EQ(page.Kinds(), kinds);
  EXPECT_FALSE(Exists(install + "Uninstall.log")) << "no record for a stopped run";
  EXPECT_FALSE(Exists(install + "图框")) << "the aborted folder is not made";
  EXPECT_FALSE(Exists(install + "Data")) << "no later folder";
  EXPECT_FALSE(Exists(install + "Uninstall.exe")) << "no top-level stage";
  EXPECT_TRUE(Exists(install + "Support\\a.arx")) << "what was copied stays";
}

TEST(InstallPrompt, FolderBlockedByAFileRetriedAfterItsRemoval) {
  const std::string source = "E:\\mkretry\\", install = "C:\\mkretry\\deep\\";
  MakeMedium(source);
  Put(install + "Data", "a file where the folder belongs");
  CSetupThread worker;
  TestPage page;
  PromptDriver driver(Steps{{IDRETRY, [&] { ::DeleteFileA((install + "Data").c_str()); }, true, "install_folder_blocked.png"}});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_TRUE(driver.extra.empty());
  const Box& box = driver.boxes[0];
  EXPECT_EQ(box.text, FolderPrompt(ERROR_ALREADY_EXISTS, install + "Data"));
  EXPECT_EQ(Buttons(box), kRetryCancel);
  EXPECT_TRUE(box.question) << "question icon";
  ExpectOwnedPrompt(box, page);
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE);
  EXPECT_EQ(Slurp(install + "Data\\d.dat"), std::string(100000, 'd')) << "copied into the folder made on Retry";
  EXPECT_EQ(record::CountEntries(worker.RecordText(), record::kMadeDir), 7) << "Data recorded once";
}

TEST(InstallPrompt, FolderBlockedByAFileCancelledStopsTheRun) {
  const std::string source = "E:\\mkcancel\\", install = "C:\\mkcancel\\";
  MakeMedium(source);
  Put(install + "Support", "file");
  CSetupThread worker;
  TestPage page;
  PromptDriver driver(Steps{{IDCANCEL, {}}});
  RunWorker(worker, page, source, install);
  driver.Stop();

  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_EQ(driver.boxes[0].text, FolderPrompt(ERROR_ALREADY_EXISTS, install + "Support"));
  EXPECT_TRUE(driver.extra.empty());
  EXPECT_EQ(page.Kinds(), std::vector<UINT>{WM_SETUP_FAILED});
  EXPECT_EQ(Slurp(install + "Support"), "file") << "the file is left alone";
  EXPECT_FALSE(Exists(install + "Controls"));
  EXPECT_FALSE(Exists(install + "Uninstall.log"));
}

TEST(InstallPrompt, SubfolderPathOf260BytesCannotBeCreated) {
  // A short medium and a long install folder: the subfolder's target passes
  // 259 bytes while its source does not.
  const std::string source = "E:\\long\\", install = "C:\\" + std::string(200, 'L') + "\\";
  const std::string sub(60, 'S');
  Put(source + "Support\\" + sub + "\\f.txt", "f");
  const std::string target = install + "Support\\" + sub;
  ASSERT_GE(target.size(), 260u);
  CSetupThread worker;
  TestPage page;
  PromptDriver driver(Steps{{IDRETRY, {}}, {IDCANCEL, {}}});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  ASSERT_EQ(driver.boxes.size(), 2u) << "Retry asks again";
  EXPECT_TRUE(driver.extra.empty());
  for (const Box& box : driver.boxes) {
    EXPECT_EQ(box.text, FolderPrompt(ERROR_FILENAME_EXCED_RANGE, target));
    EXPECT_EQ(Buttons(box), kRetryCancel);
  }
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(page.Kinds(), std::vector<UINT>{WM_SETUP_FAILED});
  EXPECT_TRUE(IsFolder(install + "Support")) << "the folder within the limit is made";
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((install + "Support\\S*").c_str(), &fd);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE) << "no shortened folder made: " << (h != INVALID_HANDLE_VALUE ? fd.cFileName : "");
  if (h != INVALID_HANDLE_VALUE) ::FindClose(h);
}

TEST(InstallPrompt, InstallFolderOf260BytesMakesNothingAtAll) {
  const std::string source = "E:\\longer\\", top = "C:\\" + std::string(130, 'A');
  const std::string install = top + "\\" + std::string(130, 'B') + "\\";
  MakeMedium(source);
  CSetupThread worker;
  TestPage page;
  PromptDriver driver(Steps{{IDCANCEL, {}}});
  RunWorker(worker, page, source, install);
  driver.Stop();

  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_EQ(driver.boxes[0].text, FolderPrompt(ERROR_FILENAME_EXCED_RANGE, install + "Support"));
  EXPECT_EQ(page.Kinds(), std::vector<UINT>{WM_SETUP_FAILED});
  EXPECT_FALSE(Exists(top)) << "not even a parent of a too long path is made";
}

TEST(InstallPrompt, NoPromptOnceThePageWindowIsGone) {
  const std::string source = "E:\\gone\\", install = "C:\\gone\\";
  Put(source + "Support\\a.arx", "arx");  // Controls is missing: that would prompt
  CSetupThread worker;
  TestPage page;
  const HWND pageWindow = page.m_hWnd;
  // The page closes while handling the first entry, as a page that ended does.
  page.onFile = [&](const Seen&) { ::DestroyWindow(page.m_hWnd); };
  PromptDriver driver({});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  EXPECT_FALSE(::IsWindow(pageWindow));
  EXPECT_TRUE(driver.extra.empty()) << "no ownerless prompt; shown: "
                                    << (driver.extra.empty() ? "" : driver.extra[0].text);
  EXPECT_EQ(r.exitCode, 0u) << "the thread ended, so its owner's wait ends";
  EXPECT_EQ(page.Kinds(), std::vector<UINT>{WM_SETUP_FILE});
  EXPECT_FALSE(Exists(install + "Controls")) << "taken as Abort";
  EXPECT_FALSE(Exists(install + "Uninstall.log"));
}

}  // namespace
