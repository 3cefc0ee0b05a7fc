// The self-removal batch for real: written to the root of the current drive,
// run hidden by the command interpreter, it waits for the program file to
// become deletable, then removes it, its folder when empty, and itself.
#include <gtest/gtest.h>

#include "framework/Handles.h"
#include "tests/ui/UiTest.h"
#include "tests/wine/uninstall/ReplayHarness.h"
#include "tests/wine/uninstall/UninstallTestSupport.h"
#include "uninstall/BatchText.h"
#include "uninstall/SelfRemoval.h"

namespace {

const char kBatch[] = "C:\\DelUS.bat";  // "\DelUS.bat" with C:\ as the current folder
constexpr DWORD kBatchTimeout = 90000;

TEST(SelfRemoval, TheBatchWaitsForTheProgramThenRemovesItItsFolderAndItself) {
  const std::string dir = ut::FreshFolder("自删 程序");
  const std::string program = dir + "\\Uninstall.exe";
  ASSERT_TRUE(ut::WriteBytes(program, "program"));
  ASSERT_TRUE(::SetFileAttributesA(program.c_str(), FILE_ATTRIBUTE_READONLY));
  // An older, longer batch of an earlier run is replaced whole.
  ASSERT_TRUE(ut::WriteBytes(kBatch, std::string(2000, 'x')));
  // Held open without delete sharing, as a running program's file is.
  ScopedFile running(::CreateFileA(program.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(running);

  ASSERT_EQ(selfremoval::WriteAndStart(program, selfremoval::kBatchPath), selfremoval::Outcome::started);
  EXPECT_EQ(ut::ReadBytes(kBatch), selfremoval::BatchText(program, "\\DelUS.bat")) << "the batch's bytes";
  EXPECT_EQ(::GetFileAttributesA(program.c_str()) & FILE_ATTRIBUTE_READONLY, 0u) << "read-only cleared";
  EXPECT_TRUE(ut::Exists(program)) << "deleted while still open";
  EXPECT_EQ(::GetPriorityClass(::GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
  EXPECT_EQ(::GetThreadPriority(::GetCurrentThread()), THREAD_PRIORITY_TIME_CRITICAL);
  ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  ::SetPriorityClass(::GetCurrentProcess(), NORMAL_PRIORITY_CLASS);

  running.reset();
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(program); }, kBatchTimeout)) << "program file";
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(dir); }, kBatchTimeout)) << "empty program folder";
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(kBatch); }, kBatchTimeout)) << "the batch itself";
}

// Windows refuses to create a file anew over a hidden, system or read-only
// one unless the same attributes are asked for. Wine 8 refuses none of them
// as root (it even keeps the old attributes), so what shows here is the
// batch that the older attributes would leave behind.
TEST(SelfRemoval, AnOlderHiddenSystemReadOnlyBatchIsReplaced) {
  const std::string dir = ut::FreshFolder("old batch");
  const std::string program = dir + "\\Uninstall.exe";
  ut::WriteBytes(program, "program");
  const DWORD old = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY;
  ASSERT_TRUE(ut::WriteBytes(kBatch, "@rem older"));
  ASSERT_TRUE(::SetFileAttributesA(kBatch, old));
  ASSERT_EQ(::GetFileAttributesA(kBatch) & old, old);

  ASSERT_EQ(selfremoval::WriteAndStart(program, selfremoval::kBatchPath), selfremoval::Outcome::started);
  const DWORD attributes = ::GetFileAttributesA(kBatch);
  EXPECT_EQ(ut::ReadBytes(kBatch), selfremoval::BatchText(program, "\\DelUS.bat")) << "the batch's bytes";
  ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  ::SetPriorityClass(::GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  EXPECT_EQ(attributes & old, 0u) << "attributes of the new batch " << attributes;
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(program); }, kBatchTimeout)) << "program file";
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(kBatch); }, kBatchTimeout)) << "the batch itself";
  // Nothing of the old batch left for a later run to trip over.
  if (ut::Exists(kBatch)) {
    ::SetFileAttributesA(kBatch, FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(kBatch);
  }
}

TEST(SelfRemoval, AForeignFileKeepsTheProgramFolder) {
  const std::string dir = ut::FreshFolder("foreign");
  const std::string program = dir + "\\Uninstall.exe", foreign = dir + "\\notes.txt";
  ut::WriteBytes(program, "program");
  ut::WriteBytes(foreign, "mine");
  ASSERT_EQ(selfremoval::WriteAndStart(program, selfremoval::kBatchPath), selfremoval::Outcome::started);
  ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  ::SetPriorityClass(::GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(program) && !ut::Exists(kBatch); }, kBatchTimeout));
  EXPECT_TRUE(ut::Exists(foreign));
  EXPECT_TRUE(ut::IsFolder(dir));
}

TEST(SelfRemoval, NoBatchFileMeansNothingStarts) {
  const std::string dir = ut::FreshFolder("no batch");
  const std::string program = dir + "\\Uninstall.exe";
  ut::WriteBytes(program, "program");
  EXPECT_EQ(selfremoval::WriteAndStart(program, "C:\\no such folder\\DelUS.bat"), selfremoval::Outcome::noBatchFile);
  EXPECT_TRUE(ut::Exists(program));
  EXPECT_EQ(::GetPriorityClass(::GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
}

}  // namespace
