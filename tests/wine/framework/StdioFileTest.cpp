// The text file, the file finder and the error box under Wine's real file system.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "framework/FileFind.h"
#include "framework/StdioFile.h"
#include "framework/SystemError.h"
#include "tests/ui/UiTest.h"

namespace {

std::string ReadBytes(const std::string& path) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out(::GetFileSize(h, nullptr), '\0');
  DWORD got = 0;
  ::ReadFile(h, out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
  ::CloseHandle(h);
  out.resize(got);
  return out;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n = 0;
  ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
  ::CloseHandle(h);
}

std::string ReadText(const std::string& path, UINT chunk) {
  CStdioFile f(path, CStdioFile::modeRead | CStdioFile::typeText);
  std::string text;
  std::string buf(chunk, '\0');
  for (UINT n; (n = f.Read(buf.data(), chunk)) > 0;) text.append(buf, 0, n);
  return text;
}

TEST(StdioFile, WritesLfAsCrLfAndReadsItBack) {
  const std::string path = "C:\\文本测试.txt";
  const std::string text = "File Copy: C:\\安装\\a.txt\nMade Dir: C:\\安装\n\nlast";
  {
    CStdioFile f(path, CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::typeText);
    f.WriteString(text);
  }
  EXPECT_EQ(ReadBytes(path), "File Copy: C:\\安装\\a.txt\r\nMade Dir: C:\\安装\r\n\r\nlast");
  for (UINT chunk : {1u, 2u, 3u, 7u, 4096u}) EXPECT_EQ(ReadText(path, chunk), text) << "chunk " << chunk;
}

TEST(StdioFile, LfOnlyAndCrLfFilesReadTheSame) {
  WriteBytes("C:\\lf.txt", "a\nb\nc\n");
  WriteBytes("C:\\crlf.txt", "a\r\nb\r\nc\r\n");
  WriteBytes("C:\\cr.txt", "a\rb\r\r\nc\r");
  EXPECT_EQ(ReadText("C:\\lf.txt", 4096), "a\nb\nc\n");
  EXPECT_EQ(ReadText("C:\\crlf.txt", 4096), "a\nb\nc\n");
  EXPECT_EQ(ReadText("C:\\crlf.txt", 2), "a\nb\nc\n");
  EXPECT_EQ(ReadText("C:\\cr.txt", 3), "a\rb\r\nc\r") << "a lone CR stays";
}

TEST(StdioFile, BinaryBytesSurviveTextMode) {
  std::string bytes("x\0y\x1a\xff\xfe\n", 7);
  WriteBytes("C:\\bin.txt", bytes);
  EXPECT_EQ(ReadText("C:\\bin.txt", 4096), bytes) << "NUL and Ctrl-Z do not end the text";
}

TEST(StdioFile, FailedOpenRaisesWithPathAndSystemText) {
  try {
    CStdioFile f("C:\\没有这个文件夹\\x.log", CStdioFile::modeRead | CStdioFile::typeText);
    FAIL() << "no exception";
  } catch (const CFileException& e) {
    EXPECT_EQ(e.m_lOsError, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(e.m_cause, CFileException::badPath);
    EXPECT_EQ(e.m_strFileName, "C:\\没有这个文件夹\\x.log");
    const std::string system = SystemErrorText(ERROR_PATH_NOT_FOUND);
    ASSERT_FALSE(system.empty());
    EXPECT_NE(e.ErrorText().find(system), std::string::npos) << e.ErrorText();
    EXPECT_NE(e.ErrorText().find(e.m_strFileName), std::string::npos);

    std::string shown;
    std::thread driver([&] {
      ui::MessageBoxInfo box = ui::WaitForMessageBox(::GetCurrentProcessId());
      shown = box.text;
      ui::Answer(box, IDOK);
    });
    EXPECT_EQ(e.ReportError(nullptr), IDOK);
    driver.join();
    EXPECT_EQ(shown, e.ErrorText());
  }
}

TEST(FileFind, ListsEntriesWithTheirFolder) {
  ::CreateDirectoryA("C:\\找", nullptr);
  WriteBytes("C:\\找\\一.txt", "1");
  ::CreateDirectoryA("C:\\找\\子", nullptr);
  CFileFind f;
  int files = 0, dirs = 0, dots = 0;
  for (bool more = f.FindFile("C:\\找\\*.*"); more;) {
    more = f.FindNextFile();
    if (f.IsDots()) ++dots;
    else if (f.IsDirectory()) {
      ++dirs;
      EXPECT_EQ(f.GetFilePath(), "C:\\找\\子");
    } else {
      ++files;
      EXPECT_EQ(f.GetFilePath(), "C:\\找\\一.txt");
    }
  }
  EXPECT_EQ(files, 1);
  EXPECT_EQ(dirs, 1);
  EXPECT_EQ(dots, 2);
  EXPECT_FALSE(f.FindFile("C:\\找\\*.none"));
}

}  // namespace
