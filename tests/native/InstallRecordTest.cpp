// The install record's reader rules, on the text the recorders write.
#include <gtest/gtest.h>

#include <vector>

#include "install/InstallRecord.h"

namespace {

std::vector<std::string> Values(const std::string& text, int kind) {
  std::vector<std::string> out;
  std::size_t pos = 0, start = 0, len = 0;
  while (record::NextEntry(text, kind, pos, start, len)) out.push_back(text.substr(start, len));
  return out;
}

TEST(InstallRecord, RecordersWriteTagValueLf) {
  std::string text;
  record::Append(text, record::kMadeDir, "D:\\T\\Support");
  record::Append(text, record::kFileCopy, "D:\\T\\Support\\a.arx");
  record::Append(text, record::kRegCtrl, "D:\\T\\Controls\\b.ocx");
  record::AppendKey(text, record::kLocalMachine, "SOFTWARE\\Kelvarin\\Terrasum\\V8");
  record::AppendKey(text, static_cast<record::RootCode>(9), "X");
  EXPECT_EQ(text,
            "Made Dir: D:\\T\\Support\n"
            "File Copy: D:\\T\\Support\\a.arx\n"
            "Reg Ctrl: D:\\T\\Controls\\b.ocx\n"
            "RegDB Key: 2,SOFTWARE\\Kelvarin\\Terrasum\\V8\n"
            "RegDB Key: 4,X\n");
}

TEST(InstallRecord, EachKindIsReadInItsOwnPassInFileOrder) {
  const std::string text =
      "Made Dir: C:\\A\nFile Copy: C:\\A\\1\nMade Dir: C:\\A\\B\nFile Copy: C:\\A\\B\\2\nRegDB Key: 2,K\n";
  EXPECT_EQ(Values(text, record::kFileCopy), (std::vector<std::string>{"C:\\A\\1", "C:\\A\\B\\2"}));
  EXPECT_EQ(Values(text, record::kMadeDir), (std::vector<std::string>{"C:\\A", "C:\\A\\B"}));
  EXPECT_EQ(Values(text, record::kRegKey), (std::vector<std::string>{"2,K"}));
  EXPECT_EQ(record::CountEntries(text, record::kRegCtrl), 0);
  EXPECT_EQ(record::CountEntries(text, record::kFileCopy), 2);
  EXPECT_EQ(record::CountEntries(text, 7), 0) << "unknown kind";
}

TEST(InstallRecord, LastLineWithoutLfAndCrIsKeptInValue) {
  EXPECT_EQ(Values("File Copy: a\nFile Copy: b", record::kFileCopy), (std::vector<std::string>{"a", "b"}));
  // A reader that did not go through text mode would see the CR; the
  // text-mode file removes it before the record reaches NextEntry.
  EXPECT_EQ(Values("File Copy: a\r\n", record::kFileCopy), (std::vector<std::string>{"a\r"}));
  EXPECT_EQ(Values("File Copy: \n", record::kFileCopy), (std::vector<std::string>{""}));
}

TEST(InstallRecord, TagFoundAnywhereButNeverOnATrailByte) {
  EXPECT_EQ(Values("xxFile Copy: a\n", record::kFileCopy), (std::vector<std::string>{"a"}));
  // 0xC6 pairs with 'F': the tag that seems to follow it is not one.
  EXPECT_TRUE(Values("\xc6" "File Copy: a\n", record::kFileCopy).empty());
  EXPECT_EQ(Values("\xc6" "xFile Copy: a\n", record::kFileCopy), (std::vector<std::string>{"a"}));
  // A path with a double-byte character whose trail byte is 0x5C.
  EXPECT_EQ(Values("File Copy: C:\\\x95\x5c\\x\n", record::kFileCopy), (std::vector<std::string>{"C:\\\x95\x5c\\x"}));
}

TEST(InstallRecord, StrayLeadByteBeforeLineEndKeepsTheLines) {
  EXPECT_EQ(Values("File Copy: a\xf2\nFile Copy: b\n", record::kFileCopy),
            (std::vector<std::string>{"a\xf2", "b"}));
}

TEST(InstallRecord, PositionBeyondTheTextEnds) {
  std::size_t pos = 100, start = 0, len = 0;
  EXPECT_FALSE(record::NextEntry("File Copy: a\n", 0, pos, start, len));
  pos = 13;
  EXPECT_FALSE(record::NextEntry("File Copy: a\n", 0, pos, start, len)) << "position at the end";
  std::string empty;
  pos = 0;
  EXPECT_FALSE(record::NextEntry(empty, 0, pos, start, len));
}

TEST(InstallRecord, KeyEntriesSplitAtTheFirstComma) {
  auto k = record::SplitKeyEntry("2,SOFTWARE\\A,B");
  ASSERT_TRUE(k);
  EXPECT_EQ(k->root, record::kLocalMachine);
  EXPECT_EQ(k->subKey, "SOFTWARE\\A,B");
  EXPECT_EQ(record::SplitKeyEntry("0,X")->root, record::kClassesRoot);
  EXPECT_EQ(record::SplitKeyEntry("1,X")->root, record::kCurrentUser);
  EXPECT_EQ(record::SplitKeyEntry("3,X")->root, record::kUsers);
  EXPECT_EQ(record::SplitKeyEntry("4,X")->root, record::kOtherRoot);
  EXPECT_EQ(record::SplitKeyEntry("22,X")->root, record::kOtherRoot) << "compared as text";
  EXPECT_EQ(record::SplitKeyEntry(",X")->root, record::kOtherRoot);
  EXPECT_EQ(record::SplitKeyEntry("2,")->subKey, "");
  EXPECT_FALSE(record::SplitKeyEntry("2SOFTWARE"));
  EXPECT_FALSE(record::SplitKeyEntry(""));
}

}  // namespace
