// Complete runs of the install worker on real drives: what lands where, with
// which attributes, which messages the page sees, and the record's bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "framework/StdioFile.h"
#include "install/InstallRecord.h"
#include "tests/wine/install/InstallHarness.h"

namespace {

using namespace installtest;

std::string ExpectedRecord(const std::string& source, const std::string& install) {
  std::string text;
  for (const std::string& name : CSetupThread::Folders()) text += ExpectedFolderRecord(source + name, install + name);
  return text + ExpectedTopRecord(source, install) + ExpectedRegistrationRecord(install) + "File Copy: " + install +
         "Uninstall.log\n";
}

bool IsPlain(DWORD attributes) { return attributes == 0 || attributes == FILE_ATTRIBUTE_NORMAL; }

TEST(InstallRun, CompleteRunCopiesRecordsAndReports) {
  const std::string source = "E:\\full\\", install = "C:\\Program Files\\Kelvarin\\Terrasum\\";
  MakeMedium(source);
  ASSERT_TRUE(Attributes(source + "Support\\a.arx") & FILE_ATTRIBUTE_READONLY) << "read-only on the medium";
  CSetupThread worker;
  TestPage page;
  PromptDriver driver({});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  EXPECT_EQ(r.exitCode, 0u) << "thread exit code";
  EXPECT_TRUE(driver.extra.empty()) << "no prompt in a complete run; first: "
                                    << (driver.extra.empty() ? "" : driver.extra[0].text);
  // Messages: one WM_SETUP_FILE per file and subfolder, then FINISHING, DONE.
  const int entries = CountFolderEntries(source);
  EXPECT_EQ(entries, 8) << "entries of the sample medium's five folders";
  std::vector<UINT> kinds(entries, WM_SETUP_FILE);
  kinds.push_back(WM_SETUP_FINISHING);
  kinds.push_back(WM_SETUP_DONE);
  EXPECT_EQ(page.Kinds(), kinds);

  // Every entry reported once, with its source and target; files copied.
  std::map<std::string, int> reported;
  for (const Seen& s : page.seen) {
    if (s.msg != WM_SETUP_FILE) continue;
    ++reported[s.target];
    ASSERT_EQ(s.source.compare(0, source.size(), source), 0) << s.source;
    EXPECT_EQ(s.target, install + s.source.substr(source.size())) << "target mirrors source";
    if (IsFolder(s.source)) {
      EXPECT_TRUE(IsFolder(s.target)) << s.target;
    } else {
      EXPECT_EQ(Slurp(s.target), Slurp(s.source)) << s.target;
      EXPECT_TRUE(IsPlain(Attributes(s.target))) << s.target << " attributes " << Attributes(s.target);
    }
  }
  for (const auto& [target, n] : reported) EXPECT_EQ(n, 1) << target;
  EXPECT_TRUE(reported.count(install + "Support\\sub\\c.dwg")) << "read-only hidden file of a subfolder";
  EXPECT_TRUE(reported.count(install + "Support\\empty")) << "empty subfolder reported after its (no) content";
  EXPECT_TRUE(IsFolder(install + "Temp")) << "empty distribution folder made";

  // Top level: everything but the setup program, the picture folder stays behind.
  for (const char* name : {"Uninstall.exe", "Terrasum.exe", "Kelvarin.url", "readme.txt", "TerrasumV8.0.ICO"})
    EXPECT_EQ(Slurp(install + name), Slurp(source + name)) << name;
  EXPECT_FALSE(Exists(install + "SETUP.EXE")) << "setup program skipped in any letter case";
  EXPECT_FALSE(Exists(install + "安装界面")) << "other subfolders are not copied";
  EXPECT_EQ(Attributes(install + "TerrasumV8.0.ICO"), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN))
      << "icon hidden alone";

