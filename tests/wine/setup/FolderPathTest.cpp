// The folder page takes a full path on a drive only: a folder relative to
// some current folder is refused as a text without a backslash is, and one
// written with slashes or dots is made full before it is handed on, so the
// record holds full paths only.
#include <gtest/gtest.h>

#include "tests/wine/setup/SetupDriver.h"

using namespace setuptest;

namespace {

// Next on a text the page refuses: the page stays, with the edit focused and
// all of its text selected.
::testing::AssertionResult Refused(SetupRun& run, HWND page, const std::string& text) {
  HWND edit = ui::Control(page, kPath);
  if (!ui::SetEditText(page, kPath, text)) return ::testing::AssertionFailure() << "cannot type " << text;
  ::SendMessageA(edit, EM_SETSEL, 1, 1);
  if (!ui::Click(page, kNext)) return ::testing::AssertionFailure() << "cannot click Next";
  const DWORD all = MAKELONG(0, text.size());
  const auto selection = [&] { return static_cast<DWORD>(::SendMessageA(edit, EM_GETSEL, 0, 0)); };
  if (!ui::WaitUntil([&] { return FocusOf(page) == edit && selection() == all; }, 5000))
    return ::testing::AssertionFailure() << "[" << text << "] not refused: selection " << LOWORD(selection()) << ".."
                                         << HIWORD(selection());
  if (run.FindPage(Page::Path) != page || run.FindPage(Page::Copy))
    return ::testing::AssertionFailure() << "[" << text << "] left the page";
  return ::testing::AssertionSuccess();
}

std::string ReadAll(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
  ::CloseHandle(file);
  return bytes;
}

TEST(FolderPath, RelativeFoldersAreRefusedAndOthersMadeFull) {
  Medium medium;
  medium.supportSubfolder = false;
  BuildMedium(medium);
  DeleteProductKey();
  RemoveTree("D:\\Terrasum");
  SetupRun run;
  ASSERT_TRUE(run.Start());
  HWND path = run.GoToPathPage();
  ASSERT_NE(path, nullptr);
  // Relative to the current folder, to the current drive's root, to drive
  // D:'s current folder; a network share and the system's path prefixes.
  for (const char* text : {"Terrasum\\", "abc\\", "\\Terrasum\\", "D:Terrasum\\", "D:Terrasum", "\\\\server\\share\\x\\",
                           "\\\\?\\D:\\Terrasum\\", "D:\\Ter?sum\\", "D:\\a:b\\"})
    EXPECT_TRUE(Refused(run, path, text));
  // Slashes, blanks, a dot and a doubled backslash: made a full path.
  ASSERT_TRUE(ui::SetEditText(path, kPath, "  D:/Terrasum/./x/..\\\\  "));
  ASSERT_TRUE(ui::Click(path, kNext));
  HWND finish = run.WaitPage(Page::Finish, 60000);
  ASSERT_NE(finish, nullptr) << "accepted, and installed";
  ASSERT_TRUE(ui::Click(finish, kReadme));
  ASSERT_TRUE(ui::WaitUntil([&] { return !ui::IsChecked(finish, kReadme); }, 5000));
  ASSERT_TRUE(ui::Click(finish, kNext));
  EXPECT_EQ(run.WaitExit(), 0u);

  const std::string record = ReadAll("D:\\Terrasum\\Uninstall.log");
  ASSERT_FALSE(record.empty()) << "the record is in D:\\Terrasum";
  std::size_t lines = 0;
  for (std::size_t at = 0; at < record.size(); at = record.find("\r\n", at) + 2, ++lines) {
    const std::string line = record.substr(at, record.find("\r\n", at) - at);
    if (line.rfind("RegDB Key: ", 0) == 0) continue;
    const std::string value = line.substr(line.find(": ") + 2);
    const bool underFolder = value.rfind("D:\\Terrasum\\", 0) == 0 && value.find("\\\\") == std::string::npos &&
                             value.find('/') == std::string::npos && value.find("\\.") == std::string::npos;
    // Shortcuts lie in the user's folders, which are full paths of their own.
    const bool elsewhere = value.size() > 3 && value[1] == ':' && value[2] == '\\' && value[0] != 'D';
    EXPECT_TRUE(underFolder || elsewhere) << "line " << lines << ": " << line;
  }
  EXPECT_GT(lines, 10u);
}

}  // namespace
