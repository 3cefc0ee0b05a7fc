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
#include "tests/ui/UiTest.h"

namespace {

std::string ProgramFolder() {
  const std::string self = ModuleFileName(nullptr);
  return self.substr(0, self.find_last_of('\\') + 1);
}

std::string PathOf(HMODULE module) { return module ? ModuleFileName(module) : std::string("(none)"); }

// A visible top-level window of any process whose caption contains part.
HWND WindowTitled(const std::string& part) {
  struct Search {
    std::string part;
    HWND found;
  } s{part, nullptr};
  ::EnumWindows(
      [](HWND w, LPARAM lp) -> BOOL {
        auto* s = reinterpret_cast<Search*>(lp);
        if (!::IsWindowVisible(w) || ui::Text(w).find(s->part) == std::string::npos) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&s));
  return s.found;
}

}  // namespace

// One test: the narrowing holds for the rest of the process.
TEST(Loading, TheSearchIsNarrowedToTheSystemFolderAndControlsFindTheirHelpers) {
  const std::string folder = ProgramFolder();
  {
    // Before: a DLL that is not the system's is found beside the program.
    ScopedLibrary planted(::LoadLibraryW(L"tsplanted.dll"));
    ASSERT_TRUE(planted) << "tsplanted.dll beside the test program";
  }
  // A control's helper beside it is not found by a plain load of its path.
  const std::string control = folder + "HelperControl.ocx";
  EXPECT_FALSE(ScopedLibrary(::LoadLibraryW(cp936::ToWide(control).c_str())))
      << "the plain load searches the program's folders for ctlhelper.dll, not the control's";

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
  EXPECT_FALSE(ScopedLibrary(sys::LoadControlLibrary(folder + "Missing.ocx")));
  EXPECT_FALSE(ScopedLibrary(sys::LoadControlLibrary(folder + std::string(300, 'x') + ".ocx")));
}

// Wine's desktop (explorer) registers no shell windows that answer for the
// desktop: the document opens through the program's own shell, as on XP
// without elevation; the editor shows it all the same.
TEST(Loading, TheReadmeOpensThroughTheOwnShellWhereNoDesktopShellAnswers) {
  const std::string file = ProgramFolder() + "loading-readme.txt";
  {
    HANDLE h = ::CreateFileW(cp936::ToWide(file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(h, "readme\r\n", 8, &written, nullptr);
    ::CloseHandle(h);
  }
  EXPECT_FALSE(sys::ShellOpenThroughDesktop(cp936::ToWide(file), SW_SHOWNORMAL));
  EXPECT_EQ(sys::ShellOpenAsUser(file, SW_SHOWNORMAL), sys::ShellRoute::OwnShell);
  HWND editor = nullptr;
  ui::WaitUntil([&] { return (editor = WindowTitled("loading-readme")) != nullptr; }, 15000);
  EXPECT_NE(editor, nullptr) << "a window showing the document";
  if (editor) ui::Close(editor);
  EXPECT_EQ(sys::ShellOpenAsUser(ProgramFolder() + "no such file.txt", SW_SHOWNORMAL), sys::ShellRoute::Failed);
  ::DeleteFileW(cp936::ToWide(file).c_str());
}
