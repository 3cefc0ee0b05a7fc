// Records no installation writes, replayed by the real replay worker in this
// process: binary garbage, no line ends, a million entries, lines of 100,000
// bytes, entries for paths that do not exist, key entries without a comma or
// with unknown roots. The replay always ends with its finish message, acts
// only on what the record names, and never touches anything else.
#include <gtest/gtest.h>

#include <cstdint>

#include "install/InstallRecord.h"
#include "tests/wine/uninstall/ReplayHarness.h"
#include "tests/wine/uninstall/UninstallTestSupport.h"

namespace {

using Events = std::vector<std::string>;

int Count(const Events& events, const std::string& prefix) {
  int n = 0;
  for (const auto& e : events) n += e.compare(0, prefix.size(), prefix) == 0;
  return n;
}

bool EndsDone(const Events& events) {
  return events.size() >= 2 && events.back() == "done" && Count(events, "files done") == 1 &&
         Count(events, "failed") == 0;
}

// Bytes 1 ... 255 of a fixed generator: garbage without NUL, so it loads.
std::string Garbage(std::size_t size, std::uint32_t seed) {
  std::string out(size, '\0');
  for (char& c : out) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(1 + (seed >> 16) % 255);
  }
  return out;
}

// Files and an empty folder that no entry names; they must survive.
struct Bystanders {
  explicit Bystanders(const std::string& dir) : dir(dir) {
    for (const char* name : {"keep1.txt", "keep2.dat", "Uninstall.exe"}) ut::WriteBytes(dir + "\\" + name, name);
    ut::MakeFolders(dir + "\\empty");
  }
  void ExpectAllThere() const {
    for (const char* name : {"keep1.txt", "keep2.dat", "Uninstall.exe"})
      EXPECT_EQ(ut::ReadBytes(dir + "\\" + name), name) << name << " not named by the record";
    EXPECT_TRUE(ut::IsFolder(dir + "\\empty"));
  }
  std::string dir;
};

struct Replay {
  bool loaded = false;
  Events events;
  std::string text;
};

Replay RunRecord(const std::string& recordPath) {
  Replay r;
  ut::TestWorker worker;
  ut::Recorder recorder;
  r.loaded = ut::RunReplay(worker, recorder, recordPath);
  r.events = recorder.events;
  r.text = worker.RecordText();
  return r;
}

TEST(FaultReplay, BinaryGarbageIsReplayedWithoutHarm) {
  const std::string dir = ut::FreshFolder("garbage");
  const Bystanders keep(dir);
  // Garbage with tags sown in, two of them naming real files to delete.
  std::string text = Garbage(1 << 20, 11);
  const std::string victim1 = dir + "\\victim1.bin", victim2 = dir + "\\victim2.bin";
  ut::WriteBytes(victim1, "x");
  ut::WriteBytes(victim2, "x");
  text.replace(1000, 40, "\nFile Copy: " + victim1 + "\n" + std::string(40, 'g'));
  text.replace(500000, 40, "\nMade Dir: C:\\nowhere\nFile Copy: " + victim2 + "\n");
  for (std::size_t at = 20000; at + 100 < text.size(); at += 65536) text.replace(at, 11, "RegDB Key: ");
  const std::string log = dir + "\\Uninstall.log";
  ASSERT_TRUE(ut::WriteRecord(log, text));

  const Replay r = RunRecord(log);
  ASSERT_TRUE(r.loaded);
  EXPECT_TRUE(EndsDone(r.events)) << "last event: " << (r.events.empty() ? "" : r.events.back());
  EXPECT_EQ(Count(r.events, "file "), record::CountEntries(r.text, record::kFileCopy)) << "one message per entry";
  EXPECT_FALSE(ut::Exists(victim1)) << "a named file is deleted";
  EXPECT_FALSE(ut::Exists(victim2));
  keep.ExpectAllThere();
}

