// Complete worker runs on a seeded machine: two AutoCAD releases, per-user
// shell folders, the sample controls on the medium. The record's lines, in
// order, are those of every stage, exactly; a Cancel in the group folder's
// prompt ends only the shortcut stage, and the record is still written.
#include <gtest/gtest.h>

#include "install/InstallPath.h"

#include "tests/wine/install/InstallHarness.h"
#include "tests/wine/register/RegisterHarness.h"

namespace {

using namespace registertest;
using installtest::CrLf;
using installtest::Slurp;

// Each run has a machine of its own: its install folder and its user's folders.
class RegisterRun : public regtest::CleanRegistryTest {
 protected:
  explicit RegisterRun(const std::string& user)
      : install_("C:\\Program Files\\" + user + "\\Kelvarin\\Terrasum\\"),
        desktop_("C:\\users\\" + user + "\\Desktop"),
        programs_("C:\\users\\" + user + "\\Start Menu\\Programs"),
        group_(programs_ + "\\" + kGroupName) {}
  void SetUp() override {
    regtest::CleanRegistryTest::SetUp();
    CleanProductKeys();
    CleanControlClasses();
    installtest::MakeFolders(desktop_);
    ShellFoldersScope::SeedUser(kShellFoldersW, desktop_, programs_);
    SeedRelease(R16_0, "C:\\Program Files\\AutoCAD 2004\\");
    SeedRelease(R17_1, "C:\\Program Files\\AutoCAD 2008\\");
  }
  void TearDown() override {
    CleanControlClasses();
    CleanProductKeys();
    regtest::CleanRegistryTest::TearDown();
  }
  // The sample medium with the real controls beside its unloadable one.
  static void MakeMedium(const std::string& source) {
    installtest::MakeMedium(source);
    ASSERT_TRUE(CopyBuilt("TerrasumGrid.ocx", source + "Controls\\TerrasumGrid.ocx"));
    ASSERT_TRUE(CopyBuilt("FailingControl.ocx", source + "Controls\\FailingControl.ocx"));
  }
  // The record of a complete run up to the registry stage.
  std::string FilesControlsAndKeys(const std::string& source) const;

  const std::string install_, desktop_, programs_, group_;
  ShellFoldersScope shellFolders_;
};

class CompleteRun : public RegisterRun {
 protected:
  CompleteRun() : RegisterRun("complete") {}
};
class CancelledGroup : public RegisterRun {
 protected:
  CancelledGroup() : RegisterRun("cancel") {}
};

std::string RegisterRun::FilesControlsAndKeys(const std::string& source) const {
  std::string text;
  for (const std::string& name : CSetupThread::Folders())
    text += installtest::ExpectedFolderRecord(source + name, install_ + name);
  text += installtest::ExpectedTopRecord(source, install_);
  for (const std::string& name : Enumerate(install_ + "Controls\\", "*.ocx"))
    text += "Reg Ctrl: " + install_ + "Controls\\" + name + "\n";
  return text + "RegDB Key: 2,SOFTWARE\\Kelvarin\\Terrasum\\V8\n" +
         "RegDB Key: 2,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Terrasum V8\n";
}

TEST_F(CompleteRun, RecordsEveryStageInOrder) {
  const std::string source = "E:\\medium\\";
  MakeMedium(source);
  CSetupThread worker;
  installtest::TestPage page;
  installtest::PromptDriver driver({});
  const installtest::RunResult r = installtest::RunWorker(worker, page, source, install_);
  driver.Stop();
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(driver.extra.empty()) << "no prompt; first: " << (driver.extra.empty() ? "" : driver.extra[0].text);
  ASSERT_FALSE(page.seen.empty());
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE);

