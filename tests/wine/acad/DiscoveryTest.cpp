// The product-key lookups and FindAcadFolder on a registry seeded as
// AutoCAD's installations leave it.
#include <gtest/gtest.h>

#include <string>

#include "acad/AcadRegistry.h"
#include "acad/AcadText.h"
#include "tests/wine/acad/RegTestUtil.h"

namespace {

const HKEY LM = HKEY_LOCAL_MACHINE;
const HKEY CU = HKEY_CURRENT_USER;
using L = ProductKeyLookup;

class Discovery : public regtest::CleanRegistryTest {
 protected:
  static void CurVer(HKEY root, AcadRelease release, const std::string& productKey) {
    regtest::SetString(root, AcadReleaseKeyPath(release), "CurVer", productKey);
  }
  static void Folder(AcadRelease release, const std::string& productKey, const char* name, const std::string& value) {
    regtest::SetString(LM, AcadProductKeyPath(release, productKey), name, value);
  }
  static std::string Lookup(AcadRelease release, L lookup, BOOL* result = nullptr) {
    std::string key = "left over";
    const BOOL r = LookUpProductKey(release, lookup, kRegBufferSize, key);
    if (result) *result = r;
    return key;
  }
};

TEST_F(Discovery, EachLookupReadsItsRootsInItsOrder) {
  struct Case {
    bool machine, user;
    const char *machineFirst, *userFirst, *userOnly, *machineOnly;
  };
  // R16.1, whose fixed product key is "ACAD-301:409".
  const Case cases[] = {
      {true, true, "ACAD-M:804", "ACAD-U:804", "ACAD-U:804", "ACAD-M:804"},
      {true, false, "ACAD-M:804", "ACAD-M:804", "ACAD-301:409", "ACAD-M:804"},
      {false, true, "ACAD-U:804", "ACAD-U:804", "ACAD-U:804", ""},
      {false, false, "", "ACAD-301:409", "ACAD-301:409", ""},
  };
  for (const Case& c : cases) {
    Clean();
    if (c.machine) CurVer(LM, R16_1, "ACAD-M:804");
    if (c.user) CurVer(CU, R16_1, "ACAD-U:804");
    const std::string where = std::string("CurVer under") + (c.machine ? " HKLM" : "") + (c.user ? " HKCU" : "");
    BOOL found = FALSE;
    EXPECT_EQ(Lookup(R16_1, L::MachineFirst, &found), c.machineFirst) << where;
    EXPECT_EQ(found, c.machine || c.user) << "machine-first finds nothing without CurVer; " << where;
    EXPECT_EQ(Lookup(R16_1, L::UserFirst), c.userFirst) << where;
    EXPECT_EQ(Lookup(R16_1, L::UserOnly), c.userOnly) << where;
    EXPECT_EQ(Lookup(R16_1, L::MachineOnly, &found), c.machineOnly) << where;
    EXPECT_EQ(found, c.machine) << where;
  }
}

TEST_F(Discovery, LookupsWithoutAFixedKeyOrWithAnEmptyCurVer) {
  BOOL found = TRUE;
  EXPECT_EQ(Lookup(R15_0, L::UserFirst, &found), "") << "R15.0 has no fixed product key";
  EXPECT_FALSE(found);
  CurVer(CU, R16_0, "");
  CurVer(LM, R16_0, "ACAD-M:804");
  EXPECT_EQ(Lookup(R16_0, L::UserFirst), "ACAD-M:804") << "an empty CurVer names no product key";
  EXPECT_EQ(Lookup(R16_0, L::None, &found), "");
  EXPECT_FALSE(found);
  EXPECT_EQ(Lookup(static_cast<AcadRelease>(12), L::UserFirst, &found), "") << "not a release";
  EXPECT_FALSE(found);
}

TEST_F(Discovery, UninstallsMachineBufferLimitsCurVer) {
  // A product key name followed by a zero and padding: 1500 bytes in all.
  std::string padded = "ACAD-5001:804";
  padded.resize(1500, '\0');
  regtest::SetRaw(LM, AcadReleaseKeyPath(R17_0), "CurVer", REG_SZ, padded);
  std::string key;
  EXPECT_FALSE(LookUpProductKey(R17_0, L::MachineOnly, kUninstallIdentity.machineReadBuffer, key));
  EXPECT_EQ(key, "") << "too large for Uninstall's 1024 bytes";
  EXPECT_TRUE(LookUpProductKey(R17_0, L::MachineOnly, kSetupIdentity.machineReadBuffer, key));
  EXPECT_EQ(key, "ACAD-5001:804") << "fits Setup's 2048 bytes";
}

TEST_F(Discovery, R15ProductKeyFromTheUserFolderFromTheMachine) {
  CurVer(CU, R15_0, "ACAD-1:804");
  Folder(R15_0, "ACAD-1:804", "AcadLocation", "C:\\Program Files\\ACAD2002");
  regtest::SetString(CU, AcadProductKeyPath(R15_0, "ACAD-1:804"), "AcadLocation", "D:\\Wrong\\");
  std::string folder;
  EXPECT_TRUE(FindAcadFolder(R15_0, folder));
  EXPECT_EQ(folder, "C:\\Program Files\\ACAD2002\\") << "a backslash appended; the machine's value";
}

TEST_F(Discovery, R15WithoutCurVerIsNotInstalledAndReadsNoFolder) {
  Folder(R15_0, "ACAD-1:804", "AcadLocation", "C:\\ACAD2002\\");
  regtest::DeleteTree(LM, AcadReleaseKeyPath(R15_0) + "\\ACAD-1:804");
  std::string folder = "left over";
  EXPECT_FALSE(FindAcadFolder(R15_0, folder));
  EXPECT_EQ(folder, "");
  EXPECT_TRUE(regtest::Subkeys(LM, AcadReleaseKeyPath(R15_0)).empty()) << "no product key was opened";
  EXPECT_TRUE(regtest::KeyExists(CU, AcadReleaseKeyPath(R15_0))) << "both roots were asked for CurVer";
}

TEST_F(Discovery, R16UsesTheMachinesCurVerButLaterRowsDoNot) {
  CurVer(LM, R16_0, "ACAD-211:804");
  Folder(R16_0, "ACAD-211:804", "AcadLocation", "C:\\ACAD2004\\");
  Folder(R16_0, "ACAD-201:804", "AcadLocation", "C:\\Fixed2004\\");
  CurVer(LM, R16_1, "ACAD-311:804");
  Folder(R16_1, "ACAD-311:804", "AcadLocation", "C:\\ACAD2005\\");
  Folder(R16_1, "ACAD-301:409", "AcadLocation", "C:\\Fixed2005\\");
  std::string folder;
  EXPECT_TRUE(FindAcadFolder(R16_0, folder));
  EXPECT_EQ(folder, "C:\\ACAD2004\\") << "R16.0 is user-first, then machine";
  EXPECT_TRUE(FindAcadFolder(R16_1, folder));
  EXPECT_EQ(folder, "C:\\Fixed2005\\") << "R16.1 is user-only, then the fixed key";
}

TEST_F(Discovery, EveryLaterRowIsFoundUnderItsFixedProductKey) {
  for (AcadRelease release : {R16_0, R16_1, R16_2, R17_0, R17_1, R17_2}) {
    const std::string fixed = FindAcadReleaseRow(release)->fixedProductKey;
    const std::string value = std::string("C:\\AutoCAD ") + AcadReleaseKey(release);
    Folder(release, fixed, "AcadLocation", value);
    std::string folder;
    EXPECT_TRUE(FindAcadFolder(release, folder)) << AcadReleaseKey(release);
    EXPECT_EQ(folder, value + "\\") << AcadReleaseKey(release);
  }
}

TEST_F(Discovery, TheFolderEndsInExactlyOneBackslashCharacter) {
  CurVer(CU, R17_0, "ACAD-5001:804");
  std::string folder;
  Folder(R17_0, "ACAD-5001:804", "AcadLocation", "C:\\AutoCAD 2007\\");
  EXPECT_TRUE(FindAcadFolder(R17_0, folder));
  EXPECT_EQ(folder, "C:\\AutoCAD 2007\\") << "already ends in a backslash: unchanged";
  Folder(R17_0, "ACAD-5001:804", "AcadLocation", "X:\\Nowhere");
  EXPECT_TRUE(FindAcadFolder(R17_0, folder)) << "the file system is not consulted";
  EXPECT_EQ(folder, "X:\\Nowhere\\");
  // "襖" is D2 5C in code page 936: its trail byte is no backslash.
  Folder(R17_0, "ACAD-5001:804", "AcadLocation", "C:\\棉襖");
  EXPECT_TRUE(FindAcadFolder(R17_0, folder));
  EXPECT_EQ(folder, "C:\\棉襖\\") << "a backslash after the double-byte character";
}

TEST_F(Discovery, AnEmptyAcadLocationFallsBackToLocationOnlyFor2008And2009) {
  for (AcadRelease release : AllAcadReleases()) {
    Clean();
    const std::string key = release == R15_0 ? "ACAD-1:804" : FindAcadReleaseRow(release)->fixedProductKey;
    CurVer(CU, release, key);
    Folder(release, key, "AcadLocation", "");
    Folder(release, key, "Location", "C:\\Loc");
    std::string folder = "left over";
    const bool readsLocation = release == R17_1 || release == R17_2;
    EXPECT_EQ(FindAcadFolder(release, folder), readsLocation ? TRUE : FALSE) << AcadReleaseKey(release);
    EXPECT_EQ(folder, readsLocation ? "C:\\Loc\\" : "") << AcadReleaseKey(release);
  }
  Clean();
  Folder(R17_1, "ACAD-6001:804", "AcadLocation", "");
  std::string folder;
  EXPECT_FALSE(FindAcadFolder(R17_1, folder)) << "neither value holds text";
  Folder(R17_2, "ACAD-7001:804", "Location", "C:\\AutoCAD 2009");
  EXPECT_TRUE(FindAcadFolder(R17_2, folder)) << "AcadLocation absent, Location read";
  EXPECT_EQ(folder, "C:\\AutoCAD 2009\\");
}

TEST_F(Discovery, AFolderLongerThanTheBufferCountsAsAbsent) {
  Folder(R16_2, "ACAD-4001:409", "AcadLocation", "C:\\" + std::string(2045, 'd'));
  std::string folder = "left over";
  EXPECT_FALSE(FindAcadFolder(R16_2, folder)) << "2048 bytes of text";
  EXPECT_EQ(folder, "");
  Folder(R16_2, "ACAD-4001:409", "AcadLocation", "C:\\" + std::string(2044, 'd'));
  EXPECT_TRUE(FindAcadFolder(R16_2, folder)) << "2047 bytes of text";
  EXPECT_EQ(folder.size(), 2048u) << "with the backslash appended";
  Folder(R17_1, "ACAD-6001:804", "AcadLocation", std::string(3000, 'e'));
  Folder(R17_1, "ACAD-6001:804", "Location", "C:\\AutoCAD 2008\\");
  EXPECT_TRUE(FindAcadFolder(R17_1, folder)) << "an unreadable AcadLocation leaves the folder empty";
  EXPECT_EQ(folder, "C:\\AutoCAD 2008\\");
}

TEST_F(Discovery, ProbingAMissingReleaseLeavesTwoEmptyKeys) {
  std::string folder = "left over";
  EXPECT_FALSE(FindAcadFolder(R16_1, folder));
  EXPECT_EQ(folder, "");
  const std::string release = "SOFTWARE\\Autodesk\\AutoCAD\\R16.1";
  EXPECT_TRUE(regtest::KeyExists(CU, release)) << "the user's release key";
  EXPECT_TRUE(regtest::Subkeys(CU, release).empty());
  EXPECT_TRUE(regtest::ValueNames(CU, release).empty());
  EXPECT_TRUE(regtest::KeyExists(LM, release + "\\ACAD-301:409")) << "the machine's fixed product key";
  EXPECT_TRUE(regtest::ValueNames(LM, release + "\\ACAD-301:409").empty());
  EXPECT_TRUE(regtest::ValueNames(LM, release).empty()) << "nothing written";
  EXPECT_EQ(regtest::Subkeys(LM, "SOFTWARE\\Autodesk\\AutoCAD"), std::vector<std::string>{"R16.1"})
      << "no other release touched";
}

TEST_F(Discovery, NotAReleaseIsNotFound) {
  std::string folder = "left over";
  EXPECT_FALSE(FindAcadFolder(static_cast<AcadRelease>(-1), folder));
  EXPECT_EQ(folder, "");
  EXPECT_FALSE(regtest::KeyExists(LM, regtest::kAutodesk)) << "no key opened";
}

}  // namespace