TEST(FaultReplay, ARecordWithoutLineEndsTakesEachTagsRestAsOneValue) {
  const std::string dir = ut::FreshFolder("no line ends");
  const Bystanders keep(dir);
  const std::string log = dir + "\\Uninstall.log";
  // Without LF the value of the first entry of each kind is the whole rest
  // of the text. Each kind has its own pass and finds its tag anywhere: the
  // file and folder values name no file or folder, so nothing is deleted;
  // the key entry, last in the text, is a complete value and is replayed.
  ASSERT_TRUE(ut::WriteRecord(log, "File Copy: " + dir + "\\keep1.txt File Copy: " + dir + "\\keep2.dat Made Dir: " +
                                       dir + "\\empty RegDB Key: 1,Software\\FaultReplay"));
  ut::MakeKey(HKEY_CURRENT_USER, "Software\\FaultReplay");
  const Replay r = RunRecord(log);
  ASSERT_TRUE(r.loaded);
  EXPECT_TRUE(EndsDone(r.events));
  ASSERT_EQ(Count(r.events, "file "), 1);
  EXPECT_EQ(r.events[0], "file " + dir + "\\keep1.txt File Copy: " + dir + "\\keep2.dat Made Dir: " + dir +
                             "\\empty RegDB Key: 1,Software\\FaultReplay");
  keep.ExpectAllThere();
  EXPECT_FALSE(ut::KeyExists(HKEY_CURRENT_USER, "Software\\FaultReplay")) << "the key entry runs to the end";
}

TEST(FaultReplay, AMillionEntriesAreAllReplayed) {
  const std::string dir = ut::FreshFolder("million");
  const Bystanders keep(dir);
  // A million entries. Most are key entries that name no key (no comma, or
  // an empty sub-key), which the replay passes without a platform call, so
  // that the test stays short under Wine (a call costs about 150 us there);
  // 12,000 name files, folders and keys that are not there, and 3,000 at
  // the end are real.
  std::string text;
  text.reserve(24u << 20);
  int files = 0;
  for (int i = 0; i < 997000; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 250) {
      case 0: case 1: case 2: case 3: record::Append(text, record::kFileCopy, dir + "\\gone\\" + n), ++files; break;
      case 4: case 5: case 6: case 7: record::Append(text, record::kMadeDir, dir + "\\gone" + n); break;
      case 8: case 9: case 10: record::Append(text, record::kRegKey, "1,Software\\FaultReplay\\gone" + n); break;
      default: record::Append(text, record::kRegKey, i % 2 ? "9" : "1,"); break;
    }
  }
  for (int i = 0; i < 1000; ++i) {
    const std::string folder = dir + "\\real" + std::to_string(i);
    ut::MakeFolders(folder);
    ut::WriteBytes(folder + "\\f.txt", "f");
    record::Append(text, record::kMadeDir, folder);
    record::Append(text, record::kFileCopy, folder + "\\f.txt"), ++files;
    record::AppendKey(text, record::kCurrentUser, "Software\\FaultReplay\\k" + std::to_string(i));
    ut::MakeKey(HKEY_CURRENT_USER, "Software\\FaultReplay\\k" + std::to_string(i));
  }
  const std::string log = dir + "\\Uninstall.log";
  ASSERT_TRUE(ut::WriteRecord(log, text));
  ASSERT_EQ(record::CountEntries(text, record::kFileCopy) + record::CountEntries(text, record::kMadeDir) +
                record::CountEntries(text, record::kRegKey),
            1000000);

  const Replay r = RunRecord(log);
  ASSERT_TRUE(r.loaded);
  EXPECT_TRUE(EndsDone(r.events));
  EXPECT_EQ(Count(r.events, "file "), files);
  int left = 0;
  for (int i = 0; i < 1000; ++i) {
    left += ut::Exists(dir + "\\real" + std::to_string(i));
    left += ut::KeyExists(HKEY_CURRENT_USER, "Software\\FaultReplay\\k" + std::to_string(i));
  }
  EXPECT_EQ(left, 0) << "the real entries at the end were all replayed";
  keep.ExpectAllThere();
  ut::DeleteTree(HKEY_CURRENT_USER, "Software\\FaultReplay");
}

