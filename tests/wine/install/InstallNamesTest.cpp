// A medium entry whose name code page 936 cannot hold (Hangul): it is never
// copied or recorded under another name; the user is told which one, and the
// run goes on as it does past a file that cannot be copied.
#include <gtest/gtest.h>

#include "framework/Handles.h"
#include "framework/SystemError.h"
#include "framework/WideText.h"
#include "tests/wine/install/InstallHarness.h"

namespace {

using namespace installtest;

void PutWide(const std::wstring& path) {
  ScopedFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(file) << "error " << ::GetLastError();
}

std::string NotCopiedPrompt(const std::string& path) {
  return FormatText("%s\n此名称含有简体中文字符集(GBK)以外的字符，不能复制，已跳过。", path.c_str());
}

// Every name under folder, as the system holds it.
void CollectNames(const std::wstring& folder, std::vector<std::wstring>& names) {
  WIN32_FIND_DATAW data{};
  ScopedFind find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
  if (!find) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    names.push_back(folder + L"\\" + name);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) CollectNames(folder + L"\\" + name, names);
  } while (::FindNextFileW(find.get(), &data));
}

TEST(InstallNames, EntriesOutsideCodePage936AreToldAndNeitherCopiedNorRecorded) {
  const std::string source = "E:\\hangul\\", install = "C:\\hangul\\";
  MakeMedium(source);
  PutWide(L"E:\\hangul\\Data\\\xD55C" L"\xAD6D" L"\xC5B4" L".dat");
  ASSERT_TRUE(::CreateDirectoryW(L"E:\\hangul\\图框\\\xB3C4" L"\xBA74", nullptr));
  PutWide(L"E:\\hangul\\图框\\\xB3C4" L"\xBA74" L"\\A1.dxf");
  PutWide(L"E:\\hangul\\\xC124" L"\xBA85" L".txt");
  CSetupThread worker;
  TestPage page;
  PromptDriver driver(Steps{{IDOK, {}, false, "install_name_outside_gbk.png"}, {IDOK, {}}, {IDOK, {}}});
  const RunResult r = RunWorker(worker, page, source, install);
  driver.Stop();

  ASSERT_EQ(driver.boxes.size(), 3u);
  EXPECT_TRUE(driver.extra.empty());
  // In the order the stages meet them: 图框 before Data, the top level last.
  EXPECT_EQ(driver.boxes[0].text, NotCopiedPrompt(source + "图框\\??"));
  EXPECT_EQ(driver.boxes[1].text, NotCopiedPrompt(source + "Data\\???.dat"));
  EXPECT_EQ(driver.boxes[2].text, NotCopiedPrompt(source + "??.txt"));
  for (const Box& box : driver.boxes) {
    EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
    EXPECT_EQ(box.owner, page.m_hWnd) << "owned by the page";
  }
  EXPECT_EQ(r.exitCode, 0u);
  EXPECT_EQ(page.Kinds().back(), WM_SETUP_DONE) << "the run goes on to its end";

  std::vector<std::wstring> names;
  CollectNames(L"C:\\hangul", names);
  for (const std::wstring& name : names) {
    std::string narrow;
    EXPECT_TRUE(cp936::FromWideExact(name, narrow)) << "made under a name outside GBK";
    EXPECT_EQ(narrow.find('?'), std::string::npos) << narrow;
  }
  EXPECT_TRUE(Exists(install + "Data\\d.dat")) << "the rest is copied";
  EXPECT_TRUE(Exists(install + "图框\\图框A.dwg"));
  const std::string record = Slurp(install + "Uninstall.log");
  EXPECT_EQ(record.find('?'), std::string::npos) << record;
  EXPECT_NE(record.find("File Copy: C:\\hangul\\Data\\d.dat\r\n"), std::string::npos);
}

}  // namespace