  // The record: exact bytes, CR LF on disk, hidden.
  const std::string expected = ExpectedRecord(source, install);
  EXPECT_EQ(worker.RecordText(), expected);
  EXPECT_EQ(Slurp(install + "Uninstall.log"), CrLf(expected));
  EXPECT_EQ(Attributes(install + "Uninstall.log"), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(expected.find("SETUP.EXE"), std::string::npos) << "setup program not recorded";
  EXPECT_EQ(expected.find("Made Dir: C:\\Program Files\\Kelvarin\\Terrasum\n"), std::string::npos)
      << "the install folder itself is not recorded";
}

TEST(InstallRun, TopLevelReadOnlyFileKeepsItsAttribute) {
  const std::string source = "E:\\attr\\", install = "C:\\attr\\";
  MakeMedium(source);
  CSetupThread worker;
  TestPage page;
  PromptDriver driver({});
  RunWorker(worker, page, source, install);
  driver.Stop();
  ASSERT_TRUE(Attributes(source + "readme.txt") & FILE_ATTRIBUTE_READONLY) << "read-only on the medium";
  EXPECT_EQ(Attributes(install + "readme.txt") & FILE_ATTRIBUTE_READONLY,
            Attributes(source + "readme.txt") & FILE_ATTRIBUTE_READONLY)
      << "top-level copies keep what the copy gave them";
  EXPECT_TRUE(IsPlain(Attributes(install + "Support\\a.arx"))) << "folder copies are made normal";
}

// Reads a file whole through the framework's text mode.
std::string ReadText(const std::string& path) {
  CStdioFile file(path, CStdioFile::modeRead | CStdioFile::typeText);
  std::string text;
  char buf[100];  // small, so that CR LF pairs fall across reads
  for (UINT n; (n = file.Read(buf, sizeof buf)) > 0;) text.append(buf, n);
  return text;
}

std::vector<std::string> Values(const std::string& text, int kind) {
  std::vector<std::string> out;
  std::size_t pos = 0, start = 0, len = 0;
  while (record::NextEntry(text, kind, pos, start, len)) out.push_back(text.substr(start, len));
  return out;
}

TEST(InstallRun, WrittenRecordReadsBackTheSameWithCrLfOrLf) {
  const std::string source = "E:\\back\\", install = "C:\\back\\";
  MakeMedium(source);
  CSetupThread worker;
  TestPage page;
  PromptDriver driver({});
  RunWorker(worker, page, source, install);
  driver.Stop();

  const std::string path = install + "Uninstall.log";
  const std::string fromCrLf = ReadText(path);
  EXPECT_EQ(fromCrLf, worker.RecordText()) << "text mode gives back the record text";
  std::string lfOnly = Slurp(path);
  lfOnly.erase(std::remove(lfOnly.begin(), lfOnly.end(), '\r'), lfOnly.end());
  Put("C:\\back\\lf.log", lfOnly);
  const std::string fromLf = ReadText("C:\\back\\lf.log");
  for (int kind = 0; kind < record::kKindCount; ++kind)
    EXPECT_EQ(Values(fromLf, kind), Values(fromCrLf, kind)) << "kind " << kind;

  const std::vector<std::string> folders = Values(fromCrLf, record::kMadeDir);
  EXPECT_EQ(folders.size(), 7u) << "five folders and two subfolders";
  EXPECT_EQ(folders.front(), install + "Support");
  EXPECT_EQ(Values(fromCrLf, record::kFileCopy).back(), path) << "the record lists itself last";
  EXPECT_EQ(record::CountEntries(fromCrLf, record::kFileCopy), 6 + 5 + 1) << "folder files, top files, itself";
  EXPECT_EQ(record::CountEntries(fromCrLf, record::kRegCtrl), 1) << "the one control";
  EXPECT_EQ(record::CountEntries(fromCrLf, record::kRegKey), 2) << "the two product keys";
}

TEST(InstallRun, ARecordOfManyPiecesIsWrittenByteForByte) {
  // Larger than the pieces the record is written in, with double-byte
  // characters across the piece boundaries.
  CSetupThread worker;
  worker.m_installFolder = "C:\\many\\";
  ASSERT_TRUE(::CreateDirectoryA("C:\\many", nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
  for (int i = 0; i < 5000; ++i)
    worker.RecordFile("C:\\many\\图框\\子目录\\文件" + std::to_string(i) + ".dwg");
  ASSERT_GT(worker.RecordText().size(), 3u * 64 * 1024);
  ASSERT_TRUE(worker.WriteRecord());
  const std::string written = Slurp("C:\\many\\Uninstall.log");
  EXPECT_EQ(written.size(), CrLf(worker.RecordText()).size());
  EXPECT_TRUE(written == CrLf(worker.RecordText())) << "the record's bytes with CR LF line ends";
  EXPECT_EQ(ReadText("C:\\many\\Uninstall.log"), worker.RecordText());
}

TEST(InstallRun, SecondRunReplacesTheRecord) {
  const std::string source = "E:\\again\\", install = "C:\\again\\";
  MakeMedium(source);
  {
    CSetupThread first;
    TestPage page;
    PromptDriver driver({});
    RunWorker(first, page, source, install);
  }
  ASSERT_TRUE(Exists(install + "Uninstall.log")) << "first record";
  // The second medium differs: one file fewer, one more, the setup program in another case.
  ::DeleteFileA((source + "Support\\b.lsp").c_str());
  Put(source + "Data\\e.dat", "e");
  ::MoveFileA((source + "SETUP.EXE").c_str(), (source + "Setup.Exe").c_str());

  CSetupThread second;
  TestPage page;
  PromptDriver driver({});
  const RunResult r = RunWorker(second, page, source, install);
  driver.Stop();
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(driver.extra.empty()) << "no prompt over an existing installation";
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE);
  const std::string expected = ExpectedRecord(source, install);
  EXPECT_EQ(expected.find("b.lsp"), std::string::npos);
  EXPECT_NE(expected.find("Data\\e.dat"), std::string::npos);
  EXPECT_EQ(Slurp(install + "Uninstall.log"), CrLf(expected)) << "only the second run's entries";
  EXPECT_EQ(Attributes(install + "Uninstall.log"), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
  EXPECT_FALSE(Exists(install + "Setup.Exe"));
}

// A first installation from a disc leaves its top-level files read-only and
// the icon hidden; Windows refuses to copy over either kind. A reinstallation
// must still put the medium's files in place, with the medium's attributes.
TEST(InstallRun, SecondRunReplacesReadOnlyAndHiddenFiles) {
  const std::string source = "E:\\over\\", install = "C:\\over\\";
  MakeMedium(source);
  {
    CSetupThread first;
    TestPage page;
    PromptDriver driver({});
    RunWorker(first, page, source, install);
  }
  const std::vector<std::pair<std::string, DWORD>> older = {
      {"readme.txt", FILE_ATTRIBUTE_READONLY},
      {"Terrasum.exe", FILE_ATTRIBUTE_READONLY},
      {"TerrasumV8.0.ICO", FILE_ATTRIBUTE_HIDDEN},
      {"Support\\b.lsp", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN},
  };
  for (const auto& [name, attributes] : older) {
    ::SetFileAttributesA((install + name).c_str(), FILE_ATTRIBUTE_NORMAL);
    Put(install + name, "an older release");
    ASSERT_TRUE(::SetFileAttributesA((install + name).c_str(), attributes)) << name;
    ASSERT_EQ(Attributes(install + name), attributes) << name;
  }

  CSetupThread second;
  TestPage page;
  PromptDriver driver({});
  RunWorker(second, page, source, install);
  driver.Stop();
  EXPECT_TRUE(driver.extra.empty()) << "no prompt";
  for (const auto& [name, attributes] : older) EXPECT_EQ(Slurp(install + name), Slurp(source + name)) << name;
  // A copy over an existing file takes the source's attributes on Windows;
  // Wine keeps the target's, so the read-only readme's are not compared.
  EXPECT_TRUE(IsPlain(Attributes(install + "Terrasum.exe"))) << "plain, as on the medium: "
                                                             << Attributes(install + "Terrasum.exe");
  EXPECT_EQ(Attributes(install + "TerrasumV8.0.ICO"), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN)) << "icon hidden alone";
  EXPECT_TRUE(IsPlain(Attributes(install + "Support\\b.lsp"))) << "folder copies are made normal: "
                                                               << Attributes(install + "Support\\b.lsp");
}

TEST(InstallRun, AFolderWhoseNameEndsInTrailByte5CIsCopiedOnce) {
  // "誠" is D5 5C in code page 936: "忠誠" and "誠" end with a byte that
  // equals a backslash.
  const std::string source = "E:\\trail\\", install = "C:\\trail\\";
  MakeMedium(source);
  Put(source + "Data\\忠誠\\内容.txt", "忠誠的内容");
  Put(source + "Data\\忠誠\\誠\\深.dat", "deep");
  CSetupThread worker;
  TestPage page;
  PromptDriver driver({});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_TRUE(driver.extra.empty()) << "no prompt; first: " << (driver.extra.empty() ? "" : driver.extra[0].text);
  ASSERT_FALSE(page.seen.empty());
  EXPECT_EQ(page.seen.back().msg, WM_SETUP_DONE);
  EXPECT_EQ(Slurp(install + "Data\\忠誠\\内容.txt"), "忠誠的内容");
  EXPECT_EQ(Slurp(install + "Data\\忠誠\\誠\\深.dat"), "deep");
  EXPECT_FALSE(Exists(install + "Data\\忠誠忠誠")) << "the folder copied into itself";
  EXPECT_FALSE(Exists(install + "Data\\忠誠\\誠誠"));
  EXPECT_EQ(page.Count(WM_SETUP_FILE), CountFolderEntries(source)) << "each entry reported once";
  // Recorded as any other folder: once, with its content after it.
  const std::string expected = ExpectedRecord(source, install);
  EXPECT_NE(expected.find("Made Dir: " + install + "Data\\忠誠\n"), std::string::npos);
  EXPECT_NE(expected.find("File Copy: " + install + "Data\\忠誠\\誠\\深.dat\n"), std::string::npos);
  EXPECT_EQ(worker.RecordText(), expected);
}

TEST(InstallRun, FindFilesListsPlainFilesOfThatFolderOnly) {
  Put("E:\\find\\one.txt");
  Put("E:\\find\\two.ocx");
  MakeFolders("E:\\find\\sub.ocx");
  Put("E:\\here\\stray.ocx");
  ASSERT_TRUE(::SetCurrentDirectoryA("E:\\here"));
  CSetupThread worker;
  std::vector<std::string> names{"left over"};
  worker.FindFiles("E:\\find\\", "*.ocx", names);
  EXPECT_EQ(names, std::vector<std::string>{"two.ocx"}) << "no folders, no other pattern";
  worker.FindFiles("E:\\find", "*.*", names);
  EXPECT_EQ(names.size(), 2u) << "folder without its backslash";
  // A folder that does not exist lists nothing, not the current directory's files.
  worker.FindFiles("E:\\absent\\", "*.ocx", names);
  EXPECT_TRUE(names.empty()) << "first: " << (names.empty() ? "" : names[0]);
  char current[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, current);
  EXPECT_STREQ(current, "E:\\here") << "current directory untouched";
  ::SetCurrentDirectoryA("C:\\");
}

TEST(InstallRun, RecordersUseTheRecordFormat) {
  CSetupThread worker;
  worker.RecordFolder("D:\\T\\Support");
  worker.RecordFile("D:\\T\\Support\\a.arx");
  worker.RecordControl("D:\\T\\Controls\\b.ocx");
  worker.RecordKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kelvarin\\Terrasum\\V8");
  worker.RecordKey(HKEY_CLASSES_ROOT, "a");
  worker.RecordKey(HKEY_CURRENT_USER, "b");
  worker.RecordKey(HKEY_USERS, "c");
  worker.RecordKey(HKEY_CURRENT_CONFIG, "d");
  EXPECT_EQ(worker.RecordText(),
            "Made Dir: D:\\T\\Support\n"
            "File Copy: D:\\T\\Support\\a.arx\n"
            "Reg Ctrl: D:\\T\\Controls\\b.ocx\n"
            "RegDB Key: 2,SOFTWARE\\Kelvarin\\Terrasum\\V8\n"
            "RegDB Key: 0,a\nRegDB Key: 1,b\nRegDB Key: 3,c\nRegDB Key: 4,d\n");
}

}  // namespace