TEST(FaultReplay, LinesOfAHundredThousandBytesFailAloneAndTheNextEntryIsReplayed) {
  const std::string dir = ut::FreshFolder("long lines");
  const Bystanders keep(dir);
  const std::string longPath = dir + "\\" + std::string(100000, 'p');
  const std::string after = dir + "\\after.txt";
  ut::WriteBytes(after, "a");
  ut::MakeFolders(dir + "\\after");
  ut::MakeKey(HKEY_CURRENT_USER, "Software\\FaultReplay\\after");
  const std::string text = ut::Lines({
      "File Copy: " + longPath,
      "Reg Ctrl: " + longPath + ".ocx",
      "Made Dir: " + longPath,
      "RegDB Key: 1,Software\\" + std::string(100000, 'k'),
      "RegDB Key: " + std::string(100000, '7') + ",Software\\FaultReplay\\after",
      "File Copy: " + after,
      "Made Dir: " + dir + "\\after",
      "RegDB Key: 1,Software\\FaultReplay\\after",
  });
  const std::string log = dir + "\\Uninstall.log";
  ASSERT_TRUE(ut::WriteRecord(log, text));

  const Replay r = RunRecord(log);
  ASSERT_TRUE(r.loaded);
  EXPECT_TRUE(EndsDone(r.events));
  ASSERT_EQ(Count(r.events, "file "), 2);
  EXPECT_EQ(r.events[0], "file " + longPath) << "the long path reaches the dialog whole";
  EXPECT_FALSE(ut::Exists(after));
  EXPECT_FALSE(ut::Exists(dir + "\\after"));
  EXPECT_FALSE(ut::KeyExists(HKEY_CURRENT_USER, "Software\\FaultReplay\\after"));
  keep.ExpectAllThere();
  ut::DeleteTree(HKEY_CURRENT_USER, "Software\\FaultReplay");
}

TEST(FaultReplay, EntriesForPathsThatDoNotExistAreReportedAndPassed) {
  const std::string dir = ut::FreshFolder("missing paths");
  const Bystanders keep(dir);
  const std::string real = dir + "\\real.txt";
  ut::WriteBytes(real, "r");
  const std::string text = ut::Lines({
      "File Copy: " + dir + "\\no such file.txt",
      "File Copy: " + dir + "\\no such folder\\f.txt",
      "File Copy: Q:\\no such drive\\f.txt",
      "File Copy: " + dir + "\\empty",  // a folder named as a file
      "Reg Ctrl: " + dir + "\\no such control.ocx",
      "Reg Ctrl: Q:\\c.ocx",
      "Made Dir: " + dir + "\\no such folder",
      "Made Dir: Q:\\x",
      "RegDB Key: 1,Software\\FaultReplay\\no such key",
      "RegDB Key: 0,.no-such-extension-faults",
      "File Copy: " + real,
  });
  const std::string log = dir + "\\Uninstall.log";
  ASSERT_TRUE(ut::WriteRecord(log, text));
  const Replay r = RunRecord(log);
  ASSERT_TRUE(r.loaded);
  EXPECT_TRUE(EndsDone(r.events));
  EXPECT_EQ(Count(r.events, "file "), 5) << "every file entry is reported, there or not";
  EXPECT_FALSE(ut::Exists(real));
  keep.ExpectAllThere();
}

