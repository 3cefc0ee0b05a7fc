// Faults met by the install engine on real drives under Wine: target and
// source files locked during the folder and top-level stages, a file
// standing where a folder must be made, each distribution folder missing,
// and folder and link paths of 259, 260 and 300 bytes. Each run must end
// (no hang), report its end to the page, keep what it could not replace, and
// write a record of exactly what it did, or none when it stopped.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/Handles.h"
#include "install/InstallRecord.h"
#include "tests/wine/install/InstallHarness.h"

namespace {

using namespace installtest;

// Holds a file open the way another program would: without sharing, or
// sharing reading only (a viewer that has it open).
ScopedFile HoldOpen(const std::string& path, DWORD share = 0) {
  return ScopedFile(::CreateFileA(path.c_str(), GENERIC_READ | (share ? 0 : GENERIC_WRITE), share, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
}

bool Recorded(const CSetupThread& worker, int kind, const std::string& value) {
  return worker.RecordText().find(std::string(record::Tag(kind)) + value + "\n") != std::string::npos;
}

int FileMessagesFor(const TestPage& page, const std::string& target) {
  return static_cast<int>(std::count_if(page.seen.begin(), page.seen.end(),
                                        [&](const Seen& s) { return s.msg == WM_SETUP_FILE && s.target == target; }));
}

std::string LastLine(const std::string& text) {
  const std::size_t end = text.size() - (text.empty() ? 0 : 1);
  const std::size_t begin = text.rfind('\n', end == 0 ? 0 : end - 1);
  return text.substr(begin == std::string::npos ? 0 : begin + 1);
}

// Held targets are files in use: replaced at the next restart, and recorded.
// A medium file that cannot be read is skipped.
TEST(FaultInstall, LockedTargetsAreLeftToTheRestartAndLockedSourcesSkipped) {
  const std::string source = "E:\\locks\\", install = "C:\\locks\\";
  MakeMedium(source);
  ui::ClearPendingFileRenames();
  // An earlier installation whose files other programs hold open.
  const std::vector<std::string> lockedInFolders{"Support\\b.lsp", "Support\\sub\\c.dwg", "Data\\d.dat"};
  const std::vector<std::string> lockedAtTop{"Terrasum.exe", "Uninstall.exe"};
  std::vector<ScopedFile> holds;
  for (const auto& name : lockedInFolders) Put(install + name, "old " + name);
  for (const auto& name : lockedAtTop) Put(install + name, "old " + name);
  holds.push_back(HoldOpen(install + lockedInFolders[0]));
  holds.push_back(HoldOpen(install + lockedInFolders[1], FILE_SHARE_READ));
  holds.push_back(HoldOpen(install + lockedInFolders[2]));
  holds.push_back(HoldOpen(install + lockedAtTop[0], FILE_SHARE_READ));
  holds.push_back(HoldOpen(install + lockedAtTop[1]));
  // A medium file that cannot be read at all.
  holds.push_back(HoldOpen(source + "图框\\图框A.dwg"));
  for (const auto& h : holds) ASSERT_TRUE(h) << "a file held open";

  CSetupThread worker;
  TestPage page;
  PromptDriver driver({});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();
  holds.clear();

  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(driver.extra.empty()) << "the worker shows nothing";
  ASSERT_FALSE(page.seen.empty());
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE) << "the run goes on to the end";
  std::vector<std::string> putOff;
  for (const auto& name : lockedInFolders) {
    EXPECT_EQ(Slurp(install + name), "old " + name) << name << " kept until the restart";
    EXPECT_TRUE(Recorded(worker, record::kFileCopy, install + name)) << name << ": recorded as installed";
    EXPECT_EQ(FileMessagesFor(page, install + name), 1) << name << " reported once";
    putOff.push_back(install + name);
  }
  for (const auto& name : lockedAtTop) {
    EXPECT_EQ(Slurp(install + name), "old " + name) << name << " kept until the restart";
    EXPECT_TRUE(Recorded(worker, record::kFileCopy, install + name)) << name << ": recorded at top level";
    putOff.push_back(install + name);
  }
  EXPECT_EQ(worker.FilesPutOff().files, putOff);
  EXPECT_EQ(ui::PendingFileRenames().size(), 2 * putOff.size()) << "one replacement each";
  EXPECT_FALSE(Exists(install + "图框\\图框A.dwg")) << "an unreadable source is not copied";
  EXPECT_FALSE(Recorded(worker, record::kFileCopy, install + "图框\\图框A.dwg"));
  EXPECT_EQ(Slurp(install + "Support\\a.arx"), "arx") << "its neighbours are copied";
  EXPECT_EQ(Slurp(install + "readme.txt"), Slurp(source + "readme.txt"));
  EXPECT_EQ(Slurp(install + "Uninstall.log").find("File Copy: C:\\locks\\Support\\a.arx\r\n") != std::string::npos,
            true) << "the record was written";
}

// A file of the folder's name at three depths: the install folder itself, a
// distribution folder, a subfolder inside one. Cancel stops the run there.
TEST(FaultInstall, AFileWhereAFolderMustBeMadeStopsTheRunOnCancel) {
  const struct {
    const char* install;
    const char* blocked;  // relative to the drive's root
  } cases[] = {
      {"C:\\blocked1\\inst\\", "C:\\blocked1\\inst"},
      {"C:\\blocked2\\", "C:\\blocked2\\Controls"},
      {"C:\\blocked3\\", "C:\\blocked3\\Support\\sub"},
  };
  const std::string source = "E:\\blocked\\";
  MakeMedium(source);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.blocked);
    Put(c.blocked, "a file, not a folder");
    CSetupThread worker;
    TestPage page;
    PromptDriver driver(Steps{{IDRETRY, {}}, {IDCANCEL, {}}});
    const RunResult r = RunWorker(worker, page, source, c.install);
    driver.Stop();

    ASSERT_EQ(driver.boxes.size(), 2u) << "Retry with the file still there asks again";
    EXPECT_TRUE(driver.extra.empty());
    for (const Box& box : driver.boxes) EXPECT_EQ(box.text, FolderPrompt(ERROR_ALREADY_EXISTS, c.blocked));
    EXPECT_EQ(r.exitCode, 0u);
    ASSERT_FALSE(page.seen.empty());
    EXPECT_EQ(page.Kinds().back(), WM_SETUP_FAILED);
    EXPECT_EQ(page.Count(WM_SETUP_DONE), 0);
    EXPECT_EQ(Slurp(c.blocked), "a file, not a folder") << "the file is left alone";
    EXPECT_FALSE(Exists(std::string(c.install) + "Uninstall.log")) << "no record";
    EXPECT_FALSE(Exists(std::string(c.install) + "Uninstall.exe")) << "no top-level stage";
  }
}

