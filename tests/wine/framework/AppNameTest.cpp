// The application's name: read whole from a module path of any length, and
// the same text on every thread.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/App.h"
#include "tests/ui/UiTest.h"

namespace {

std::string ReadFile(const std::string& path) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  char buf[4096];
  DWORD got = 0;
  ::ReadFile(h, buf, sizeof buf, &got, nullptr);
  ::CloseHandle(h);
  return std::string(buf, got);
}

// Folders of Chinese names: under MAX_PATH characters, so Wine starts a
// program from there, but well over MAX_PATH bytes in code page 936.
std::string MakeLongFolder() {
  std::string folder = "C:\\程序名";
  ::CreateDirectoryA(folder.c_str(), nullptr);
  for (int i = 0; i < 5; ++i) {
    std::string name;
    for (int k = 0; k < 5; ++k) name += "土方工程量计";
    folder += "\\" + name;
    ::CreateDirectoryA(folder.c_str(), nullptr);
  }
  return folder;
}

TEST(AppName, ModulePathLongerThanMaxPathGivesTheProgramName) {
  const std::string folder = MakeLongFolder();
  const std::string program = folder + "\\AppNameProgram.exe";
  ASSERT_GE(program.size(), 260u) << "bytes of the program's path";
  ASSERT_TRUE(::CopyFileA((ui::BuildDir() + "testbin\\AppNameProgram.exe").c_str(), program.c_str(), FALSE))
      << "error " << ::GetLastError();
  const std::string report = "C:\\appname-report.txt";
  ::DeleteFileA(report.c_str());

  ui::Process child;
  ASSERT_TRUE(child.Start("\"" + program + "\" " + report, "C:\\")) << "error " << ::GetLastError();
  EXPECT_EQ(child.Wait(), 0u);
  EXPECT_EQ(ReadFile(report), "AppNameProgram\nsame\nsame\nsame\nsame\n")
      << "the name on the user-interface thread, then whether each worker got the same text";
}

TEST(AppName, ModuleFileNameGrowsASmallBuffer) {
  char expected[MAX_PATH + 1] = {};
  ::GetModuleFileNameA(nullptr, expected, MAX_PATH);
  for (const DWORD size : {DWORD{1}, DWORD{2}, DWORD{8}, DWORD{20}, DWORD{MAX_PATH}})
    EXPECT_EQ(ModuleFileName(nullptr, size), expected) << "first buffer of " << size << " bytes";
  EXPECT_STREQ(AfxGetAppName(), "framework_tests");
  EXPECT_EQ(AppNameFromPath("C:\\程序名\\忠誠\\Setup.exe"), "Setup");
  EXPECT_EQ(AppNameFromPath("C:\\忠誠"), "忠誠") << "a trail byte 0x5C is no folder separator";
}

}  // namespace
