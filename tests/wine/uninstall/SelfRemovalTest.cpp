// The self-removal batch for real: written into a new folder under the
// Windows folder's Temp, run hidden by the system's command interpreter, it
// waits for the program file to become deletable, then removes it, its
// folder when empty, itself and its own folder.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

#include "framework/Handles.h"
#include "tests/ui/UiTest.h"
#include "tests/wine/uninstall/ReplayHarness.h"
#include "tests/wine/uninstall/UninstallTestSupport.h"
#include "uninstall/BatchText.h"
#include "uninstall/SelfRemoval.h"

namespace {

constexpr DWORD kBatchTimeout = 90000;

void NormalPriorities() {
  ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  ::SetPriorityClass(::GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}

// Held open without delete sharing, as a running program's file is.
ScopedFile HoldOpen(const std::string& path) {
  return ScopedFile(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
}

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

// "<parent>\DelUS-<32 hex digits>\DelUS.bat"
void ExpectBatchUnder(const std::string& parent, const std::string& batch) {
  const std::string prefix = parent + "\\DelUS-";
  ASSERT_EQ(batch.compare(0, prefix.size(), prefix), 0) << batch;
  const std::string rest = batch.substr(prefix.size());
  ASSERT_EQ(rest.size(), 32 + std::string("\\DelUS.bat").size()) << batch;
  EXPECT_EQ(rest.find_first_not_of("0123456789abcdef"), 32u) << batch;
  EXPECT_EQ(rest.substr(32), "\\DelUS.bat");
}

bool NothingOfTheBatchLeft(const std::string& batch) {
  return !ut::Exists(batch) && !ut::Exists(FolderOf(batch)) && ut::BatchFolders().empty();
}

TEST(SelfRemoval, TheBatchWaitsForTheProgramThenRemovesItItsFolderAndItself) {
  const std::string dir = ut::FreshFolder("自删 程序");
  const std::string program = dir + "\\Uninstall.exe";
  ASSERT_TRUE(ut::WriteBytes(program, "program"));
  const DWORD protecting = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(::SetFileAttributesA(program.c_str(), protecting));
  ScopedFile running = HoldOpen(program);
  ASSERT_TRUE(running);

  std::string batch;
  ASSERT_EQ(selfremoval::WriteAndStart(program, selfremoval::DefaultPlacement(), &batch),
            selfremoval::Outcome::started);
  ExpectBatchUnder(ut::WindowsTemp(), batch);
  EXPECT_EQ(ut::ReadBytes(batch), selfremoval::BatchText(program, batch)) << "the batch's bytes";
  // Wine's del takes hidden and system files, Windows' skips them.
  EXPECT_EQ(::GetFileAttributesA(program.c_str()) & protecting, 0u) << "read-only, hidden and system cleared";
  EXPECT_TRUE(ut::Exists(program)) << "deleted while still open";
  EXPECT_EQ(::GetPriorityClass(::GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  EXPECT_EQ(::GetThreadPriority(::GetCurrentThread()), THREAD_PRIORITY_TIME_CRITICAL);
  NormalPriorities();

  running.reset();
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(program); }, kBatchTimeout)) << "program file";
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(dir); }, kBatchTimeout)) << "empty program folder";
  EXPECT_TRUE(ui::WaitUntil([&] { return NothingOfTheBatchLeft(batch); }, kBatchTimeout)) << "the batch and its folder";
}

// cmd expands '%' in a batch line: "del "D:\100% 工程\..."" would name
// another file, and the program would stay.
TEST(SelfRemoval, AFolderWithAPercentSignOnDriveDGoesToo) {
  const std::string dir = "D:\\100% 工程\\Terrasum";
  ut::RemoveTree("D:\\100% 工程");
  ut::MakeFolders(dir);
  const std::string program = dir + "\\Uninstall.exe";
  ASSERT_TRUE(ut::WriteBytes(program, "program"));
  ASSERT_TRUE(::SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_HIDDEN));
  ScopedFile running = HoldOpen(program);
  std::string batch;
  ASSERT_EQ(selfremoval::WriteAndStart(program, selfremoval::DefaultPlacement(), &batch),
            selfremoval::Outcome::started);
  NormalPriorities();
  EXPECT_EQ(ut::ReadBytes(batch), selfremoval::BatchTextByVariables()) << "paths through the environment";
  running.reset();
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(dir); }, kBatchTimeout)) << "program file and folder";
  EXPECT_TRUE(ui::WaitUntil([&] { return NothingOfTheBatchLeft(batch); }, kBatchTimeout));
  ut::RemoveTree("D:\\100% 工程");
}

// Another user of the machine rewrites, in place, every batch that appears
// where he may write: the roots of the drives (D: is the uninstaller's
// current drive here, as the Start menu's shortcut makes it) and the temp
// folder. An older "\DelUS.bat" of his lies in D:'s root.
class BatchRewriter {
 public:
  BatchRewriter() : thread_([this] { Run(); }) {}
  ~BatchRewriter() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  // Valid after Stop.
  const std::set<std::string>& seen() const { return seen_; }

