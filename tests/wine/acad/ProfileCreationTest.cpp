// Setup's AutoCAD profile: exact values of families A, B and C, where the
// default profile's search path comes from, under which product key the
// profile goes, and that a second run gives the same values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acad/AcadRegistry.h"
#include "acad/AcadText.h"
#include "tests/wine/acad/RegTestUtil.h"

namespace {

const HKEY LM = HKEY_LOCAL_MACHINE;
const HKEY CU = HKEY_CURRENT_USER;
const std::string kInstall = "C:\\Program Files\\Kelvarin\\Terrasum\\";
const std::string kProfile = "<<Terrasum V8>>";

class ProfileCreation : public regtest::CleanRegistryTest {
 protected:
  static std::string Profile(AcadRelease release, const std::string& productKey) {
    return AcadProfileKeyPath(release, productKey, kProfile);
  }
  static std::string General(AcadRelease release, const std::string& productKey) {
    return Profile(release, productKey) + "\\General";
  }
  static std::string Configuration(AcadRelease release, const std::string& productKey) {
    return Profile(release, productKey) + "\\General Configuration";
  }
  static void DefaultProfile(AcadRelease release, const std::string& productKey, const char* name,
                             const std::string& searchPath) {
    regtest::SetString(CU, AcadProfileSubkeyPath(release, productKey, name, kGeneralKey), "ACAD", searchPath);
  }
  static std::optional<std::string> Acad(AcadRelease release, const std::string& productKey) {
    return regtest::ReadString(CU, General(release, productKey), "ACAD");
  }
  static void Create(AcadRelease release, const std::string& acadFolder = "C:\\AutoCAD\\") {
    CreateAcadProfile(kSetupIdentity, release, acadFolder, kInstall);
  }
};

using Text = std::optional<std::string>;
using Names = std::vector<std::string>;

TEST_F(ProfileCreation, FamilyAPutsTheAutoCadFoldersAfterTheProducts) {
  regtest::SetString(LM, AcadReleaseKeyPath(R15_0), "CurVer", "ACAD-1:804");
  DefaultProfile(R15_0, "ACAD-1:804", kChineseDefaultProfile, "C:\\never\\read");
  Create(R15_0, "C:\\Program Files\\ACAD2002\\");
  EXPECT_EQ(Acad(R15_0, "ACAD-1:804"),
            Text("C:\\Program Files\\Kelvarin\\Terrasum\\Support\\2000-02\\arx;"
                 "C:\\Program Files\\Kelvarin\\Terrasum\\Support\\2000-02\\Menu;"
                 "C:\\Program Files\\ACAD2002\\support;C:\\Program Files\\ACAD2002\\fonts;"
                 "C:\\Program Files\\ACAD2002\\help;C:\\Program Files\\ACAD2002\\express;"))
      << "the default profile plays no part in family A";
  EXPECT_EQ(regtest::ReadString(CU, Profile(R15_0, "ACAD-1:804"), ""), Text(kProfile)) << "default value";
  EXPECT_EQ(regtest::Subkeys(CU, Profile(R15_0, "ACAD-1:804")), Names{"General"}) << "no menu file for family A";
  EXPECT_EQ(regtest::ValueNames(CU, General(R15_0, "ACAD-1:804")), Names{"ACAD"});
  EXPECT_EQ(regtest::ValueNames(CU, Profile(R15_0, "ACAD-1:804")), Names{""}) << "only the default value";
}

TEST_F(ProfileCreation, R15FoundThroughTheUsersCurVerGetsItsProfileThere) {
  regtest::SetString(CU, AcadReleaseKeyPath(R15_0), "CurVer", "ACAD-2:804");
  regtest::SetString(LM, AcadProductKeyPath(R15_0, "ACAD-2:804"), "AcadLocation", "C:\\ACAD2002");
  std::string folder;
  ASSERT_TRUE(FindAcadFolder(R15_0, folder)) << "discovery reads the user's CurVer";
  CreateAcadProfile(kSetupIdentity, R15_0, folder, kInstall);
  EXPECT_EQ(regtest::ReadString(CU, Profile(R15_0, "ACAD-2:804"), ""), Text(kProfile))
      << "under the product key discovery found";
  EXPECT_EQ(Acad(R15_0, "ACAD-2:804").value_or("").substr(0, kInstall.size()), kInstall);
  EXPECT_EQ(regtest::Subkeys(CU, AcadReleaseKeyPath(R15_0)), Names{"ACAD-2:804"})
      << "no profile under a path with an empty product key";
}

TEST_F(ProfileCreation, R15WithoutAnyCurVerGetsNoProfile) {
  Create(R15_0);
  EXPECT_TRUE(regtest::Subkeys(CU, AcadReleaseKeyPath(R15_0)).empty());
  EXPECT_TRUE(regtest::Subkeys(LM, AcadReleaseKeyPath(R15_0)).empty());
}

TEST_F(ProfileCreation, FamilyBTakesTheChineseDefaultProfileFirst) {
  regtest::SetString(CU, AcadReleaseKeyPath(R16_0), "CurVer", "ACAD-201:804");
  DefaultProfile(R16_0, "ACAD-201:804", kChineseDefaultProfile, "C:\\ACAD2004\\support;C:\\ACAD2004\\字体");
  DefaultProfile(R16_0, "ACAD-201:804", kEnglishDefaultProfile, "C:\\English\\support");
  Create(R16_0);
  EXPECT_EQ(Acad(R16_0, "ACAD-201:804"),
            Text("C:\\Program Files\\Kelvarin\\Terrasum\\Support\\2004-06\\arx;"
                 "C:\\Program Files\\Kelvarin\\Terrasum\\Support\\2004-06\\Menu;"
                 "C:\\ACAD2004\\support;C:\\ACAD2004\\字体;"));
  EXPECT_EQ(regtest::Subkeys(CU, Profile(R16_0, "ACAD-201:804")), Names{"General"}) << "no menu file for family B";
  EXPECT_EQ(regtest::ReadString(CU, Profile(R16_0, "ACAD-201:804"), ""), Text(kProfile));
}

TEST_F(ProfileCreation, FamilyBTakesTheEnglishDefaultProfileWhenThereIsNoChinese) {
  regtest::SetString(CU, AcadReleaseKeyPath(R16_2), "CurVer", "ACAD-4001:409");
  DefaultProfile(R16_2, "ACAD-4001:409", kEnglishDefaultProfile, "C:\\ACAD2006\\support");
  Create(R16_2);
  EXPECT_EQ(Acad(R16_2, "ACAD-4001:409"),
            Text("C:\\Program Files\\Kelvarin\\Terrasum\\Support\\2004-06\\arx;"
                 "C:\\Program Files\\Kelvarin\\Terrasum\\Support\\2004-06\\Menu;"
                 "C:\\ACAD2006\\support;"));
}

TEST_F(ProfileCreation, FamilyCWithoutDefaultProfileNamesTheMenuFile) {
  Create(R17_0);
  const std::string key = "ACAD-5001:804";
  EXPECT_EQ(Acad(R17_0, key),
            Text("C:\\Program Files\\Kelvarin\\Terrasum\\Support\\2007-09\\arx;"
                 "C:\\Program Files\\Kelvarin\\Terrasum\\Support\\2007-09\\Menu;;"))
      << "no default profile: a lone ';'";
  EXPECT_EQ(regtest::ReadString(CU, Configuration(R17_0, key), "MenuFile"),
            Text("C:\\Program Files\\Kelvarin\\Terrasum\\Support\\2007-09\\Menu\\SoilTuF"));
  EXPECT_EQ(regtest::ReadString(CU, Profile(R17_0, key), ""), Text(kProfile));
  EXPECT_EQ(regtest::Subkeys(CU, AcadReleaseKeyPath(R17_0)), Names{key})
      << "a release never started by this user: the fixed product key is created";
  EXPECT_EQ(regtest::Subkeys(CU, AcadReleaseKeyPath(R17_0) + "\\" + key + "\\Profiles"), Names{kProfile})
      << "holding only the product's profile";
}

TEST_F(ProfileCreation, FamilyCWithTheChineseDefaultProfile) {
  regtest::SetString(CU, AcadReleaseKeyPath(R17_2), "CurVer", "ACAD-7001:804");
  DefaultProfile(R17_2, "ACAD-7001:804", kChineseDefaultProfile, "C:\\AutoCAD 2009\\support;C:\\AutoCAD 2009\\fonts");
  CreateAcadProfile(kSetupIdentity, R17_2, "", "D:\\土方\\");
  EXPECT_EQ(Acad(R17_2, "ACAD-7001:804"),
            Text("D:\\土方\\Support\\2007-09\\arx;D:\\土方\\Support\\2007-09\\Menu;"
                 "C:\\AutoCAD 2009\\support;C:\\AutoCAD 2009\\fonts;"));
  EXPECT_EQ(regtest::ReadString(CU, Configuration(R17_2, "ACAD-7001:804"), "MenuFile"),
            Text("D:\\土方\\Support\\2007-09\\Menu\\SoilTuF"));
}

TEST_F(ProfileCreation, ProductKeyIsUserFirstThenMachineThenFixed) {
  regtest::SetString(LM, AcadReleaseKeyPath(R16_1), "CurVer", "ACAD-311:804");
  DefaultProfile(R16_1, "ACAD-311:804", kChineseDefaultProfile, "C:\\ACAD2005");
  Create(R16_1);
  EXPECT_TRUE(Acad(R16_1, "ACAD-311:804")) << "the machine's CurVer, which discovery does not read";
  EXPECT_FALSE(regtest::KeyExists(CU, Profile(R16_1, "ACAD-301:409")));

  Create(R16_0);
  EXPECT_TRUE(Acad(R16_0, "ACAD-201:804")) << "no CurVer anywhere: the fixed product key";
}

TEST_F(ProfileCreation, ASecondRunGivesTheSameValues) {
  regtest::SetString(CU, AcadReleaseKeyPath(R17_1), "CurVer", "ACAD-6001:804");
  DefaultProfile(R17_1, "ACAD-6001:804", kEnglishDefaultProfile, "C:\\AutoCAD 2008\\support");
  const std::string key = "ACAD-6001:804";
  regtest::SetString(CU, General(R17_1, key), "ACAD", "stale;");
  regtest::SetString(CU, General(R17_1, key), "ACADDRV", "C:\\Drivers");
  Create(R17_1);
  const Text first = Acad(R17_1, key);
  const Text menu = regtest::ReadString(CU, Configuration(R17_1, key), "MenuFile");
  Create(R17_1);
  EXPECT_EQ(Acad(R17_1, key), first) << "built from the default profile, not from its own earlier value";
  EXPECT_EQ(first.value_or("").find("stale"), std::string::npos);
  EXPECT_EQ(regtest::ReadString(CU, Configuration(R17_1, key), "MenuFile"), menu);
  EXPECT_EQ(regtest::ReadString(CU, General(R17_1, key), "ACADDRV"), Text("C:\\Drivers"))
      << "values AutoCAD stored in the profile are left alone";
}

TEST_F(ProfileCreation, ASearchPathTooLongToWriteIsNotCut) {
  regtest::SetString(CU, AcadReleaseKeyPath(R17_0), "CurVer", "ACAD-5001:804");
  const std::string key = "ACAD-5001:804";
  DefaultProfile(R17_0, key, kChineseDefaultProfile, "C:\\" + std::string(2000, 's'));
  regtest::SetString(CU, General(R17_0, key), "ACAD", "earlier;");
  Create(R17_0);
  EXPECT_EQ(Acad(R17_0, key), Text("earlier;")) << "the long path is refused whole; the earlier value stays";
  EXPECT_TRUE(regtest::ReadString(CU, Configuration(R17_0, key), "MenuFile")) << "the next writes still run";
  EXPECT_EQ(regtest::ReadString(CU, Profile(R17_0, key), ""), Text(kProfile));
}

TEST_F(ProfileCreation, EveryFoundReleaseGetsItsProfileInTableOrder) {
  // As the install stage drives it: one folder variable for every row.
  for (AcadRelease release : AllAcadReleases()) {
    const std::string key = release == R15_0 ? "ACAD-1:804" : FindAcadReleaseRow(release)->fixedProductKey;
    if (release == R15_0) regtest::SetString(LM, AcadReleaseKeyPath(release), "CurVer", key);
    regtest::SetString(LM, AcadProductKeyPath(release, key), "AcadLocation", "C:\\CAD");
  }
  std::string folder;
  for (AcadRelease release : AllAcadReleases())
    if (FindAcadFolder(release, folder)) CreateAcadProfile(kSetupIdentity, release, folder, kInstall);
  for (AcadRelease release : AllAcadReleases()) {
    const std::string key = release == R15_0 ? "ACAD-1:804" : FindAcadReleaseRow(release)->fixedProductKey;
    EXPECT_EQ(regtest::ReadString(CU, Profile(release, key), ""), Text(kProfile)) << AcadReleaseKey(release);
    const bool familyC = FindAcadReleaseRow(release)->family == ProfileFamily::C;
    EXPECT_EQ(regtest::KeyExists(CU, Configuration(release, key)), familyC) << AcadReleaseKey(release);
  }
}

}  // namespace
