// Loading the install record: text mode, and every record that cannot be
// taken whole (file error, too large, not text) ends in a box and
// WM_UNINSTALL_FAILED, with nothing replayed.
#include <gtest/gtest.h>

#include <thread>

#include "framework/App.h"
#include "framework/Handles.h"
#include "install/InstallRecord.h"
#include "tests/ui/UiTest.h"
#include "tests/wine/uninstall/ReplayHarness.h"
#include "tests/wine/uninstall/UninstallTestSupport.h"

namespace {

using Events = std::vector<std::string>;

// Loads the record on this thread while another answers the box it shows.
struct LoadOutcome {
  bool loaded = false;
  ui::MessageBoxInfo box;
  bool exclamation = false;
  Events events;
  std::string text;
};

LoadOutcome LoadExpectingBox(const std::string& path) {
  LoadOutcome out;
  ut::TestWorker worker;
  ut::Recorder recorder;
  std::thread driver([&] {
    out.box = ui::WaitForMessageBox(::GetCurrentProcessId());
    if (!out.box.window) return;
    out.exclamation = ui::MessageBoxShowsIcon(out.box, IDI_EXCLAMATION);
    ui::Answer(out.box, IDOK);
  });
  worker.m_pMainWnd = &recorder;
  out.loaded = worker.LoadRecord(path);
  driver.join();
  recorder.DispatchPosted();
  out.events = recorder.events;
  out.text = worker.RecordText();
  return out;
}

TEST(UninstallLoad, TextModeTurnsCrLfIntoLfAndKeepsALoneCr) {
  const std::string dir = ut::FreshFolder("load text");
  const std::string log = dir + "\\Uninstall.log";
  ASSERT_TRUE(ut::WriteRecord(log, "File Copy: C:\\a b\\c.txt\r\nMade Dir: C:\\a b\r\nFile Copy: C:\\x\ry\r\n"));
  ut::TestWorker worker;
  ASSERT_TRUE(worker.LoadRecord(log));
  EXPECT_EQ(worker.RecordText(), "File Copy: C:\\a b\\c.txt\nMade Dir: C:\\a b\nFile Copy: C:\\x\ry\n");
  EXPECT_EQ(worker.CountEntries(record::kFileCopy), 2);
  EXPECT_EQ(worker.CountEntries(record::kMadeDir), 1);
  EXPECT_EQ(worker.CountEntries(record::kRegKey), 0);
  std::size_t position = 0, start = 0, length = 0;
  ASSERT_TRUE(worker.NextEntry(record::kFileCopy, position, start, length));
  EXPECT_EQ(worker.RecordText().substr(start, length), "C:\\a b\\c.txt") << "value without CR";
}

TEST(UninstallLoad, AMissingOrLockedRecordGivesTheFileErrorBoxAndTheFailureMessage) {
  const std::string dir = ut::FreshFolder("load errors");
  const std::string missing = dir + "\\Uninstall.log";
  LoadOutcome out = LoadExpectingBox(missing);
  EXPECT_FALSE(out.loaded);
  EXPECT_EQ(out.box.caption, AfxGetAppName()) << "the application's name";
  EXPECT_EQ(out.box.text.find("访问文件 " + missing + " 时出错"), 0u) << out.box.text;
  EXPECT_TRUE(out.box.Has(IDOK));
  EXPECT_EQ(out.events, (Events{"failed"}));

  const std::string locked = dir + "\\locked.log";
  ASSERT_TRUE(ut::WriteRecord(locked, "File Copy: C:\\x.txt\r\n"));
  ScopedFile holder(::CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  out = LoadExpectingBox(locked);
  EXPECT_FALSE(out.loaded);
  EXPECT_EQ(out.box.text.find("访问文件 " + locked + " 时出错"), 0u) << out.box.text;
  EXPECT_EQ(out.events, (Events{"failed"}));

  const std::string folder = dir + "\\folder.log";
  ut::MakeFolders(folder);
  out = LoadExpectingBox(folder);
  EXPECT_FALSE(out.loaded) << "a folder named like the record";
  EXPECT_EQ(out.events, (Events{"failed"}));
}

TEST(UninstallLoad, ARecordOverTheLimitIsRefusedWithAClearMessage) {
  const std::string dir = ut::FreshFolder("load large");
  const std::string log = dir + "\\Uninstall.log";
  {
    ScopedFile file(::CreateFileA(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    LARGE_INTEGER size;
    size.QuadPart = static_cast<LONGLONG>(CUninstallThread::kMaxRecordBytes) + 1;
    ASSERT_TRUE(::SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file.get()));
  }
  const LoadOutcome out = LoadExpectingBox(log);
  EXPECT_FALSE(out.loaded);
  EXPECT_EQ(out.box.text, "文件 " + log + " 太大(64 MB), 不是本软件的安装记录, 无法读入。");
  EXPECT_TRUE(out.exclamation);
  EXPECT_EQ(out.events, (Events{"failed"}));
  EXPECT_TRUE(out.text.empty());
}

TEST(UninstallLoad, ARecordWithANulIsRefusedAndNothingItNamesIsTouched) {
  const std::string dir = ut::FreshFolder("load nul");
  const std::string victim = dir + "\\victim.txt", log = dir + "\\Uninstall.log";
  ut::WriteBytes(victim, "keep me");
  // Cut at the NUL, the second entry would name victim.txt.
  const std::string bytes = "File Copy: " + dir + "\\a.txt\r\nFile Copy: " + victim + std::string(1, '\0') + "x\r\n";
  ASSERT_TRUE(ut::WriteRecord(log, bytes));
  const LoadOutcome out = LoadExpectingBox(log);
  EXPECT_FALSE(out.loaded);
  EXPECT_EQ(out.box.text, "文件 " + log + " 含有非文本内容, 不是本软件的安装记录, 无法读入。");
  EXPECT_EQ(out.events, (Events{"failed"}));
  EXPECT_TRUE(ut::Exists(victim));
}

}  // namespace
