// The per-user step's texts: the switch on a command line, the component's
// version, the install date, the size in KiB, the web address of an
// Internet shortcut, and the per-user program's manifest.
#include <gtest/gtest.h>

#include "install/PerUserText.h"

namespace {

using peruser::Moment;

TEST(PerUserSwitch, OnlyTheSwitchAloneAfterTheProgramName) {
  struct Case {
    const char* line;
    bool perUser;
  } cases[] = {
      {"\"C:\\Program Files\\Kelvarin\\Terrasum\\TerrasumUser.exe\" /PERUSER", true},
      {"\"C:\\Program Files\\K\\TerrasumUser.exe\"   /peruser  ", true},
      {"C:\\T\\TerrasumUser.exe /PerUser", true},
      {"\"C:\\工程 软件\\TerrasumUser.exe\"/PERUSER", true},
      {"Setup.exe", false},
      {"\"C:\\Program Files\\Setup.exe\"", false},
      {"Setup.exe /PERUSER /S", false},
      {"Setup.exe /S /PERUSER", false},
      {"Setup.exe PERUSER", false},
      {"\"C:\\a /PERUSER", false},  // an unclosed quote is all program name
      {"\"/PERUSER\"", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(peruser::IsPerUserCommandLine(c.line), c.perUser) << c.line;
}

TEST(PerUserVersion, GrowsWithEveryInstallationAndFitsTheParts) {
  EXPECT_EQ(peruser::ComponentVersion(Moment{2000, 1, 1, 0, 0, 0}), "8,0,0,0");
  EXPECT_EQ(peruser::ComponentVersion(Moment{2000, 3, 1, 0, 0, 1}), "8,0,60,0") << "2000 is a leap year";
  EXPECT_EQ(peruser::ComponentVersion(Moment{2026, 12, 9, 23, 59, 59}), "8,0,9839,43199");
  EXPECT_EQ(peruser::ComponentVersion(Moment{2026, 12, 10, 0, 0, 0}), "8,0,9840,0") << "the next day is larger";
  EXPECT_EQ(peruser::ComponentVersion(Moment{2100, 3, 1, 0, 0, 0}), "8,0,36584,0") << "2100 is no leap year";
  EXPECT_EQ(peruser::ComponentVersion(Moment{1999, 12, 31, 12, 0, 0}), "8,0,0,0");
}

TEST(PerUserDate, InstallDateAndSize) {
  EXPECT_EQ(peruser::DateText(Moment{2026, 3, 7, 23, 0, 0}), "20260307");
  EXPECT_EQ(peruser::KiB(0), 0u);
  EXPECT_EQ(peruser::KiB(1), 1u);
  EXPECT_EQ(peruser::KiB(1024), 1u);
  EXPECT_EQ(peruser::KiB(1025), 2u);
  EXPECT_EQ(peruser::KiB(0xFFFFFFFFull * 1024), 0xFFFFFFFFu);
  EXPECT_EQ(peruser::KiB(~0ull), 0xFFFFFFFFu) << "capped, not wrapped";
}

TEST(PerUserShortcut, TheUrlOfTheInternetShortcutSectionOnly) {
  struct Case {
    std::string text;
    const char* url;  // null: none
  } cases[] = {
      {"[InternetShortcut]\r\nURL=http://www.kelvarin.com/\r\n", "http://www.kelvarin.com/"},
      {"[DEFAULT]\nBASEURL=http://x/\n[internetshortcut]\n url = http://k/a?b=c \nIconIndex=1", "http://k/a?b=c"},
      {"[InternetShortcut]\r\nIconFile=x\r\nURL=http://last/", "http://last/"},
      {"[Other]\r\nURL=http://other/\r\n[InternetShortcut]\r\nIconIndex=0\r\n", nullptr},
      {"URL=http://nosection/\r\n", nullptr},
      {"[InternetShortcut]\r\nURL=\r\n", nullptr},
      {"[InternetShortcut]\r\nURL=http://a/\x01\r\n", nullptr},
      {"[InternetShortcut]\r\nURL=http://a/" + std::string(2048, 'x') + "\r\n", nullptr},
      {"[InternetShortcut]\r\nURL=http://a/\r\n" + std::string(peruser::kMaxShortcutBytes, ' '), nullptr},
      {std::string("\0\0[InternetShortcut]\r\nURL=http://a/\0\r\n", 38), nullptr},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    std::string url = "left over";
    EXPECT_EQ(peruser::InternetShortcutUrl(c.text, url), c.url != nullptr) << c.text.substr(0, 60);
    EXPECT_EQ(url, c.url ? c.url : "") << c.text.substr(0, 60);
  }
}

TEST(PerUserManifest, AdministratorBecomesInvoker) {
  std::string out = "unchanged";
  EXPECT_TRUE(peruser::InvokerManifest(
      "<a><requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/></a>", out));
  EXPECT_EQ(out, "<a><requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/></a>");
  out = "unchanged";
  EXPECT_FALSE(peruser::InvokerManifest("<a><requestedExecutionLevel level=\"asInvoker\"/></a>", out));
  EXPECT_FALSE(peruser::InvokerManifest("", out));
  EXPECT_EQ(out, "unchanged");
}

}  // namespace
