// The self-removal batch's text: six lines, CR LF, every path in quotes; and
// the command line that runs it.
#include <gtest/gtest.h>

#include "uninstall/BatchText.h"

namespace {

const char kBatch[] = "C:\\WINDOWS\\Temp\\DelUS-00112233445566778899aabbccddeeff\\DelUS.bat";

TEST(UninstallBatchText, SixLinesWithQuotedPathsAndCrLf) {
  const std::string text = selfremoval::BatchText("D:\\Gravo V6\\Uninstall.exe", kBatch);
  EXPECT_EQ(text,
            ":Repeat\r\n"
            "del \"D:\\Gravo V6\\Uninstall.exe\"\r\n"
            "del \"Filedelr.avi\"\r\n"
            "if exist \"D:\\Gravo V6\\Uninstall.exe\" goto Repeat\r\n"
            "rmdir \"D:\\Gravo V6\"\r\n"
            "del \"C:\\WINDOWS\\Temp\\DelUS-00112233445566778899aabbccddeeff\\DelUS.bat\"\r\n");
  EXPECT_EQ(text.find('\0'), std::string::npos) << "no terminating NUL in the text";
  EXPECT_STREQ(selfremoval::kBatchName, "DelUS.bat");
}

TEST(UninstallBatchText, TheFolderNameIsTheRandomBytesInHex) {
  const unsigned char random[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                                    0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
  EXPECT_EQ(selfremoval::BatchFolderName(random), "DelUS-00112233445566778899aabbccddeeff");
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
  const std::string text = selfremoval::BatchText(folder + "\\u.exe", kBatch);
  EXPECT_NE(text.find("rmdir \"" + folder + "\"\r\n"), std::string::npos) << "folder line of a 300-byte path";
}

TEST(UninstallBatchText, ByVariablesTheTextIsPlainAsciiWithTheSameSixLines) {
  const std::string text = selfremoval::BatchTextByVariables();
  EXPECT_TRUE(selfremoval::IsAscii(text)) << text;
  EXPECT_EQ(text,
            ":Repeat\r\n"
            "del \"!GRAVO_UNINSTALL_PROGRAM!\"\r\n"
            "del \"Filedelr.avi\"\r\n"
            "if exist \"!GRAVO_UNINSTALL_PROGRAM!\" goto Repeat\r\n"
            "rmdir \"!GRAVO_UNINSTALL_FOLDER!\"\r\n"
            "del \"!GRAVO_UNINSTALL_BATCH!\"\r\n");
}

// cmd expands '%' (and, with late expansion, '!') in a batch line, and reads
// the batch in the OEM code page.
TEST(UninstallBatchText, PathsGoThroughTheEnvironmentWhenTheTextWouldReadOtherwise) {
  const auto needs = [](const std::string& program, unsigned oem) {
    return selfremoval::NeedsVariables(selfremoval::BatchText(program, kBatch), oem);
  };
  EXPECT_FALSE(needs("C:\\Program Files\\Kelvarin\\Terrasum\\Uninstall.exe", 437))
      << "the default folder's batch reads the same in every code page";
  EXPECT_FALSE(needs("C:\\工程软件\\土方\\Uninstall.exe", 936));
  EXPECT_TRUE(needs("C:\\工程软件\\土方\\Uninstall.exe", 437));
  EXPECT_TRUE(needs("D:\\100%\\Terrasum\\Uninstall.exe", 936));
  EXPECT_TRUE(needs("D:\\%PATH%\\Uninstall.exe", 437));
  EXPECT_TRUE(needs("D:\\Hello!\\Uninstall.exe", 936));
  EXPECT_TRUE(selfremoval::NeedsVariables(selfremoval::BatchText("C:\\A\\u.exe", "C:\\50%\\DelUS.bat"), 936))
      << "a batch path with '%'";
}

TEST(UninstallBatchText, TheSystemsInterpreterRunsTheBatchThenRemovesItsFolder) {
  EXPECT_EQ(selfremoval::CommandLine("C:\\WINDOWS\\system32", kBatch),
            "\"C:\\WINDOWS\\system32\\cmd.exe\" /d /v:on /c "
            "\"\"C:\\WINDOWS\\Temp\\DelUS-00112233445566778899aabbccddeeff\\DelUS.bat\" & "
            "rmdir \"C:\\WINDOWS\\Temp\\DelUS-00112233445566778899aabbccddeeff\"\"");
}

}  // namespace
