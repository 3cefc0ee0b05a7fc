// Failures that do not stop the run, and the cancel flag: files that cannot
// be copied, a cancel during a large copy and after the folder stage, and an
// install record that cannot be written.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/Handles.h"
#include "framework/StdioFile.h"
#include "tests/wine/install/InstallHarness.h"

namespace {

using namespace installtest;

// Holds a file open without sharing, so that a copy onto it fails.
ScopedFile HoldOpen(const std::string& path) {
  return ScopedFile(
      ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

ScopedFile HoldOpenForReading(const std::string& path) {
  return ScopedFile(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

// The sources are held: a held target is a file in use, replaced at the
// restart (InstallInUseTest.cpp).
TEST(InstallFailure, UncopiableFilesAreSkippedInFoldersAndRecordedAtTopLevel) {
  const std::string source = "E:\\locked\\", install = "C:\\locked\\";
  MakeMedium(source);
  Put(install + "Data\\d.dat", "old");
  Put(install + "Terrasum.exe", "old exe");
  ScopedFile data = HoldOpen(source + "Data\\d.dat");
  ScopedFile exe = HoldOpen(source + "Terrasum.exe");
  ASSERT_TRUE(data && exe) << "sources held open";
  CSetupThread worker;
  TestPage page;
  PromptDriver driver({});
  RunWorker(worker, page, source, install);
  driver.Stop();
  data.reset();
  exe.reset();

  EXPECT_TRUE(driver.extra.empty()) << "a failed copy shows nothing";
  int dataMessages = 0;
  for (const Seen& s : page.seen) dataMessages += s.target == install + "Data\\d.dat";
  EXPECT_EQ(dataMessages, 1) << "the failed file still has its WM_SETUP_FILE";
  EXPECT_EQ(Slurp(install + "Data\\d.dat"), "old") << "not copied";
  EXPECT_EQ(Slurp(install + "Terrasum.exe"), "old exe") << "not copied";
  const std::string& text = worker.RecordText();
  EXPECT_EQ(text.find("File Copy: C:\\locked\\Data\\d.dat\n"), std::string::npos) << "folder stage: not recorded";
  EXPECT_NE(text.find("File Copy: C:\\locked\\Terrasum.exe\n"), std::string::npos) << "top level: recorded";
  EXPECT_NE(text.find("Made Dir: C:\\locked\\Data\n"), std::string::npos);
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE) << "the run goes on";
}

// Read-only and hidden targets are opened up for the copy; where the copy
// fails all the same, they keep what they had.
TEST(InstallFailure, ProtectedTargetsThatCannotBeCopiedOverKeepTheirAttributes) {
  const std::string source = "E:\\kept\\", install = "C:\\kept\\";
  MakeMedium(source);
  const DWORD protectedFile = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  Put(install + "Data\\d.dat", "old");
  Put(install + "Terrasum.exe", "old exe");
  ::SetFileAttributesA((install + "Data\\d.dat").c_str(), protectedFile);
  ::SetFileAttributesA((install + "Terrasum.exe").c_str(), protectedFile);
  // The sources held, so that the copies fail with the targets opened up.
  ScopedFile data = HoldOpenForReading(source + "Data\\d.dat");
  ScopedFile exe = HoldOpenForReading(source + "Terrasum.exe");
  ASSERT_TRUE(data && exe) << "sources held open";
  CSetupThread worker;
  TestPage page;
  PromptDriver driver({});
  RunWorker(worker, page, source, install);
  driver.Stop();
  data.reset();
  exe.reset();

  EXPECT_EQ(Slurp(install + "Data\\d.dat"), "old") << "not copied";
  EXPECT_EQ(Slurp(install + "Terrasum.exe"), "old exe") << "not copied";
  EXPECT_EQ(Attributes(install + "Data\\d.dat"), protectedFile);
  EXPECT_EQ(Attributes(install + "Terrasum.exe"), protectedFile);
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE) << "the run goes on";
  EXPECT_FALSE(worker.RestartNeeded()) << "no file in use";
}

TEST(InstallFailure, CancelDuringALargeCopyStopsAfterThatFile) {
  const std::string source = "E:\\cancel\\", install = "C:\\cancel\\";
  Put(source + "Support\\big.bin", std::string(16 << 20, 'b'));
  Put(source + "Controls\\b.ocx", "ocx");
  Put(source + "Uninstall.exe", "MZ");
  CSetupThread worker;
  TestPage page;
  PromptDriver driver({});
  // The page's thread serves no message until the cancel is raised, so the
  // worker cannot pass its check after the big file before that.
  const RunResult r = RunWorker(worker, page, source, install, [&] {
    EXPECT_TRUE(ui::WaitUntil([&] { return Exists(install + "Support\\big.bin"); })) << "copy started";
    worker.RequestCancel();
  });
  driver.Stop();

  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(page.Kinds(), (std::vector<UINT>{WM_SETUP_FILE, WM_SETUP_FAILED}));
  EXPECT_EQ(Slurp(install + "Support\\big.bin").size(), std::size_t{16 << 20}) << "that file is finished";
  EXPECT_FALSE(Exists(install + "Controls")) << "no further folder";
  EXPECT_FALSE(Exists(install + "Uninstall.exe")) << "no top-level stage";
  EXPECT_FALSE(Exists(install + "Uninstall.log")) << "no record";
  EXPECT_TRUE(driver.extra.empty());
}

TEST(InstallFailure, CancelAfterTheLastEntryCheckLetsTheRunComplete) {
  // Temp is missing: while its prompt is open the cancel is raised; Ignore
  // then ends the folder stage without another entry, and the later stages
  // do not look at the flag.
  const std::string source = "E:\\late\\", install = "C:\\late\\";
  MakeMedium(source);
  ::RemoveDirectoryA((source + "Temp").c_str());
  CSetupThread worker;
  TestPage page;
  PromptDriver driver(Steps{{IDIGNORE, [&] { worker.RequestCancel(); }}});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  ASSERT_EQ(driver.boxes.size(), 1u);
  EXPECT_TRUE(worker.IsCancelled());
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE);
  EXPECT_EQ(page.Count(WM_SETUP_FINISHING), 1);
  EXPECT_TRUE(Exists(install + "Uninstall.exe")) << "top-level stage ran";
  EXPECT_TRUE(Exists(install + "Uninstall.log")) << "record written";
  EXPECT_NE(worker.RecordText().find("Made Dir: C:\\late\\Temp\n"), std::string::npos);
}

TEST(InstallFailure, UnwritableRecordIsReportedAndTheRunEndsNormally) {
  const std::string source = "E:\\norec\\", install = "C:\\norec\\";
  MakeMedium(source);
  const std::string path = install + "Uninstall.log";
  MakeFolders(path);  // a folder of that name: neither deleted nor opened as a file
  CSetupThread worker;
  TestPage page;
  // The cancel raised at this last stage changes nothing either.
  PromptDriver driver(Steps{{IDOK, [&] { worker.RequestCancel(); }}});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  ASSERT_EQ(driver.boxes.size(), 1u) << "the file-error box";
  EXPECT_TRUE(driver.extra.empty());
  const Box& box = driver.boxes[0];
  EXPECT_EQ(box.text, CFileException(ERROR_ACCESS_DENIED, path).ErrorText());
  EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
  EXPECT_EQ(box.caption, AppName());
  EXPECT_EQ(box.owner, page.m_hWnd) << "owned by the page";
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(page.Kinds().end()[-2], WM_SETUP_FINISHING);
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE);
  EXPECT_TRUE(IsFolder(path)) << "the folder is left alone";
  EXPECT_FALSE(Exists(install + "Uninstall.~0")) << "no new record left beside it";
  const std::string last = "File Copy: C:\\norec\\Uninstall.log\n";
  const std::string& text = worker.RecordText();
  EXPECT_EQ(text.substr(text.size() - std::min(text.size(), last.size())), last)
      << "the record still named itself";
}

}  // namespace
