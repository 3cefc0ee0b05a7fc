// The install folder on a drive that is read-only, that is full before the
// run, and that fills up during it: small file systems mounted by
// drive-test.sh and reached through drive Y:. No run hangs or crashes; each
// says why in its prompt or file-error box; what the record lists is there.
#include <gtest/gtest.h>

#include <cstdlib>

#include "framework/StdioFile.h"
#include "framework/SystemError.h"
#include "install/InstallRecord.h"
#include "tests/wine/install/InstallHarness.h"

namespace {

using namespace installtest;

// "Y:\faults-drives.N\" or empty when the script could not mount.
std::string Drives() {
  const char* name = std::getenv("TS_FAULT_DRIVES");
  return name && *name ? ui::BuildDir() + name + "\\" : std::string();
}

// Every file the folder stage recorded is there, in full. (The top-level
// stage records its files whether or not their copy succeeded.)
void ExpectRecordTrue(const CSetupThread& worker, const std::string& source, const std::string& install) {
  std::size_t position = 0, start = 0, len = 0;
  while (record::NextEntry(worker.RecordText(), record::kFileCopy, position, start, len)) {
    const std::string path = worker.RecordText().substr(start, len);
    if (path.find('\\', install.size()) == std::string::npos) continue;  // a top-level file
    EXPECT_TRUE(Exists(path)) << path;
    if (path.compare(0, install.size(), install) == 0 && Exists(source + path.substr(install.size())))
      EXPECT_EQ(Slurp(path), Slurp(source + path.substr(install.size()))) << path << " whole";
  }
}

TEST(FaultDrive, AReadOnlyDriveStopsTheRunAtTheFolderPrompt) {
  if (Drives().empty()) GTEST_SKIP() << "no mounted file systems (needs root)";
  const std::string source = "E:\\ro\\", install = Drives() + "ro\\Terrasum\\";
  MakeMedium(source);
  CSetupThread worker;
  TestPage page;
  PromptDriver driver(Steps{{IDRETRY, {}}, {IDCANCEL, {}}});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  EXPECT_EQ(r.exitCode, 0u);
  ASSERT_EQ(driver.boxes.size(), 2u) << "Retry asks again";
  EXPECT_TRUE(driver.extra.empty());
  const std::string folder = install.substr(0, install.size() - 1);
  for (const Box& box : driver.boxes) {
    EXPECT_NE(box.text.find("不能创建文件夹 " + folder + " ，"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find('\n'), 0u) << "the system's reason comes first";
  }
  EXPECT_EQ(page.Kinds(), std::vector<UINT>{WM_SETUP_FAILED});
  EXPECT_FALSE(Exists(install));
}

TEST(FaultDrive, ADriveFullBeforeTheRunEndsItWithTheRecordsErrorBox) {
  if (Drives().empty()) GTEST_SKIP() << "no mounted file systems (needs root)";
  const std::string source = "E:\\full\\", install = Drives() + "full\\before\\";
  MakeMedium(source);
  // Fill the file system to the last byte.
  const std::string filler = Drives() + "full\\filler.bin";
  {
    HANDLE h = ::CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const std::string block(4096, 'f');
    DWORD written = 0;
    while (::WriteFile(h, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) && written == block.size()) {
    }
    for (DWORD one = 1; one == 1;) ::WriteFile(h, "f", 1, &one, nullptr) ? void() : void(one = 0);
    ::CloseHandle(h);
  }
  CSetupThread worker;
  TestPage page;
  PromptDriver driver(Steps{{IDOK, {}}});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(driver.extra.empty());
  ASSERT_FALSE(page.seen.empty());
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE) << "a full drive stops no stage";
  ASSERT_EQ(driver.boxes.size(), 1u) << "the record's file error";
  EXPECT_NE(driver.boxes[0].text.find(install + "Uninstall.log"), std::string::npos) << driver.boxes[0].text;
  EXPECT_FALSE(Exists(install + "Uninstall.log")) << "no torn record";
  ExpectRecordTrue(worker, source, install);
  ::DeleteFileA(filler.c_str());
}

TEST(FaultDrive, ADriveFillingDuringTheCopySkipsWhatDoesNotFit) {
  if (Drives().empty()) GTEST_SKIP() << "no mounted file systems (needs root)";
  const std::string source = "E:\\fills\\", install = Drives() + "full\\during\\";
  MakeMedium(source);
  Put(source + "Data\\big.dat", std::string(2 << 20, 'b'));  // twice the file system
  CSetupThread worker;
  TestPage page;
  PromptDriver driver(Steps{{IDOK, {}}});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(driver.extra.empty());
  ASSERT_FALSE(page.seen.empty());
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE);
  EXPECT_EQ(worker.RecordText().find("big.dat"), std::string::npos) << "the file that did not fit is not recorded";
  const bool torn = Exists(install + "Data\\big.dat");
  EXPECT_FALSE(torn) << "a partly written copy is not left behind unrecorded";
  EXPECT_EQ(Slurp(install + "Support\\a.arx"), "arx") << "the files before it fit";
  EXPECT_TRUE(Exists(install + "Uninstall.log")) << "the record fits in the space the torn file would have taken";
  ExpectRecordTrue(worker, source, install);
  std::printf("drive filling: record %s, %u boxes\n", Exists(install + "Uninstall.log") ? "written" : "not written",
              static_cast<unsigned>(driver.boxes.size()));
}

}  // namespace
