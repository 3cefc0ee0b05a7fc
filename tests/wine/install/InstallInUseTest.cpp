// Files a running program holds at a reinstallation, replaced at the next
// restart; and the install record, written beside the old one and moved over
// it, so that a failed write leaves the earlier record whole and no reader
// ever finds it empty or torn.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "framework/Handles.h"
#include "framework/StdioFile.h"
#include "tests/wine/install/InstallHarness.h"

namespace {

using namespace installtest;

ScopedFile HoldWithoutSharing(const std::string& path) {
  return ScopedFile(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

// Files of a folder (not below) whose names start with prefix.
std::vector<std::string> FilesStartingWith(const std::string& folder, const std::string& prefix) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + prefix + "*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do names.push_back(data.cFileName);
  while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return names;
}

// Runs Wine's restart, which carries out PendingFileRenameOperations.
void Restart() {
  ui::Process boot;
  ASSERT_TRUE(boot.Start("wineboot.exe -r", "C:\\"));
  EXPECT_EQ(boot.Wait(120000), 0u);
}

TEST(InstallInUse, HeldTargetsAreReplacedAtTheRestartAndRecorded) {
  const std::string source = "E:\\held\\", install = "C:\\held\\";
  MakeMedium(source);
  ui::ClearPendingFileRenames();
  Put(install + "Data\\d.dat", "old");
  Put(install + "Terrasum.exe", "old exe");
  ::SetFileAttributesA((install + "Terrasum.exe").c_str(), FILE_ATTRIBUTE_READONLY);
  ScopedFile data = HoldWithoutSharing(install + "Data\\d.dat");
  ScopedFile exe = HoldWithoutSharing(install + "Terrasum.exe");
  ASSERT_TRUE(data && exe) << "targets held open";
  CSetupThread worker;
  TestPage page;
  PromptDriver driver({});
  RunWorker(worker, page, source, install);
  driver.Stop();
  EXPECT_TRUE(driver.extra.empty()) << "the worker itself shows nothing: " << driver.extra.front().text;
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE);

  const std::vector<std::string> held{install + "Data\\d.dat", install + "Terrasum.exe"};
  EXPECT_TRUE(worker.RestartNeeded());
  EXPECT_EQ(worker.FilesPutOff().files, held);
  EXPECT_TRUE(worker.FilesPutOff().programs.empty()) << "Wine's Restart Manager names no program";
  const std::vector<std::string> pending = ui::PendingFileRenames();
  ASSERT_EQ(pending.size(), 4u);
  const std::string& text = worker.RecordText();
  for (std::size_t i = 0; i < held.size(); ++i) {
    const std::string copy = pending[2 * i].substr(4);  // "\??\" off
    EXPECT_EQ(pending[2 * i + 1], "!\\??\\" + held[i]) << "moved over the held file";
    EXPECT_EQ(copy.rfind(held[i].substr(0, held[i].rfind('\\') + 1), 0), 0u) << "beside it: " << copy;
    EXPECT_NE(text.find("File Copy: " + held[i] + "\nFile Copy: " + copy + "\n"), std::string::npos)
        << "the held file and its waiting copy recorded:\n" << text;
  }
  const std::string dataCopy = pending[0].substr(4), exeCopy = pending[2].substr(4);
  EXPECT_EQ(Slurp(dataCopy), Slurp(source + "Data\\d.dat"));
  EXPECT_EQ(Attributes(dataCopy), 0u) << "plain, as folder copies are made";
  EXPECT_EQ(Attributes(install + "Terrasum.exe") & FILE_ATTRIBUTE_READONLY, 0u)
      << "a read-only target would refuse the move at the restart";

  data.reset();
  exe.reset();
  EXPECT_EQ(Slurp(install + "Data\\d.dat"), "old") << "nothing replaced before the restart";
  Restart();
  EXPECT_EQ(Slurp(install + "Data\\d.dat"), Slurp(source + "Data\\d.dat")) << "the new file after the restart";
  EXPECT_EQ(Slurp(install + "Terrasum.exe"), Slurp(source + "Terrasum.exe"));
  EXPECT_FALSE(Exists(dataCopy) || Exists(exeCopy)) << "the waiting copies were moved";
}

// A copy that fails for another reason than a held target is skipped as
// before: here a folder stands where the file should go.
TEST(InstallInUse, OtherCopyFailuresLeaveNothingForTheRestart) {
  const std::string source = "E:\\other\\", install = "C:\\other\\";
  MakeMedium(source);
  ui::ClearPendingFileRenames();
  MakeFolders(install + "Data\\d.dat");
  MakeFolders(install + "Terrasum.exe");
  CSetupThread worker;
  TestPage page;
  PromptDriver driver({});
  RunWorker(worker, page, source, install);
  driver.Stop();

  EXPECT_FALSE(worker.RestartNeeded());
  EXPECT_TRUE(ui::PendingFileRenames().empty());
  EXPECT_TRUE(IsFolder(install + "Data\\d.dat"));
  EXPECT_TRUE(FilesStartingWith(install + "Data\\", "~ts").empty()) << "no copy left beside it";
  EXPECT_TRUE(FilesStartingWith(install, "~ts").empty());
  EXPECT_EQ(worker.RecordText().find("File Copy: C:\\other\\Data\\d.dat\n"), std::string::npos)
      << "folder stage: not recorded";
  EXPECT_NE(worker.RecordText().find("File Copy: C:\\other\\Terrasum.exe\n"), std::string::npos)
      << "top level: recorded all the same";
}

// The earlier record, held open without sharing (or a folder in its place)
// when the new one is to replace it: it stays byte for byte, the file error
// is shown, and no new file is left beside it.
TEST(InstallInUse, ARecordThatCannotReplaceTheEarlierOneLeavesItWhole) {
  const std::string install = "C:\\keep\\", path = install + "Uninstall.log";
  const std::string earlier = "Made Dir: C:\\keep\\Support\r\nFile Copy: C:\\keep\\Uninstall.log\r\n";
  MakeFolders(install);
  Put(path, earlier);
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  ScopedFile held = HoldWithoutSharing(path);
  ASSERT_TRUE(held);
  CSetupThread worker;
  TestPage page;
  worker.m_installFolder = install;
  worker.m_pMainWnd = &page;
  worker.RecordFolder("C:\\keep\\Data");
  PromptDriver driver(Steps{{IDOK}});
  EXPECT_FALSE(worker.WriteRecord());
  driver.Stop();
  held.reset();

  ASSERT_EQ(driver.boxes.size(), 1u) << "the file-error box";
  const Box& box = driver.boxes[0];
  EXPECT_EQ(box.text.rfind("访问文件 " + path + " 时出错:\n", 0), 0u) << "names the record: " << box.text;
  EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
  EXPECT_EQ(box.owner, page.m_hWnd);
  EXPECT_EQ(Slurp(path), earlier) << "the earlier record byte for byte";
  EXPECT_EQ(Attributes(path), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(FilesStartingWith(install, "Uninstall."), std::vector<std::string>{"Uninstall.log"})
      << "no new record left beside it";
}

TEST(InstallInUse, ARecordReplacesAHiddenReadOnlyOneWhole) {
  const std::string install = "C:\\ro\\", path = install + "Uninstall.log";
  MakeFolders(install);
  Put(path, "File Copy: C:\\ro\\old\r\n");
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  CSetupThread worker;
  worker.m_installFolder = install;
  worker.RecordFile("C:\\ro\\Terrasum.exe");
  ASSERT_TRUE(worker.WriteRecord());
  EXPECT_EQ(Slurp(path), CrLf(worker.RecordText()));
  EXPECT_EQ(Attributes(path), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN)) << "hidden alone";
  EXPECT_EQ(FilesStartingWith(install, "Uninstall."), std::vector<std::string>{"Uninstall.log"});
}

// A reader that opens the record while a large one is being written finds
// either the whole earlier record or the whole new one.
TEST(InstallInUse, ARecordIsNeverFoundEmptyOrTorn) {
  const std::string install = "C:\\whole\\", path = install + "Uninstall.log";
  MakeFolders(install);
  const std::string earlier = "File Copy: C:\\whole\\earlier\r\n";
  Put(path, earlier);
  CSetupThread worker;
  worker.m_installFolder = install;
  for (int i = 0; i < 40000; ++i) worker.RecordFile("C:\\whole\\图框\\子目录\\文件" + std::to_string(i) + ".dwg");
  const std::string later = CrLf(worker.RecordText() + "File Copy: " + path + "\n");
  std::atomic<bool> done{false};
  std::vector<std::string> seen;
  std::thread reader([&] {
    while (!done) {
      // Shared for deletion too, as the system's own readers open files, so
      // that the reader does not stand in the way of the move.
      ScopedFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
      if (!file) {
        seen.push_back("<no file>");
        continue;
      }
      std::string bytes(later.size() + 1, '\0');
      DWORD got = 0, total = 0;
      while (::ReadFile(file.get(), &bytes[total], static_cast<DWORD>(bytes.size() - total), &got, nullptr) && got)
        total += got;
      bytes.resize(total);
      if (bytes != earlier && bytes != later) seen.push_back("<" + std::to_string(total) + " bytes>");
      file.reset();
      // Windows moves nothing over a file that is open: a reader such as a
      // virus scanner lets go of it now and then.
      ::Sleep(1);
    }
  });
  const bool written = worker.WriteRecord();
  done = true;
  reader.join();
  EXPECT_TRUE(written);
  EXPECT_TRUE(seen.empty()) << "found " << seen.size() << " times otherwise, first " << seen.front();
  EXPECT_TRUE(Slurp(path) == later) << "the new record in full";
}

}  // namespace
