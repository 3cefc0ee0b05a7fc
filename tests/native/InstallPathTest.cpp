// Path rules of the install engine: JoinPath and the folder prefixes that
// EnsureFolder makes sure of, with its length limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/InstallPath.h"

namespace {

using Prefixes = std::vector<std::string>;

TEST(InstallPath, JoinPathOfShortFolderIsTheNameAlone) {
  EXPECT_EQ(installpath::JoinPath("C:", "x"), "x") << "a drive alone";
  EXPECT_EQ(installpath::JoinPath("", "x"), "x");
  EXPECT_EQ(installpath::JoinPath("C\\", "x"), "x") << "two bytes, whatever they are";
}

TEST(InstallPath, JoinPathAddsOneSeparator) {
  EXPECT_EQ(installpath::JoinPath("C:\\A", "x"), "C:\\A\\x");
  EXPECT_EQ(installpath::JoinPath("C:\\A\\", "x"), "C:\\A\\x");
  EXPECT_EQ(installpath::JoinPath("C:/A/", "x"), "C:/A/x") << "a forward slash counts as a separator";
  EXPECT_EQ(installpath::JoinPath("C:\\", "Uninstall.log"), "C:\\Uninstall.log");
}

TEST(InstallPath, ATrailByte5CIsNoSeparator) {
  // "誠" is D5 5C: the folder "忠誠" ends with a byte equal to a backslash.
  EXPECT_EQ(installpath::JoinPath("C:\\Data\\忠誠", "忠誠"), "C:\\Data\\忠誠\\忠誠");
  EXPECT_EQ(installpath::JoinPath("C:\\\x81\x5C", "x"), "C:\\\x81\x5C\\x");
  EXPECT_EQ(installpath::JoinPath("C:\\忠誠\\", "x"), "C:\\忠誠\\x") << "a real backslash after it";
  EXPECT_EQ(installpath::SearchPattern("E:\\Data\\忠誠", "*.*"), "E:\\Data\\忠誠\\*.*");
  EXPECT_EQ(installpath::SearchPattern("E:\\Data\\忠誠\\", "*.*"), "E:\\Data\\忠誠\\*.*");
}

TEST(InstallPath, PrefixesSkipTheDriveAndEndWithOrWithoutSeparator) {
  const Prefixes expected{"C:\\A", "C:\\A\\B"};
  EXPECT_EQ(installpath::FolderPrefixes("C:\\A\\B\\"), expected) << "trailing backslash";
  EXPECT_EQ(installpath::FolderPrefixes("C:\\A\\B"), expected) << "no trailing backslash";
  EXPECT_EQ(installpath::FolderPrefixes("C:/A/B/"), (Prefixes{"C:/A", "C:/A/B"})) << "forward slashes";
  EXPECT_EQ(installpath::FolderPrefixes("C:\\"), Prefixes{}) << "the drive itself is never tested";
  EXPECT_EQ(installpath::FolderPrefixes("C:"), Prefixes{});
  EXPECT_EQ(installpath::FolderPrefixes(""), Prefixes{});
  EXPECT_EQ(installpath::FolderPrefixes("\\T\\U"), (Prefixes{"\\T", "\\T\\U"})) << "a leading separator";
  EXPECT_EQ(installpath::FolderPrefixes("A\\B"), (Prefixes{"A", "A\\B"})) << "relative";
}

TEST(InstallPath, PrefixesKeepChineseNamesWhole) {
  EXPECT_EQ(installpath::FolderPrefixes("C:\\T\\图框"), (Prefixes{"C:\\T", "C:\\T\\图框"}));
  // "\x81\x5C" is one character whose second byte equals a backslash: it
  // neither cuts the path nor counts as a trailing separator.
  const std::string name = "C:\\T\\\x81\x5C";
  EXPECT_EQ(installpath::FolderPrefixes(name), (Prefixes{"C:\\T", name}));
  EXPECT_EQ(installpath::FolderPrefixes("C:\\\x81\x5C" "A\\"), (Prefixes{"C:\\\x81\x5C" "A"}));
}

TEST(InstallPath, FolderLimitIs259Bytes) {
  const std::string base = "C:\\";
  EXPECT_TRUE(installpath::FitsFolderLimit(base + std::string(256, 'a'))) << "259 bytes";
  EXPECT_FALSE(installpath::FitsFolderLimit(base + std::string(257, 'a'))) << "260 bytes";
  EXPECT_FALSE(installpath::FitsFolderLimit(base + std::string(5000, 'a')));
}

TEST(InstallPath, SearchPatternJoinsFolderAndPattern) {
  EXPECT_EQ(installpath::SearchPattern("E:\\dist\\", "*.*"), "E:\\dist\\*.*");
  EXPECT_EQ(installpath::SearchPattern("E:\\dist", "*.ocx"), "E:\\dist\\*.ocx");
  EXPECT_EQ(installpath::SearchPattern("E:", "*.*"), "E:*.*");
  EXPECT_EQ(installpath::SearchPattern("", "*.*"), "*.*");
}

// The folder page's rule: a folder on a named drive, trimmed, with slashes
// as backslashes; anything relative to a current folder, a share or a
// device path, and forbidden characters are refused (empty).
TEST(InstallPath, DriveFolderTextTakesOnlyFoldersOnANamedDrive) {
  const struct {
    const char* typed;
    const char* taken;
  } cases[] = {
      {"D:\\Terrasum\\", "D:\\Terrasum\\"},
      {"  D:\\Terrasum  ", "D:\\Terrasum"},
      {"D:/Terrasum\\", "D:\\Terrasum\\"},
      {"d:/a/b/", "d:\\a\\b\\"},
      {"D:\\", "D:\\"},
      {"C:\\忠誠\\", "C:\\忠誠\\"},
      {"C:\\\x81|\\", "C:\\\x81|\\"},  // '|' as a trail byte is part of a character
      {"D:Terrasum\\", ""},
      {"Terrasum\\", ""},
      {"\\Terrasum\\", ""},
      {"abc\\", ""},
      {"C:", ""},
      {"", ""},
      {"   ", ""},
      {"\\\\server\\share\\x\\", ""},
      {"//server/share/x/", ""},
      {"\\\\?\\D:\\Terrasum\\", ""},
      {"\\\\.\\D:\\", ""},
      {"D:\\a:b\\", ""},
      {"D:\\a?\\", ""},
      {"D:\\a*\\", ""},
      {"D:\\a|b\\", ""},
      {"D:\\a<b>\\", ""},
      {"D:\\\"a\"\\", ""},
      {"D:\\a\tb\\", ""},
      {"1:\\a\\", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(installpath::DriveFolderText(c.typed), c.taken) << "typed [" << c.typed << "]";
}

}  // namespace

TEST(InstallPath, ACommandLineWithABlankIsQuoted) {
  EXPECT_EQ(installpath::CommandLineOf("D:\\T\\Uninstall.exe"), "D:\\T\\Uninstall.exe");
  EXPECT_EQ(installpath::CommandLineOf("D:\\Soft Ware\\土方\\Uninstall.exe"), "\"D:\\Soft Ware\\土方\\Uninstall.exe\"");
  EXPECT_EQ(installpath::CommandLineOf("C:\\Program Files\\Kelvarin\\Terrasum\\Uninstall.exe"),
            "\"C:\\Program Files\\Kelvarin\\Terrasum\\Uninstall.exe\"");
}

TEST(InstallPath, WhatTheElevatedProgramsTrustIsTheUninstallerTheRecordAndTheControls) {
  using installpath::Trust;
  const std::string f = "D:\\Soft Ware\\土方\\";
  const struct {
    std::string path;
    bool isFolder;
    Trust trust;
  } cases[] = {
      {f + "Uninstall.exe", false, Trust::file},
      {f + "UNINSTALL.LOG", false, Trust::file},
      {f + "Controls", true, Trust::folder},
      {f + "controls\\TerrasumGrid.ocx", false, Trust::file},
      {f + "Controls\\helpers", true, Trust::folder},
      {f + "Controls\\helpers\\a.dll", false, Trust::file},
      {f + "Controls", false, Trust::none},  // a file of that name is no folder to protect
      {f + "ControlsOld\\a.ocx", false, Trust::none},
      {f + "Support\\a.arx", false, Trust::none},
      {f + "Temp", true, Trust::none},
      {f + "Uninstall.exe.bak", false, Trust::none},
      {f + "Data\\Uninstall.exe", false, Trust::none},
      {"C:\\Other\\Uninstall.exe", false, Trust::none},
      {f, true, Trust::none},
  };
  for (const auto& c : cases)
    EXPECT_EQ(installpath::TrustOf(f, c.path, c.isFolder), c.trust) << c.path << (c.isFolder ? " (folder)" : "");
}
