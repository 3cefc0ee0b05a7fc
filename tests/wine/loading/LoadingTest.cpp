// Where the programs' loads look, under Wine: the search narrowed at start-up
// (a DLL beside the program is found before and not after), the system
// folder's DLLs by full path, a control whose helper DLL lies beside it, and
// the route by which a document is opened as the signed-in user. Runs from
// testbin, where tsplanted.dll, HelperControl.ocx and ctlhelper.dll lie.
#include <gtest/gtest.h>

#include <string>

#include "framework/App.h"
#include "framework/Handles.h"
#include "framework/LibraryLoading.h"
#include "framework/ShellExecuteAsUser.h"
#include "framework/WideText.h"

namespace {

std::string ProgramFolder() {
  const std::string self = ModuleFileName(nullptr);
  return self.substr(0, self.find_last_of('\\') + 1);
}

std::string PathOf(HMODULE module) { return module ? ModuleFileName(module) : std::string("(none)"); }

}  // namespace

// One test: the narrowing holds for the rest of the process.
TEST(Loading, TheSearchIsNarrowedToTheSystemFolderAndControlsFindTheirHelpers) {
  const std::string folder = ProgramFolder();
  {
    // Before: a DLL that is not the system's is found beside the program.
    ScopedLibrary planted(::LoadLibraryW(L"tsplanted.dll"));
    ASSERT_TRUE(planted) << "tsplanted.dll beside the test program";
  }
  // A control and its helper DLL, in a folder of their own.
  const std::string controls = folder + "loading-controls\\";
  ::CreateDirectoryW(cp936::ToWide(controls).c_str(), nullptr);
  for (const char* name : {"HelperControl.ocx", "ctlhelper.dll"})
    ASSERT_TRUE(::CopyFileW(cp936::ToWide(folder + name).c_str(), cp936::ToWide(controls + name).c_str(), FALSE));
  const std::string control = controls + "HelperControl.ocx";

  // Wine 8 has SetDefaultDllDirectories, as Windows 8 on has.
  ASSERT_EQ(sys::RestrictDllSearch(), sys::DllSearch::SystemFolderOnly);
  EXPECT_EQ(sys::CurrentDllSearch(), sys::DllSearch::SystemFolderOnly);
  EXPECT_FALSE(ScopedLibrary(::LoadLibraryW(L"tsplanted.dll"))) << "found beside the program after all";

  // The system folder's own, by full path.
  const ScopedLibrary comctl32(sys::LoadSystemLibrary(L"comctl32.dll"));
  ASSERT_TRUE(comctl32);
  wchar_t system[MAX_PATH];
  ::GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_EQ(_stricmp(PathOf(comctl32.get()).c_str(), (cp936::FromWide(system) + "\\comctl32.dll").c_str()), 0)
      << PathOf(comctl32.get());
  EXPECT_FALSE(ScopedLibrary(sys::LoadSystemLibrary(L"tsplanted.dll"))) << "not in the system folder";

  // The control, with its helper from its own folder; then a control that is
  // not there, and a path of 300 characters, fail plainly.
  const ScopedLibrary loaded(sys::LoadControlLibrary(control));
  ASSERT_TRUE(loaded) << "error " << ::GetLastError();
  EXPECT_NE(::GetProcAddress(loaded.get(), "DllRegisterServer"), nullptr);
  EXPECT_EQ(_stricmp(PathOf(::GetModuleHandleW(L"ctlhelper.dll")).c_str(), (controls + "ctlhelper.dll").c_str()), 0)
      << "the helper from the control's folder, not the program's: " << PathOf(::GetModuleHandleW(L"ctlhelper.dll"));
  EXPECT_FALSE(ScopedLibrary(sys::LoadControlLibrary(folder + "Missing.ocx")));
  EXPECT_FALSE(ScopedLibrary(sys::LoadControlLibrary(folder + std::string(300, 'x') + ".ocx")));
}

// Wine's desktop (explorer) answers for the desktop's shell window, and its
// automation object starts the document in explorer's process: the desktop
// route is taken. (That the finish page's readme then shows in the editor is
// setup_copy_tests' to show.) A file that is not there is the shell's to
// report, in its own process: that route takes it all the same.
TEST(Loading, TheDesktopShellAnswersUnderWine) {
  const std::string folder = ProgramFolder();
  EXPECT_TRUE(sys::ShellOpenThroughDesktop(cp936::ToWide(folder + "no such readme.txt"), SW_SHOWNORMAL));
  EXPECT_EQ(sys::ShellOpenAsUser(folder + "no such readme.txt", SW_SHOWNORMAL), sys::ShellRoute::DesktopShell);
}