 private:
  void Run() {
    while (!stop_) {
      for (const std::string& folder : {std::string("C:"), std::string("D:"), ut::TempFolder()}) RewriteIn(folder);
      ::Sleep(5);
    }
  }
  void RewriteIn(const std::string& folder) {
    WIN32_FIND_DATAA data;
    ScopedFind find(::FindFirstFileA((folder + "\\*.bat").c_str(), &data));
    if (!find) return;
    do {
      const std::string path = folder + "\\" + data.cFileName;
      seen_.insert(path);
      ScopedFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
      if (!file) continue;
      const std::string mine = ":Repeat\r\necho ran > C:\\rewritten.txt\r\n" + std::string(200, ' ') + "\r\n";
      DWORD written = 0;
      ::WriteFile(file.get(), mine.data(), static_cast<DWORD>(mine.size()), &written, nullptr);
    } while (::FindNextFileA(find.get(), &data));
  }
  std::atomic<bool> stop_{false};
  std::set<std::string> seen_;
  std::thread thread_;
};

TEST(SelfRemoval, NoBatchInReachOfOtherUsersAndAnOlderOneIsNeitherOpenedNorRun) {
  const std::string dir = "D:\\Soft Ware\\Terrasum";
  ut::RemoveTree("D:\\Soft Ware");
  ut::MakeFolders(dir);
  const std::string program = dir + "\\Uninstall.exe", marker = "C:\\rewritten.txt", old = "D:\\DelUS.bat";
  ::DeleteFileA(marker.c_str());
  ASSERT_TRUE(ut::WriteBytes(program, "program"));
  ASSERT_TRUE(ut::WriteBytes(old, "@echo older > C:\\rewritten.txt\r\n"));
  char before[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, before);
  ASSERT_TRUE(::SetCurrentDirectoryA(dir.c_str()));
  ScopedFile running = HoldOpen(program);
  BatchRewriter rewriter;
  std::string batch;
  const selfremoval::Outcome outcome = selfremoval::WriteAndStart(program, selfremoval::DefaultPlacement(), &batch);
  NormalPriorities();
  ::SetCurrentDirectoryA(before);
  ASSERT_EQ(outcome, selfremoval::Outcome::started);
  // The batch loops meanwhile, and the rewriter goes round many times.
  ::Sleep(1500);
  running.reset();
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(dir); }, kBatchTimeout)) << "program file and folder";
  EXPECT_TRUE(ui::WaitUntil([&] { return NothingOfTheBatchLeft(batch); }, kBatchTimeout));
  rewriter.Stop();
  EXPECT_FALSE(ut::Exists(marker)) << "a rewritten batch ran";
  EXPECT_EQ(rewriter.seen(), std::set<std::string>{old}) << "batches within the rewriter's reach";
  EXPECT_TRUE(ut::Exists(old)) << "the older batch was deleted, so it was run";
  ::DeleteFileA(old.c_str());
  ::DeleteFileA(marker.c_str());
  ut::RemoveTree("D:\\Soft Ware");
}

TEST(SelfRemoval, AForeignFileKeepsTheProgramFolder) {
  const std::string dir = ut::FreshFolder("foreign");
  const std::string program = dir + "\\Uninstall.exe", foreign = dir + "\\notes.txt";
  ut::WriteBytes(program, "program");
  ut::WriteBytes(foreign, "mine");
  std::string batch;
  ASSERT_EQ(selfremoval::WriteAndStart(program, selfremoval::DefaultPlacement(), &batch),
            selfremoval::Outcome::started);
  NormalPriorities();
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(program) && NothingOfTheBatchLeft(batch); }, kBatchTimeout));
  EXPECT_TRUE(ut::Exists(foreign));
  EXPECT_TRUE(ut::IsFolder(dir));
}

// Where the protected place takes no folder with its descriptor (here: it
// does not exist; on Windows: a process without administrators' rights),
// the batch goes to the process's temporary folder.
TEST(SelfRemoval, TheFallbackPlaceServesWhenTheProtectedOneRefuses) {
  const std::string dir = ut::FreshFolder("fallback");
  const std::string program = dir + "\\Uninstall.exe";
  ut::WriteBytes(program, "program");
  std::string batch;
  ASSERT_EQ(selfremoval::WriteAndStart(program, {"C:\\no such parent", ut::TempFolder()}, &batch),
            selfremoval::Outcome::started);
  NormalPriorities();
  ExpectBatchUnder(ut::TempFolder(), batch);
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(dir) && NothingOfTheBatchLeft(batch); }, kBatchTimeout));
}

TEST(SelfRemoval, NoPlaceForTheBatchMeansNothingStarts) {
  const std::string dir = ut::FreshFolder("no batch");
  const std::string program = dir + "\\Uninstall.exe";
  ut::WriteBytes(program, "program");
  EXPECT_EQ(selfremoval::WriteAndStart(program, {"C:\\no such parent", "C:\\no such either"}),
            selfremoval::Outcome::noBatchFile);
  EXPECT_TRUE(ut::Exists(program));
  EXPECT_EQ(::GetPriorityClass(::GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

TEST(SelfRemoval, EveryBatchFolderIsNewAndNamedByChance) {
  const selfremoval::Placement placement = selfremoval::DefaultPlacement();
  const std::string first = selfremoval::MakeBatchFolder(placement);
  const std::string second = selfremoval::MakeBatchFolder(placement);
  EXPECT_TRUE(ut::IsFolder(first)) << first;
  EXPECT_TRUE(ut::IsFolder(second)) << second;
  EXPECT_NE(first, second);
  ExpectBatchUnder(ut::WindowsTemp(), first + "\\DelUS.bat");
  ::RemoveDirectoryA(first.c_str());
  ::RemoveDirectoryA(second.c_str());
}

}  // namespace