// Each of the five distribution folders missing from the medium in turn,
// answered Ignore (its target is made empty and the run completes) and Abort
// (the run stops there: no later folder, no record).
TEST(FaultInstall, EachDistributionFolderMissingIgnoredOrAborted) {
  int index = 0;
  for (const std::string& missing : CSetupThread::Folders()) {
    for (const int answer : {IDIGNORE, IDABORT}) {
      SCOPED_TRACE(missing + (answer == IDIGNORE ? " ignored" : " aborted"));
      const std::string tag = std::to_string(index++);
      const std::string source = "E:\\miss" + tag + "\\", install = "C:\\miss" + tag + "\\";
      MakeMedium(source);
      Put(source + "Controls\\more\\x.ocx", "x");
      // Empty the folder and remove it.
      WIN32_FIND_DATAA fd;
      std::vector<std::string> stack{source + missing};
      std::vector<std::string> folders;
      while (!stack.empty()) {
        const std::string folder = stack.back();
        stack.pop_back();
        folders.push_back(folder);
        HANDLE h = ::FindFirstFileA((folder + "\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) continue;
        do {
          const std::string name = fd.cFileName;
          if (name == "." || name == "..") continue;
          if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) stack.push_back(folder + "\\" + name);
          else {
            ::SetFileAttributesA((folder + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA((folder + "\\" + name).c_str());
          }
        } while (::FindNextFileA(h, &fd));
        ::FindClose(h);
      }
      for (auto it = folders.rbegin(); it != folders.rend(); ++it) ::RemoveDirectoryA(it->c_str());
      ASSERT_FALSE(Exists(source + missing));

      CSetupThread worker;
      TestPage page;
      PromptDriver driver(Steps{{answer, {}}});
      const RunResult r = RunWorker(worker, page, source, install);
      driver.Stop();

      ASSERT_EQ(driver.boxes.size(), 1u);
      EXPECT_TRUE(driver.extra.empty());
      EXPECT_EQ(driver.boxes[0].text, MissingSourcePrompt(ERROR_PATH_NOT_FOUND, source + missing + "\\"));
      EXPECT_EQ(r.exitCode, 0u);
      ASSERT_FALSE(page.seen.empty());
      if (answer == IDIGNORE) {
        EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE);
        EXPECT_TRUE(IsFolder(install + missing)) << "made empty";
        EXPECT_TRUE(Recorded(worker, record::kMadeDir, install + missing));
        const std::string onDisk = Slurp(install + "Uninstall.log");
        EXPECT_NE(onDisk.find("Made Dir: " + install + missing + "\r\n"), std::string::npos);
        EXPECT_EQ(LastLine(worker.RecordText()), "File Copy: " + install + "Uninstall.log\n");
        for (const std::string& other : CSetupThread::Folders())
          EXPECT_TRUE(IsFolder(install + other)) << other;
      } else {
        EXPECT_EQ(page.Kinds().back(), WM_SETUP_FAILED);
        EXPECT_FALSE(Exists(install + missing)) << "Abort comes before the folder is made";
        EXPECT_FALSE(Exists(install + "Uninstall.log"));
        EXPECT_FALSE(Exists(install + "Uninstall.exe"));
        bool later = false;
        for (const std::string& other : CSetupThread::Folders()) {
          if (other == missing) later = true;
          else if (later) EXPECT_FALSE(Exists(install + other)) << other << " comes after the stop";
          else EXPECT_TRUE(IsFolder(install + other)) << other << " was copied before";
        }
      }
    }
  }
}

}  // namespace
