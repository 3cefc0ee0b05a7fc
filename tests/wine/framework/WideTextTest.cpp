// The one place where text meets the system, run under several ANSI code
// pages (the same program started under zh_CN, en_US and ja_JP locales): file
// names, registry values, window texts and message boxes must come out the
// same as on a Chinese system, read back through the wide functions.
#include <gtest/gtest.h>

#include <thread>

#include "framework/FileFind.h"
#include "framework/Handles.h"
#include "framework/Sys.h"
#include "framework/WideText.h"
#include "framework/Wnd.h"
#include "tests/ui/UiTest.h"

namespace {

std::wstring WideName(const std::wstring& pattern) {
  WIN32_FIND_DATAW data{};
  ScopedFind find(::FindFirstFileW(pattern.c_str(), &data));
  return find ? data.cFileName : L"<none>";
}

TEST(WideText, ConvertsByCodePage936WhateverTheSystemsCodePage) {
  EXPECT_EQ(cp936::ToWide("土方工程量计算软件"), L"土方工程量计算软件") << "ANSI code page " << ::GetACP();
  EXPECT_EQ(cp936::FromWide(L"图框\\安装界面"), "图框\\安装界面");
  std::string out;
  EXPECT_TRUE(cp936::FromWideExact(L"C:\\工程软件\\土方\\", out));
  EXPECT_EQ(out, "C:\\工程软件\\土方\\");
  EXPECT_FALSE(cp936::FromWideExact(L"\xD55C" L"\xAD6D" L"\xC5B4" L".txt", out)) << "Hangul is outside GBK";
  EXPECT_EQ(out, "???.txt") << "each such character becomes '?', which names no file";
  EXPECT_EQ(cp936::ToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3)) << "zeros are kept";
  EXPECT_EQ(cp936::ToWide(""), L"");
  EXPECT_EQ(cp936::FromWide(L""), "");
}

