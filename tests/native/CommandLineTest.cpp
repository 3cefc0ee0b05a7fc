// The programs' switches: the program's name skipped as the start-up code
// skips it, /D= taking the rest of the line, case-insensitive switches, and
// every line that is not understood refused with a reason.
#include <gtest/gtest.h>

#include <string>

#include "framework/CommandLine.h"

namespace {

using cmdline::Program;

cmdline::Options ParseSetup(const std::string& line) { return cmdline::Parse(line, Program::setup); }

TEST(CommandLine, ProgramNameSkippedQuotedOrNot) {
  EXPECT_EQ(cmdline::SkipProgramName("\"E:\\My Disc\\setup.exe\" /S"), "/S");
  EXPECT_EQ(cmdline::SkipProgramName("\"E:\\My Disc\\setup.exe\"/S"), "/S") << "no blank after the quote";
  EXPECT_EQ(cmdline::SkipProgramName("setup.exe   /S /D=C:\\a b"), "/S /D=C:\\a b");
  EXPECT_EQ(cmdline::SkipProgramName("E:\\setup.exe"), "");
  EXPECT_EQ(cmdline::SkipProgramName("\"E:\\unclosed /S"), "") << "an unclosed quote takes the whole line";
  EXPECT_EQ(cmdline::SkipProgramName(""), "");
}

TEST(CommandLine, NoArgumentsIsUnderstoodAndChangesNothing) {
  const auto o = ParseSetup("");
  EXPECT_TRUE(o.Understood());
  EXPECT_FALSE(o.silent || o.hasFolder || o.hasLog || o.help);
  EXPECT_TRUE(ParseSetup("  \t ").Understood());
}

TEST(CommandLine, SwitchesInAnyOrderAndCase) {
  for (const char* line : {"/S /LOG=C:\\t.log", "/log=C:\\t.log /s", "/Log=C:\\t.log  /S"}) {
    const auto o = ParseSetup(line);
    EXPECT_TRUE(o.Understood()) << line << ": " << o.problem;
    EXPECT_TRUE(o.silent) << line;
    EXPECT_EQ(o.logPath, "C:\\t.log") << line;
  }
  const auto quoted = ParseSetup("/LOG=\"C:\\my logs\\工程.log\" /S");
  EXPECT_EQ(quoted.logPath, "C:\\my logs\\工程.log");
  EXPECT_TRUE(quoted.silent);
}

TEST(CommandLine, FolderTakesTheRestOfTheLine) {
  const auto o = ParseSetup("/S /LOG=C:\\t.log /D=D:\\工程 软件\\Terrasum");
  ASSERT_TRUE(o.Understood()) << o.problem;
  EXPECT_EQ(o.folder, "D:\\工程 软件\\Terrasum\\");
  EXPECT_EQ(ParseSetup("/d=D:\\工程 软件\\Terrasum\\  ").folder, "D:\\工程 软件\\Terrasum\\") << "trailing backslash kept once";
  EXPECT_EQ(ParseSetup("/D=C:\\a /S").folder, "C:\\a /S\\") << "what follows /D= is part of the folder";
  EXPECT_FALSE(ParseSetup("/D=C:\\a").silent);
  EXPECT_EQ(ParseSetup("/D=\\\\server\\share\\T").folder, "\\\\server\\share\\T\\");
  // 忠誠: the trail byte 5C ends a name, so the folder still needs its backslash.
  EXPECT_EQ(ParseSetup("/D=C:\\忠誠").folder, "C:\\忠誠\\");
}

TEST(CommandLine, FoldersAPathCannotBeAreRefused) {
  for (const char* line : {"/D=", "/D=Terrasum", "/D=\\Terrasum", "/D=C:Terrasum", "/D=\"C:\\a b\"", "/D=C:\\a|b",
                           "/D=C:\\a?b", "/D=C:\\a*", "/D=C:\\a:b", "/D=C:\\a<b>", "/D=\\\\server", "/D=C:\\a\x01",
                           "/D=C:\\\x81"}) {
    const auto o = ParseSetup(line);
    EXPECT_FALSE(o.Understood()) << line;
    EXPECT_TRUE(o.folder.empty()) << line;
  }
  // A trail byte 0x7C is part of its character, not a '|'.
  EXPECT_TRUE(ParseSetup("/D=C:\\\x81\x7C").Understood());
  EXPECT_FALSE(ParseSetup("/D=C:\\" + std::string(260, 'a')).Understood()) << "beyond the folder walk's limit";
  EXPECT_TRUE(ParseSetup("/D=C:\\" + std::string(255, 'a')).Understood()) << "259 bytes with the backslash";
}

TEST(CommandLine, AnythingNotUnderstoodIsRefused) {
  for (const char* line : {"/X", "/SILENT", "S", "/S/D=C:\\a", "/LOG=", "/LOG=\"\"", "-S", "/S extra"})
    EXPECT_FALSE(ParseSetup(line).Understood()) << line;
  const auto help = ParseSetup("/S /?");
  EXPECT_TRUE(help.help);
  EXPECT_FALSE(help.Understood());
  EXPECT_NE(ParseSetup("/X").problem.find("/X"), std::string::npos) << "the reason names the argument";
  // What follows a refused argument still says where the reason goes.
  const auto late = ParseSetup("/X /Y /LOG=C:\\t.log /S");
  EXPECT_TRUE(late.silent && late.logPath == "C:\\t.log");
  EXPECT_NE(late.problem.find("/X"), std::string::npos) << "the first argument not understood is named";
  EXPECT_TRUE(ParseSetup("/X /D=C:\\a").folder.empty());
}

TEST(CommandLine, UninstallTakesNoFolder) {
  const auto o = cmdline::Parse("/s /LOG=C:\\u.log", Program::uninstall);
  EXPECT_TRUE(o.Understood() && o.silent && o.logPath == "C:\\u.log");
  EXPECT_FALSE(cmdline::Parse("/S /D=C:\\a", Program::uninstall).Understood());
  EXPECT_NE(cmdline::Usage(Program::uninstall).find("/LOG="), std::string::npos);
  EXPECT_NE(cmdline::Usage(Program::setup).find("/D="), std::string::npos);
}

}  // namespace
