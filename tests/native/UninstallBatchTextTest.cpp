// The self-removal batch's text: six lines, CR LF, every path in quotes.
#include <gtest/gtest.h>

#include "uninstall/BatchText.h"

namespace {

TEST(UninstallBatchText, SixLinesWithQuotedPathsAndCrLf) {
  const std::string text = selfremoval::BatchText("D:\\Gravo V6\\Uninstall.exe", "\\DelUS.bat");
  EXPECT_EQ(text,
            ":Repeat\r\n"
            "del \"D:\\Gravo V6\\Uninstall.exe\"\r\n"
            "del \"Filedelr.avi\"\r\n"
            "if exist \"D:\\Gravo V6\\Uninstall.exe\" goto Repeat\r\n"
            "rmdir \"D:\\Gravo V6\"\r\n"
            "del \"\\DelUS.bat\"\r\n");
  EXPECT_EQ(text.find('\0'), std::string::npos) << "no terminating NUL in the text";
  EXPECT_STREQ(selfremoval::kBatchPath, "\\DelUS.bat");
}

TEST(UninstallBatchText, ProgramFolderIsCutAtTheLastBackslashCharacter) {
  EXPECT_EQ(selfremoval::ProgramFolder("C:\\土方\\Uninstall.exe"), "C:\\土方");
  EXPECT_EQ(selfremoval::ProgramFolder("C:\\Uninstall.exe"), "C:");
  EXPECT_EQ(selfremoval::ProgramFolder("Uninstall.exe"), "") << "no backslash, no folder";
  // 0xD5 0x5C is one double-byte character whose second byte is 0x5C.
  EXPECT_EQ(selfremoval::ProgramFolder("C:\\A\\B\xD5\x5C.exe"), "C:\\A") << "trail byte taken for a backslash";
  EXPECT_EQ(selfremoval::ProgramFolder("C:\\A\\B\xD5\x5C\\u.exe"), "C:\\A\\B\xD5\x5C");
}

TEST(UninstallBatchText, LongPathsAreTakenWhole) {
  const std::string folder = "C:\\" + std::string(300, 'x');
  const std::string text = selfremoval::BatchText(folder + "\\u.exe", "\\DelUS.bat");
  EXPECT_NE(text.find("rmdir \"" + folder + "\"\r\n"), std::string::npos) << "folder line of a 300-byte path";
}

}  // namespace

TEST(UninstallBatchText, ByVariablesTheTextIsPlainAsciiWithTheSameSixLines) {
  const std::string text = selfremoval::BatchTextByVariables("\\DelUS.bat");
  EXPECT_TRUE(selfremoval::IsAscii(text)) << text;
  EXPECT_EQ(text,
            ":Repeat\r\n"
            "del \"%GRAVO_UNINSTALL_PROGRAM%\"\r\n"
            "del \"Filedelr.avi\"\r\n"
            "if exist \"%GRAVO_UNINSTALL_PROGRAM%\" goto Repeat\r\n"
            "rmdir \"%GRAVO_UNINSTALL_FOLDER%\"\r\n"
            "del \"\\DelUS.bat\"\r\n");
  EXPECT_FALSE(selfremoval::IsAscii(selfremoval::BatchText("C:\\工程软件\\土方\\Uninstall.exe", "\\DelUS.bat")));
  EXPECT_TRUE(selfremoval::IsAscii(selfremoval::BatchText("C:\\Program Files\\Kelvarin\\Terrasum\\Uninstall.exe",
                                                          "\\DelUS.bat")))
      << "the default folder's batch reads the same in every code page";
}
