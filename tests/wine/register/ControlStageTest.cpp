// The control stage: every "*.ocx" of the installed Controls folder is loaded
// and asked to register itself; each is recorded whatever it answered, and
// none stays loaded.
#include <gtest/gtest.h>

#include "install/SetupThread.h"
#include "tests/wine/install/InstallHarness.h"
#include "tests/wine/register/RegisterHarness.h"

namespace {

using namespace registertest;

// A blank and Chinese in the install folder, as users choose them.
const std::string kInstall = "C:\\注册 测试\\";
const std::string kControls = kInstall + "Controls\\";

class ControlStage : public ::testing::Test {
 protected:
  void SetUp() override { CleanControlClasses(); }
  void TearDown() override { CleanControlClasses(); }

  // The four kinds of control file the stage can meet, a plain file and a
  // folder that merely look like controls.
  static void LayOutControls() {
    ASSERT_TRUE(CopyBuilt("TerrasumGrid.ocx", kControls + "TerrasumGrid.ocx"));
    ASSERT_TRUE(CopyBuilt("FailingControl.ocx", kControls + "FailingControl.ocx"));
    ASSERT_TRUE(CopyBuilt("NoRegistrar.dll", kControls + "NoRegistrar.ocx"));
    installtest::Put(kControls + "Text.ocx", "not a library");
    installtest::Put(kControls + "readme.txt", "not a control");
    installtest::MakeFolders(kControls + "Folder.ocx");
  }
};

std::string GridClass() { return std::string("CLSID\\") + medium::kGridControl.clsid; }

TEST_F(ControlStage, RegistersWhatCanRegisterAndRecordsEveryControl) {
  LayOutControls();
  CSetupThread worker;
  worker.m_installFolder = kInstall;
  worker.RegisterControls();

  const std::string server = ClassValue(GridClass() + "\\InprocServer32");
  EXPECT_EQ(lstrcmpiA(server.c_str(), (kControls + "TerrasumGrid.ocx").c_str()), 0)
      << "the grid's server is the installed file, saw " << server;
  EXPECT_EQ(ClassValue(medium::kGridControl.progId + std::string("\\CLSID")), medium::kGridControl.clsid);
  EXPECT_EQ(ClassValue(std::string("CLSID\\") + medium::kFailingControl.clsid), "<missing>")
      << "the failing control registers nothing";

  std::string expected;
  for (const std::string& name : Enumerate(kControls, "*.ocx")) expected += "Reg Ctrl: " + kControls + name + "\n";
  EXPECT_EQ(Enumerate(kControls, "*.ocx").size(), 4u) << "four control files, the folder not among them";
  EXPECT_EQ(worker.RecordText(), expected) << "every control file recorded, in enumeration order";

  for (const char* name : {"TerrasumGrid.ocx", "FailingControl.ocx", "NoRegistrar.ocx"})
    EXPECT_EQ(::GetModuleHandleA((kControls + name).c_str()), nullptr) << name << " unloaded after the stage";
}

TEST_F(ControlStage, OnlyAZeroStatusCountsAsRegistered) {
  LayOutControls();
  CSetupThread worker;
  EXPECT_TRUE(worker.RegisterControl(kControls + "TerrasumGrid.ocx"));
  EXPECT_FALSE(worker.RegisterControl(kControls + "FailingControl.ocx")) << "S_FALSE is a failure";
  EXPECT_FALSE(worker.RegisterControl(kControls + "NoRegistrar.ocx")) << "no DllRegisterServer export";
  EXPECT_FALSE(worker.RegisterControl(kControls + "Text.ocx")) << "cannot be loaded";
  EXPECT_FALSE(worker.RegisterControl(kControls + "Absent.ocx")) << "no such file";
  EXPECT_EQ(worker.RecordText(), "") << "RegisterControl records nothing itself";
  EXPECT_EQ(::GetModuleHandleA((kControls + "NoRegistrar.ocx").c_str()), nullptr)
      << "a library without the export is freed too";
}

TEST_F(ControlStage, NoControlsNoEntries) {
  installtest::Put("C:\\no controls\\Controls\\Grid.dll", "x");
  CSetupThread worker;
  worker.m_installFolder = "C:\\no controls\\";
  worker.RegisterControls();
  EXPECT_EQ(worker.RecordText(), "") << "nothing matches *.ocx";
  worker.m_installFolder = "C:\\never made\\";
  worker.RegisterControls();
  EXPECT_EQ(worker.RecordText(), "") << "no Controls folder at all";
}

}  // namespace
