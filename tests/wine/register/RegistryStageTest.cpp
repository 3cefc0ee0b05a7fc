// The registry stage: the product key and the Add/Remove Programs entry with
// their exact values, both recorded, and the AutoCAD profile made in exactly
// the releases that are installed.
#include <gtest/gtest.h>

#include "acad/AcadText.h"
#include "install/SetupThread.h"
#include "tests/wine/register/RegisterHarness.h"

namespace {

using namespace registertest;
using Text = std::optional<std::string>;
using Names = std::vector<std::string>;

const HKEY LM = HKEY_LOCAL_MACHINE;

class RegistryStage : public regtest::CleanRegistryTest {
 protected:
  void SetUp() override {
    regtest::CleanRegistryTest::SetUp();
    CleanProductKeys();
  }
  void TearDown() override {
    CleanProductKeys();
    regtest::CleanRegistryTest::TearDown();
  }
  static std::string Run(const std::string& installFolder) {
    CSetupThread worker;
    worker.m_installFolder = installFolder;
    worker.WriteRegistry();
    return worker.RecordText();
  }
};

const char kRecord[] =
    "RegDB Key: 2,SOFTWARE\\Kelvarin\\Terrasum\\V8\n"
    "RegDB Key: 2,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Terrasum V8\n";

TEST_F(RegistryStage, WritesTheExactValuesAndRecordsBothKeys) {
  regtest::SetString(LM, kProductKey, "installPath", "C:\\earlier\\");
  EXPECT_EQ(Run("D:\\T\\"), kRecord);

  EXPECT_EQ(regtest::ReadString(LM, kProductKey, "installPath"), Text("D:\\T\\")) << "overwritten, backslash kept";
  EXPECT_EQ(regtest::ReadString(LM, kProductKey, "Ver"), Text("8.00"));
  EXPECT_EQ(regtest::ValueNames(LM, kProductKey), (Names{"installPath", "Ver"}));
  EXPECT_EQ(regtest::ReadString(LM, kUninstallKey, "DisplayName"), Text("土方工程量计算软件 Terrasum V8.0"));
  EXPECT_EQ(regtest::ReadString(LM, kUninstallKey, "UninstallString"), Text("D:\\T\\Uninstall.exe"));
  EXPECT_EQ(regtest::ValueNames(LM, kUninstallKey), (Names{"DisplayName", "UninstallString"}));
  // Every value REG_SZ (ReadString gives nothing for other types), stored with its zero.
  const auto raw = regtest::ReadValue(LM, kUninstallKey, "UninstallString");
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
}

// Unquoted, the system would try "C:\Program.exe" first.
TEST_F(RegistryStage, UninstallStringIsQuotedWhereThePathHoldsABlank) {
  EXPECT_EQ(Run("C:\\Program Files\\Kelvarin\\Terrasum\\"), kRecord) << "a second run records both keys again";
  EXPECT_EQ(regtest::ReadString(LM, kUninstallKey, "UninstallString"),
            Text("\"C:\\Program Files\\Kelvarin\\Terrasum\\Uninstall.exe\""))
      << "in quotes, no arguments";
  EXPECT_EQ(regtest::ReadString(LM, kProductKey, "installPath"), Text("C:\\Program Files\\Kelvarin\\Terrasum\\"));
}

TEST_F(RegistryStage, ProfilesOnlyInTheReleasesFound) {
  SeedRelease(R16_0, "C:\\AutoCAD 2004\\");
  SeedRelease(R17_1, "D:\\ACAD2008");
  EXPECT_EQ(Run("C:\\Program Files\\Kelvarin\\Terrasum\\"), kRecord) << "profiles are not recorded";

  for (AcadRelease release : AllAcadReleases()) {
    const bool seeded = release == R16_0 || release == R17_1;
    EXPECT_EQ(ProductKeysWithProfile(release), seeded ? Names{SeededProductKey(release)} : Names{})
        << AcadReleaseKey(release);
  }
  const std::string profile = AcadProfileKeyPath(R17_1, SeededProductKey(R17_1), "<<Terrasum V8>>");
  EXPECT_EQ(regtest::ReadString(HKEY_CURRENT_USER, profile + "\\General Configuration", "MenuFile"),
            Text("C:\\Program Files\\Kelvarin\\Terrasum\\Support\\2007-09\\Menu\\SoilTuF"))
      << "made from the install folder";
}

TEST_F(RegistryStage, TheFirstReleaseGetsItsAutoCadFolder) {
  SeedRelease(R15_0, "C:\\ACAD2002");
  Run("D:\\T\\");
  const std::string general = AcadProfileSubkeyPath(R15_0, SeededProductKey(R15_0), "<<Terrasum V8>>", kGeneralKey);
  EXPECT_EQ(regtest::ReadString(HKEY_CURRENT_USER, general, "ACAD"),
            Text("D:\\T\\Support\\2000-02\\arx;D:\\T\\Support\\2000-02\\Menu;C:\\ACAD2002\\support;"
                 "C:\\ACAD2002\\fonts;C:\\ACAD2002\\help;C:\\ACAD2002\\express;"))
      << "the folder discovery found, with its backslash";
}

TEST_F(RegistryStage, NoAutoCadNoProfile) {
  EXPECT_EQ(Run("D:\\T\\"), kRecord);
  for (AcadRelease release : AllAcadReleases())
    EXPECT_EQ(ProductKeysWithProfile(release), Names{}) << AcadReleaseKey(release);
}

}  // namespace