  const std::string expected = FilesControlsAndKeys(source) +          //
                               "Made Dir: " + group_ + "\n" +                 //
                               "File Copy: " + desktop_ + "\\Terrasum V8.0.LNK\n" +  //
                               "File Copy: " + group_ + "\\Terrasum V8.0.LNK\n" +    //
                               "File Copy: " + install_ + "Terrasumfor2004.LNK\n" +  //
                               "File Copy: " + install_ + "Terrasumfor2008.LNK\n" +  //
                               "File Copy: " + group_ + "\\官方网站.LNK\n" +          //
                               "File Copy: " + group_ + "\\Terrasum V8.0 卸载程序.LNK\n" +  //
                               "File Copy: " + group_ + "\n" +                        //
                               "File Copy: " + install_ + "Uninstall.log\n";
  EXPECT_EQ(Lines(worker.RecordText()), Lines(expected));
  EXPECT_EQ(Slurp(install_ + "Uninstall.log"), CrLf(expected)) << "the record on disk";
  EXPECT_EQ(Enumerate(install_ + "Controls\\", "*.ocx").size(), 3u) << "grid, failing twin, unloadable file";

  // What the entries stand for is there: the control, the keys, the links.
  const std::string server = ClassValue(std::string("CLSID\\") + medium::kGridControl.clsid + "\\InprocServer32");
  EXPECT_EQ(lstrcmpiA(server.c_str(), (install_ + "Controls\\TerrasumGrid.ocx").c_str()), 0) << server;
  EXPECT_EQ(regtest::ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
            std::optional<std::string>(installpath::CommandLineOf(install_ + "Uninstall.exe")));
  EXPECT_EQ(ProductKeysWithProfile(R16_0), std::vector<std::string>{SeededProductKey(R16_0)});
  EXPECT_EQ(ProductKeysWithProfile(R17_1), std::vector<std::string>{SeededProductKey(R17_1)});
  const Link launch = ReadLink(install_ + "Terrasumfor2008.LNK");
  ASSERT_TRUE(launch.loaded) << "made on the worker thread";
  EXPECT_EQ(lstrcmpiA(launch.path.c_str(), "C:\\Program Files\\AutoCAD 2008\\acad.exe"), 0) << launch.path;
  EXPECT_EQ(launch.arguments, kLaunchArguments);
  EXPECT_EQ(launch.workingFolder, install_);
  EXPECT_EQ(launch.iconPath, install_ + "TerrasumV8.0.ICO");
}

TEST_F(CancelledGroup, ShortcutStageEndsAndTheRecordIsStillWritten) {
  const std::string source = "E:\\cancel\\";
  MakeMedium(source);
  installtest::Put(group_, "a file where the group folder belongs");
  CSetupThread worker;
  installtest::TestPage page;
  installtest::PromptDriver driver(installtest::Steps{{IDCANCEL}});
  const installtest::RunResult r = installtest::RunWorker(worker, page, source, install_);
  driver.Stop();
  EXPECT_EQ(r.exitCode, 0u);
  ASSERT_EQ(driver.boxes.size(), 1u) << "the group folder's prompt";
  EXPECT_EQ(driver.boxes[0].text, installtest::FolderPrompt(ERROR_ALREADY_EXISTS, group_));
  EXPECT_TRUE(driver.extra.empty());
  ASSERT_GE(page.seen.size(), 2u);
  EXPECT_EQ(page.Kinds()[page.seen.size() - 2], WM_SETUP_FINISHING);
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE) << "the installation ends normally";

  const std::string expected =
      FilesControlsAndKeys(source) + "Made Dir: " + group_ + "\n" + "File Copy: " + install_ + "Uninstall.log\n";
  EXPECT_EQ(Lines(worker.RecordText()), Lines(expected)) << "no shortcut entry after Cancel";
  EXPECT_EQ(Slurp(install_ + "Uninstall.log"), CrLf(expected)) << "written, so the installation can be removed";
  EXPECT_EQ(Enumerate(install_, "*.LNK"), std::vector<std::string>{}) << "no launch shortcut";
}

}  // namespace