TEST(FaultReplay, KeyEntriesWithoutACommaOrWithUnknownRootsTouchNoOtherKey) {
  const std::string dir = ut::FreshFolder("keys");
  const char* const base = "Software\\FaultReplay";
  for (const char* k : {"A", "B", "C", "D", "E"}) ut::MakeKey(HKEY_CURRENT_USER, std::string(base) + "\\" + k);
  ut::MakeKey(HKEY_CURRENT_CONFIG, std::string(base) + "\\B");
  const std::string text = ut::Lines({
      "RegDB Key: 1" + std::string(base) + "\\A",       // no comma: no key
      "RegDB Key: 7," + std::string(base) + "\\B",      // unknown root: HKEY_CURRENT_CONFIG
      "RegDB Key: 1,",                                   // the root itself: left alone
      "RegDB Key: ",                                     // nothing at all
      "RegDB Key: 11," + std::string(base) + "\\D",     // two digits: unknown root
      "RegDB Key: 1," + std::string(base) + "\\C",      // the one real entry
      "RegDB Key: 1," + std::string(base),               // a key with subkeys stays
  });
  const std::string log = dir + "\\Uninstall.log";
  ASSERT_TRUE(ut::WriteRecord(log, text));
  const Replay r = RunRecord(log);
  ASSERT_TRUE(r.loaded);
  EXPECT_TRUE(EndsDone(r.events));
  EXPECT_TRUE(ut::KeyExists(HKEY_CURRENT_USER, std::string(base) + "\\A")) << "no comma";
  EXPECT_TRUE(ut::KeyExists(HKEY_CURRENT_USER, std::string(base) + "\\B")) << "the unknown root is not HKCU";
  EXPECT_FALSE(ut::KeyExists(HKEY_CURRENT_CONFIG, std::string(base) + "\\B")) << "deleted under HKEY_CURRENT_CONFIG";
  EXPECT_FALSE(ut::KeyExists(HKEY_CURRENT_USER, std::string(base) + "\\C"));
  EXPECT_TRUE(ut::KeyExists(HKEY_CURRENT_USER, std::string(base) + "\\D"));
  EXPECT_TRUE(ut::KeyExists(HKEY_CURRENT_USER, std::string(base) + "\\E"));
  EXPECT_TRUE(ut::KeyExists(HKEY_CURRENT_USER, "Software\\Wine")) << "HKCU itself untouched";
  ut::DeleteTree(HKEY_CURRENT_USER, base);
  ut::DeleteTree(HKEY_CURRENT_CONFIG, base);
}

}  // namespace

namespace {

// Setup records full paths only. A relative one (a damaged record) would
// name a file in whatever folder the uninstaller was started from, which
// from the Add/Remove Programs list is the system folder.
TEST(FaultReplay, RelativePathsInARecordDeleteNothingInTheCurrentFolder) {
  const std::string dir = ut::FreshFolder("relative");
  const std::string cwd = dir + "\\current";
  ut::MakeFolders(cwd + "\\sub");
  ut::MakeFolders(cwd + "\\emptydir");
  for (const char* name : {"\\victim.txt", "\\sub\\deep.txt", "\\control.ocx"}) ut::WriteBytes(cwd + name, "mine");
  const std::string full = dir + "\\full.txt";
  ut::WriteBytes(full, "recorded");
  const std::string text = ut::Lines({"File Copy: victim.txt", "File Copy: sub\\deep.txt", "File Copy: ..\\relative\\current\\victim.txt",
                                      "Reg Ctrl: control.ocx", "File Copy: \\卸载 测试\\relative\\current\\victim.txt",
                                      "Made Dir: emptydir", "File Copy: " + full});
  const std::string log = dir + "\\Uninstall.log";
  ASSERT_TRUE(ut::WriteRecord(log, text));
  char saved[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, saved);
  ASSERT_TRUE(::SetCurrentDirectoryA(cwd.c_str()));
  const Replay r = RunRecord(log);
  ::SetCurrentDirectoryA(saved);
  ASSERT_TRUE(r.loaded);
  EXPECT_TRUE(EndsDone(r.events));
  EXPECT_EQ(Count(r.events, "file "), 5) << "every entry is still reported";
  for (const char* name : {"\\victim.txt", "\\sub\\deep.txt", "\\control.ocx"})
    EXPECT_EQ(ut::ReadBytes(cwd + name), "mine") << name << " was not recorded by any installation";
  EXPECT_TRUE(ut::IsFolder(cwd + "\\emptydir")) << "an empty folder of the current folder stays";
  EXPECT_FALSE(ut::Exists(full)) << "a full path is replayed";
}

}  // namespace
