// The record reader on records no installation writes: binary garbage, no
// line ends at all, a million entries, lines of 100,000 bytes, key entries
// without a comma or with unknown roots. Every entry found lies inside the
// text, the passes end, and the counts are what the text holds.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "install/InstallRecord.h"

namespace {

// Walks one kind and checks every value against the text.
int Walk(const std::string& text, int kind, std::size_t* longest = nullptr) {
  const std::string tag = record::Tag(kind);
  std::size_t position = 0, start = 0, length = 0;
  int n = 0;
  while (record::NextEntry(text, kind, position, start, length)) {
    EXPECT_GE(start, tag.size());
    EXPECT_LE(start + length, text.size()) << "value inside the text";
    EXPECT_EQ(text.compare(start - tag.size(), tag.size(), tag), 0) << "the tag stands before the value";
    if (longest && length > *longest) *longest = length;
    if (++n > static_cast<int>(text.size())) {
      ADD_FAILURE() << "the pass does not end";
      break;
    }
  }
  return n;
}

// Bytes of a simple generator, the same in every run.
std::string Garbage(std::size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  for (char& c : out) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 23);
  }
  return out;
}

TEST(FaultRecord, BinaryGarbageYieldsOnlyEntriesThatAreThere) {
  // A megabyte of random bytes with the four tags sown in at random places.
  std::string text = Garbage(1 << 20, 7);
  int sown[record::kKindCount] = {};
  for (std::size_t at = 1000, k = 0; at + 20 < text.size(); at += 9973, ++k) {
    const int kind = static_cast<int>(k % record::kKindCount);
    const std::string tag = record::Tag(kind);
    text.replace(at, tag.size(), tag);
    ++sown[kind];
  }
  for (int kind = 0; kind < record::kKindCount; ++kind) {
    const int found = Walk(text, kind);
    EXPECT_EQ(found, record::CountEntries(text, kind));
    // A sown tag can be lost only when it starts on a trail byte (then it is
    // not a character start) or lies within an earlier value of its kind.
    EXPECT_LE(found, sown[kind] + 2) << "kind " << kind;
    EXPECT_GT(found, 0) << "kind " << kind;
  }
}

TEST(FaultRecord, NoLineEndsMakesOneLongValuePerTagReach) {
  // Without LF, each value runs to the end of the text; the next search
  // starts past the end, so each kind yields at most one entry.
  const std::string text = "File Copy: C:\\a File Copy: C:\\b Made Dir: C:\\c RegDB Key: 2,K";
  EXPECT_EQ(Walk(text, record::kFileCopy), 1);
  EXPECT_EQ(Walk(text, record::kMadeDir), 1);
  EXPECT_EQ(Walk(text, record::kRegKey), 1);
  std::size_t position = 0, start = 0, length = 0;
  ASSERT_TRUE(record::NextEntry(text, record::kFileCopy, position, start, length));
  EXPECT_EQ(start + length, text.size());
  EXPECT_EQ(position, text.size() + 1) << "past the end";
  EXPECT_FALSE(record::NextEntry(text, record::kFileCopy, position, start, length));
}

TEST(FaultRecord, AMillionEntriesAreCountedInOnePassEach) {
  std::string text;
  text.reserve(40u << 20);
  for (int i = 0; i < 1000000; ++i) {
    const int kind = i % record::kKindCount;
    if (kind == record::kRegKey) record::AppendKey(text, record::kLocalMachine, "SOFTWARE\\K" + std::to_string(i));
    else record::Append(text, kind, "C:\\T\\" + std::to_string(i));
  }
  for (int kind = 0; kind < record::kKindCount; ++kind)
    EXPECT_EQ(record::CountEntries(text, kind), 250000) << "kind " << kind;
}

TEST(FaultRecord, LinesOfAHundredThousandBytesAreReadWhole) {
  const std::string path = "C:\\" + std::string(100000, 'p');
  const std::string chinese = [] {
    std::string s = "D:\\";
    while (s.size() < 100000) s += "\xCD\xC1\xB7\xBD\xB1\x5C";  // 土方 and a character ending in 0x5C
    return s;
  }();
  std::string text;
  record::Append(text, record::kFileCopy, path);
  record::Append(text, record::kMadeDir, chinese);
  record::Append(text, record::kFileCopy, "C:\\short");
  std::size_t longest = 0;
  EXPECT_EQ(Walk(text, record::kFileCopy, &longest), 2);
  EXPECT_EQ(longest, path.size());
  std::size_t position = 0, start = 0, length = 0;
  ASSERT_TRUE(record::NextEntry(text, record::kMadeDir, position, start, length));
  EXPECT_EQ(text.substr(start, length), chinese) << "double-byte characters do not cut the line";
}

TEST(FaultRecord, KeyEntriesWithoutACommaOrWithUnknownRootsAreTakenApartSafely) {
  EXPECT_FALSE(record::SplitKeyEntry("").has_value());
  EXPECT_FALSE(record::SplitKeyEntry("2SOFTWARE\\Kelvarin").has_value()) << "no comma: no key";
  EXPECT_FALSE(record::SplitKeyEntry(std::string(100000, 'k')).has_value());
  const struct {
    const char* value;
    record::RootCode root;
    const char* subKey;
  } cases[] = {
      {"0,A", record::kClassesRoot, "A"},  {"3,A", record::kUsers, "A"},     {"4,A", record::kOtherRoot, "A"},
      {"9,A", record::kOtherRoot, "A"},    {"22,A", record::kOtherRoot, "A"}, {",A", record::kOtherRoot, "A"},
      {" 2,A", record::kOtherRoot, "A"},   {"2,", record::kLocalMachine, ""}, {"2,A,B", record::kLocalMachine, "A,B"},
      {"-1,A", record::kOtherRoot, "A"},   {"\xB1,A", record::kOtherRoot, "A"},
  };
  for (const auto& c : cases) {
    const auto key = record::SplitKeyEntry(c.value);
    ASSERT_TRUE(key.has_value()) << c.value;
    EXPECT_EQ(key->root, c.root) << c.value;
    EXPECT_EQ(key->subKey, c.subKey) << c.value;
  }
}

}  // namespace