TEST(WideText, FilesAreMadeAndFoundUnderTheirChineseNames) {
  ASSERT_TRUE(sys::CreateDirectory("C:\\文字测试", nullptr));
  const std::string file = "C:\\文字测试\\土方工程.txt";
  {
    ScopedFile made(sys::CreateFile(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(made) << "error " << ::GetLastError();
  }
  EXPECT_EQ(WideName(L"C:\\文字测试\\*.txt"), L"土方工程.txt") << "the name as the system holds it";
  ASSERT_TRUE(sys::CopyFile(file.c_str(), "C:\\文字测试\\副本.txt", TRUE));
  EXPECT_EQ(WideName(L"C:\\文字测试\\副*"), L"副本.txt");
  EXPECT_NE(sys::GetFileAttributes("C:\\文字测试\\副本.txt"), INVALID_FILE_ATTRIBUTES);

  CFileFind finder;
  bool more = finder.FindFile("C:\\文字测试\\土*.*");
  ASSERT_TRUE(more);
  more = finder.FindNextFile();
  EXPECT_EQ(finder.GetFileName(), "土方工程.txt");
  EXPECT_EQ(finder.GetFilePath(), file);
  EXPECT_TRUE(finder.IsNameRepresentable());
  finder.Close();

  EXPECT_TRUE(sys::SetCurrentDirectory("C:\\文字测试"));
  EXPECT_EQ(sys::CurrentDirectory(), "C:\\文字测试");
  EXPECT_TRUE(sys::SetCurrentDirectory("C:\\"));
  EXPECT_TRUE(sys::DeleteFile(file.c_str()));
  EXPECT_TRUE(sys::DeleteFile("C:\\文字测试\\副本.txt"));
  EXPECT_TRUE(sys::RemoveDirectory("C:\\文字测试"));
  EXPECT_EQ(sys::GetFileAttributes("C:\\文字测试"), INVALID_FILE_ATTRIBUTES);
}

TEST(WideText, ANameOutsideCodePage936IsToldAndCannotBeReachedUnderAnotherName) {
  ASSERT_TRUE(::CreateDirectoryW(L"C:\\names", nullptr));
  ScopedFile made(::CreateFileW(L"C:\\names\\\xD55C" L"\xAD6D" L".txt", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(made);
  made.reset();
  CFileFind finder;
  bool more = finder.FindFile("C:\\names\\*.txt");
  ASSERT_TRUE(more);
  more = finder.FindNextFile();
  EXPECT_FALSE(finder.IsNameRepresentable());
  EXPECT_EQ(finder.GetFileName(), "??.txt");
  ::SetLastError(0xdeadbeef);
  EXPECT_FALSE(sys::CopyFile(finder.GetFilePath().c_str(), "C:\\names\\copy.txt", FALSE))
      << "the '?' name reaches no file";
  EXPECT_EQ(sys::GetFileAttributes("C:\\names\\copy.txt"), INVALID_FILE_ATTRIBUTES);
  finder.Close();
  ::DeleteFileW(L"C:\\names\\\xD55C" L"\xAD6D" L".txt");
  ::RemoveDirectoryW(L"C:\\names");
}

TEST(WideText, RegistryStringsAreStoredAsTheSystemsOwnTextAndReadBackAsOnAChineseSystem) {
  HKEY raw = nullptr;
  ASSERT_EQ(sys::RegCreateKey(HKEY_CURRENT_USER, "Software\\文字测试", &raw), ERROR_SUCCESS);
  ScopedRegKey key(raw);
  const std::string text = "土方工程量计算软件";
  ASSERT_EQ(sys::RegSetValueEx(key.get(), "名称", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                               static_cast<DWORD>(text.size() + 1)),
            ERROR_SUCCESS);
  wchar_t wide[64] = {};
  DWORD wideSize = sizeof wide;
  ASSERT_EQ(::RegQueryValueExW(key.get(), L"名称", nullptr, nullptr, reinterpret_cast<BYTE*>(wide), &wideSize),
            ERROR_SUCCESS);
  EXPECT_STREQ(wide, L"土方工程量计算软件");
  EXPECT_EQ(wideSize, 10u * sizeof(wchar_t)) << "nine characters and the terminator";

  char bytes[64] = {};
  DWORD size = sizeof bytes;
  DWORD type = 0;
  ASSERT_EQ(sys::RegQueryValueEx(key.get(), "名称", nullptr, &type, reinterpret_cast<BYTE*>(bytes), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(bytes, size), text + '\0') << "the bytes a Chinese system's 8-bit read gives";
  size = 5;
  EXPECT_EQ(sys::RegQueryValueEx(key.get(), "名称", nullptr, nullptr, reinterpret_cast<BYTE*>(bytes), &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(size, 19u) << "the size needed";
  size = 0;
  EXPECT_EQ(sys::RegQueryValueEx(key.get(), "名称", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 19u);

  // Stored by someone else without its terminator (the system adds one when
  // a zero follows the data given, so none may follow here): the bytes are
  // all there is.
  ASSERT_EQ(::RegSetValueExW(key.get(), L"无结尾", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"土方X"), 4),
            ERROR_SUCCESS);
  size = sizeof bytes;
  ASSERT_EQ(sys::RegQueryValueEx(key.get(), "无结尾", nullptr, nullptr, reinterpret_cast<BYTE*>(bytes), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(bytes, size), "土方");

  const DWORD number = 0x12345678;
  ASSERT_EQ(sys::RegSetValueEx(key.get(), "数", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
            ERROR_SUCCESS);
  size = sizeof bytes;
  ASSERT_EQ(sys::RegQueryValueEx(key.get(), "数", nullptr, &type, reinterpret_cast<BYTE*>(bytes), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(std::string(bytes, size), std::string(reinterpret_cast<const char*>(&number), 4)) << "as stored";

  std::string sub;
  ASSERT_EQ(sys::RegCreateKey(key.get(), "子键", &raw), ERROR_SUCCESS);
  ::RegCloseKey(raw);
  EXPECT_EQ(sys::RegEnumKey(key.get(), 0, sub), ERROR_SUCCESS);
  EXPECT_EQ(sub, "子键");
  EXPECT_EQ(sys::RegDeleteKey(key.get(), "子键"), ERROR_SUCCESS);
  key.reset();
  EXPECT_EQ(sys::RegDeleteKey(HKEY_CURRENT_USER, "Software\\文字测试"), ERROR_SUCCESS);
}

TEST(WideText, WindowTextsAndMessageBoxesShowTheChineseText) {
  struct Window {
    HWND h = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr, nullptr, nullptr);
    ~Window() { ::DestroyWindow(h); }
    HWND get() const { return h; }
  } window;
  ASSERT_TRUE(window.get());
  sys::SetWindowText(window.get(), "正在复制文件");
  wchar_t wide[32] = {};
  ::GetWindowTextW(window.get(), wide, 32);
  EXPECT_STREQ(wide, L"正在复制文件");
  EXPECT_EQ(sys::GetWindowText(window.get()), "正在复制文件");

  std::string seenText, seenCaption;
  std::thread answer([&] {
    const ui::MessageBoxInfo box = ui::WaitForMessageBox(::GetCurrentProcessId());
    seenText = box.text;
    seenCaption = box.caption;
    ui::Answer(box, IDYES);
  });
  const int result = sys::MessageBox(nullptr, "真要卸载 Gravo V6.0吗?", "卸载", MB_YESNO | MB_ICONQUESTION);
  answer.join();
  EXPECT_EQ(result, IDYES);
  EXPECT_EQ(seenText, "真要卸载 Gravo V6.0吗?");
  EXPECT_EQ(seenCaption, "卸载");
}

TEST(WideText, AChildsEnvironmentCarriesChineseValues) {
  const std::wstring block = sys::EnvironmentWith({{"GRAVO_TEST_FOLDER", "C:\\工程软件\\土方"}});
  EXPECT_NE(block.find(std::wstring(L"GRAVO_TEST_FOLDER=C:\\工程软件\\土方") + L'\0'), std::wstring::npos);
  const bool keepsPath = block.find(std::wstring(L"\0PATH=", 6)) != std::wstring::npos ||
                         block.find(std::wstring(L"\0Path=", 6)) != std::wstring::npos;
  EXPECT_TRUE(keepsPath) << "the process's own variables are kept";
  ASSERT_GE(block.size(), 2u);
  EXPECT_EQ(block.substr(block.size() - 2), std::wstring(L"\0\0", 2)) << "the block ends with an empty entry";
}

}  // namespace
