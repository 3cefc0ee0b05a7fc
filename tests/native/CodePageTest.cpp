// Code page 936 helpers: a trail byte of 0x5C is never a backslash.
#include <gtest/gtest.h>

#include "framework/CodePage.h"

namespace {

// "表" is B1 ED; "\x95\x5c" is a character whose trail byte is a backslash.
const std::string kTrail5C = "\x95\x5c";

TEST(CodePage, BackslashTestsByCharacter) {
  EXPECT_TRUE(cp936::EndsWithBackslashChar("C:\\"));
  EXPECT_FALSE(cp936::EndsWithBackslashChar("C:\\" + kTrail5C)) << "its last byte is 0x5C, its last character no backslash";
  EXPECT_TRUE(cp936::EndsWithBackslashChar("C:\\" + kTrail5C + "\\"));
  EXPECT_FALSE(cp936::EndsWithBackslashChar(""));
  EXPECT_EQ(cp936::WithTrailingBackslash("C:\\" + kTrail5C), "C:\\" + kTrail5C + "\\");
  EXPECT_EQ(cp936::WithTrailingBackslash("C:\\a\\"), "C:\\a\\");
}

TEST(CodePage, LastBackslashSkipsTrailBytes) {
  EXPECT_EQ(cp936::FindLastBackslash("C:\\dir\\" + kTrail5C), 6u);
  EXPECT_EQ(cp936::FindLastBackslash(kTrail5C), cp936::npos);
  EXPECT_EQ(cp936::FindLastBackslash(""), cp936::npos);
  // A lead byte at the very end stands alone.
  EXPECT_EQ(cp936::FindLastBackslash("a\\\x95"), 1u);
}

TEST(CodePage, FindNeverStartsOnATrailByte) {
  const std::string text = kTrail5C + "x\\y";
  EXPECT_EQ(cp936::FindChar(text, '\\'), 3u);
  EXPECT_EQ(cp936::Find(text, "\\y"), 3u);
  EXPECT_EQ(cp936::Find("\xb1\x41" "A", "A"), 2u) << "0x41 is the trail byte of the first character";
  EXPECT_EQ(cp936::Find("abcabc", "bc", 2), 4u);
  EXPECT_EQ(cp936::Find("abc", "abcd"), cp936::npos);
  EXPECT_EQ(cp936::Find("abc", "c", 3), cp936::npos);
  EXPECT_EQ(cp936::Find("abc", "c", 99), cp936::npos);
}

TEST(CodePage, StrayLeadByteDoesNotSwallowControlBytes) {
  EXPECT_EQ(cp936::NextChar("\xf2\n", 0), 1u) << "LF is no trail byte";
  EXPECT_EQ(cp936::NextChar(std::string("\xf2\0", 2), 0), 1u);
  EXPECT_EQ(cp936::NextChar("\xf2\x7f", 0), 1u);
  EXPECT_EQ(cp936::NextChar("\xf2\x40", 0), 2u);
  EXPECT_EQ(cp936::FindChar("a\xf2\nb", '\n'), 2u);
}

TEST(CodePage, TrimAndCaseInsensitiveCompare) {
  EXPECT_EQ(cp936::Trim("  \tC:\\安装 \r\n"), "C:\\安装");
  EXPECT_EQ(cp936::TrimRight("a  "), "a");
  EXPECT_EQ(cp936::TrimLeft("  a "), "a ");
  EXPECT_EQ(cp936::Trim("   "), "");
  EXPECT_TRUE(cp936::EqualsNoCase("SETUP.EXE", "setup.exe"));
  EXPECT_TRUE(cp936::EqualsNoCase("TerrasumV8.0.ICO", "terrasumv8.0.ico"));
  EXPECT_FALSE(cp936::EqualsNoCase("setup.ex", "setup.exe"));
  // Trail bytes 0x41 ('A') and 0x61 ('a') are different characters.
  EXPECT_FALSE(cp936::EqualsNoCase("\xb1\x41", "\xb1\x61"));
  EXPECT_TRUE(cp936::EqualsNoCase("安装A", "安装a"));
}

}  // namespace
