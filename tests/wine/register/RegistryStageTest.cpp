// The registry stage: the product key and the Add/Remove Programs entry with
// their exact values, both recorded, and the AutoCAD profile made in exactly
// the releases that are installed.
#include <gtest/gtest.h>

#include <algorithm>

#include "acad/AcadText.h"
#include "install/SetupThread.h"
#include "tests/wine/install/InstallHarness.h"
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
  Names names = regtest::ValueNames(LM, kUninstallKey);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Names{"DisplayIcon", "DisplayName", "DisplayVersion", "EstimatedSize", "InstallDate",
                          "InstallLocation", "NoModify", "NoRepair", "Publisher", "QuietUninstallString",
                          "UninstallString"}))
      << "no web site without a medium";
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

namespace {

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), sizeof value); }

// The Add/Remove Programs entry's details, after a copy of a small medium.
class ProgramsEntry : public regtest::CleanRegistryTest {
 protected:
  void SetUp() override {
    regtest::CleanRegistryTest::SetUp();
    CleanProductKeys();
  }
  void TearDown() override {
    CleanProductKeys();
    regtest::CleanRegistryTest::TearDown();
  }
  static void Medium(const std::string& source, const std::string& url) {
    installtest::Put(source + "Support\\a.arx", std::string(1500, 'a'));
    installtest::Put(source + "Support\\sub\\b.mnu", std::string(3000, 'b'));
    installtest::MakeFolders(source + "Controls");
    installtest::Put(source + "Terrasum.exe", std::string(700, 'e'));
    if (!url.empty()) installtest::Put(source + "Kelvarin.url", url);
  }
  // Folder and top-level copy, then the registry stage.
  static void Install(const std::string& source, const std::string& install) {
    CSetupThread worker;
    worker.m_sourceFolder = source;
    worker.m_installFolder = install;
    ASSERT_TRUE(worker.CopyFolder(source + "Support", install + "Support"));
    worker.CopyTopFiles();
    worker.WriteRegistry();
  }
  static Text Value(const char* name) {
    const auto value = regtest::ReadValue(LM, kUninstallKey, name);
    if (!value) return std::nullopt;
    return std::to_string(value->type) + ":" + value->bytes;
  }
  static Text Sz(const std::string& text) { return std::to_string(REG_SZ) + ":" + text; }
};

TEST_F(ProgramsEntry, ShowsWhatWindowsListsOfAProgram) {
  const std::string source = "E:\\entry medium\\", install = "D:\\工程 软件\\Terrasum\\";
  Medium(source, "[InternetShortcut]\r\nURL=http://www.kelvarin.com/terrasum\r\nIconIndex=0\r\n");
  Install(source, install);
  SYSTEMTIME today{};
  ::GetLocalTime(&today);
  char date[16];
  wsprintfA(date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);

  EXPECT_EQ(Value("DisplayVersion"), Sz("8.0"));
  EXPECT_EQ(Value("Publisher"), Sz("Kelvarin"));
  EXPECT_EQ(Value("DisplayIcon"), Sz(install + "TerrasumV8.0.ICO"));
  EXPECT_EQ(Value("InstallLocation"), Sz(install));
  EXPECT_EQ(Value("InstallDate"), Sz(date));
  EXPECT_EQ(Value("QuietUninstallString"), Sz("\"" + install + "Uninstall.exe\" /S")) << "quoted: blanks";
  EXPECT_EQ(Value("URLInfoAbout"), Sz("http://www.kelvarin.com/terrasum"));
  // 1500 + 3000 + 700 bytes copied, and the shortcut's own bytes: 6 KiB
  // whatever the shortcut's line ends, rounded up.
  EXPECT_EQ(Value("EstimatedSize"), std::to_string(REG_DWORD) + ":" + Dword(6));
  EXPECT_EQ(Value("NoModify"), std::to_string(REG_DWORD) + ":" + Dword(1));
  EXPECT_EQ(Value("NoRepair"), std::to_string(REG_DWORD) + ":" + Dword(1));
  EXPECT_EQ(Value("UninstallString"), Sz("\"" + install + "Uninstall.exe\"")) << "left as it was";
}

TEST_F(ProgramsEntry, AShortcutThatIsNoneGivesNoWebSite) {
  const std::string huge = "[InternetShortcut]\r\nURL=http://a/\r\n" + std::string(70 * 1024, ' ');
  const std::string binary = "[InternetShortcut]\r\nURL=http://a/\x01\x02\r\n";
  for (const std::string& content : {huge, binary, std::string("URL=http://no.section/\r\n"),
                                     std::string("[InternetShortcut]\r\nURL=\r\n"), std::string("\xff\xfe\0\0", 4)}) {
    CleanProductKeys();
    const std::string source = "E:\\bad url\\";
    ::DeleteFileA((source + "Kelvarin.url").c_str());
    Medium(source, content);
    Install(source, "D:\\bad url\\");
    EXPECT_EQ(Value("URLInfoAbout"), std::nullopt) << content.substr(0, 40);
    EXPECT_EQ(Value("Publisher"), Sz("Kelvarin")) << "the rest is written";
  }
}

}  // namespace
