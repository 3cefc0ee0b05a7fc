// The sample medium as Setup sees it under Wine: its Chinese names arrive in
// code page 936, its pictures load as pictures, its texts are code page 936
// with CR LF, and its top level holds only the files Setup copies there.
// The medium is laid out for this test in the build tree (testmedia\medium).
#include <gtest/gtest.h>
#include <windows.h>
#include <olectl.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "framework/Handles.h"
#include "tests/ui/UiTest.h"

namespace {

std::string Medium() { return ui::BuildDir() + "testmedia\\medium\\"; }

// Names of the entries matching the pattern (a full path with wildcards);
// directories only or plain files only.
std::set<std::string> Find(const std::string& pattern, bool directories) {
  std::set<std::string> names;
  WIN32_FIND_DATAA data;
  ScopedFind find(::FindFirstFileA(pattern.c_str(), &data));
  if (!find) return names;
  do {
    const std::string name = data.cFileName;
    const bool isDirectory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (name != "." && name != ".." && isDirectory == directories) names.insert(name);
  } while (::FindNextFileA(find.get(), &data));
  return names;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool EveryLineEndIsCrLf(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return false;
  return true;
}

TEST(SampleMedium, ChineseNamesArriveInCodePage936) {
  ASSERT_EQ(::GetACP(), 936u) << "the tests run with code page 936";
  const std::set<std::string> pictures = Find(Medium() + "安装界面\\*.jpg", false);
  EXPECT_EQ(pictures, (std::set<std::string>{"01-欢迎.jpg", "02-方格网法.jpg", "03-断面法.jpg"}))
      << "the slide-show pictures";
  const std::set<std::string> folders = Find(Medium() + "*", true);
  EXPECT_EQ(folders, (std::set<std::string>{"Controls", "Data", "Support", "Temp", "图框", "安装界面"}))
      << "the folders at the top of the medium";
  EXPECT_EQ(Find(Medium() + "图框\\*.dxf", false).size(), 3u) << "drawing frames";
  EXPECT_EQ(Find(Medium() + "Data\\*.*", false),
            (std::set<std::string>{"土质参数.ini", "方格网示例.csv"}));
}

TEST(SampleMedium, TopLevelHoldsOnlyTheFilesSetupExpects) {
  // Setup copies every plain file at the top (except itself) into the
  // install folder, so nothing else may lie there.
  EXPECT_EQ(Find(Medium() + "*.*", false),
            (std::set<std::string>{"Kelvarin.url", "Terrasum.exe", "TerrasumV8.0.ICO",
                                   "Uninstall.exe", "readme.txt", "setup.exe"}));
  EXPECT_EQ(Find(Medium() + "Controls\\*.ocx", false),
            (std::set<std::string>{"TerrasumGrid.ocx"}));
  const std::set<std::string> menus = Find(Medium() + "Support\\2007-09\\Menu\\SoilTuF.*", false);
  EXPECT_EQ(menus.count("SoilTuF.cui"), 1u) << "menu of the AutoCAD 2007-2009 profile";
  EXPECT_EQ(menus.count("SoilTuF.mnu"), 1u);
  for (const char* release : {"2000-02", "2004-06", "2007-09"})
    for (const char* sub : {"arx", "Menu"})
      EXPECT_FALSE(Find(Medium() + "Support\\" + release + "\\" + sub + "\\*.*", false).empty())
          << "Support\\" << release << "\\" << sub;
  EXPECT_TRUE(Find(Medium() + "Temp\\*.*", false).empty()) << "Temp is empty";
}

TEST(SampleMedium, PicturesLoadWithTheirProportions) {
  ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
  struct Case {
    const char* name;
    double ratio;  // height / width
  };
  for (const Case& c : {Case{"01-欢迎.jpg", 0.75}, Case{"02-方格网法.jpg", 1.0},
                        Case{"03-断面法.jpg", 0.5625}}) {
    const std::string path = Medium() + "安装界面\\" + c.name;
    wchar_t wide[MAX_PATH] = {};
    ASSERT_GT(::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH), 0) << path;
    ComPtr<IPicture> picture;
    const HRESULT hr = ::OleLoadPicturePath(wide, nullptr, 0, 0, IID_IPicture, picture.put_void());
    ASSERT_TRUE(SUCCEEDED(hr) && picture) << path << " hr " << std::hex << hr;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);
    ASSERT_GT(width, 0) << path;
    EXPECT_NEAR(static_cast<double>(height) / width, c.ratio, 0.002) << path;
  }
  ::CoUninitialize();
}

TEST(SampleMedium, TextsAreCodePage936WithCrLf) {
  const std::string readme = ReadFile(Medium() + "readme.txt");
  EXPECT_EQ(readme.rfind("土方工程量计算软件 Terrasum V8.0\r\n", 0), 0u) << "first line of readme.txt";
  EXPECT_TRUE(EveryLineEndIsCrLf(readme)) << "readme.txt";
  const std::string menu = ReadFile(Medium() + "Support\\2007-09\\Menu\\SoilTuF.mnu");
  EXPECT_NE(menu.find("***MENUGROUP=SoilTuF\r\n"), std::string::npos);
  EXPECT_NE(menu.find("[土方(&T)]"), std::string::npos) << "menu labels in code page 936";
  EXPECT_TRUE(EveryLineEndIsCrLf(menu)) << "SoilTuF.mnu";

  char url[256] = {};
  ::GetPrivateProfileStringA("InternetShortcut", "URL", "", url, sizeof url,
                             (Medium() + "Kelvarin.url").c_str());
  EXPECT_STREQ(url, "http://www.kelvarin.example/terrasum/") << "Kelvarin.url";
}

TEST(SampleMedium, IconAndProgramsAreRealWindowsFiles) {
  HANDLE icon = ::LoadImageA(nullptr, (Medium() + "TerrasumV8.0.ICO").c_str(), IMAGE_ICON, 32, 32,
                             LR_LOADFROMFILE);
  EXPECT_NE(icon, nullptr) << "TerrasumV8.0.ICO loads as an icon";
  if (icon) ::DestroyIcon(static_cast<HICON>(icon));

  // The product program carries its icon as resource 128.
  HMODULE program = ::LoadLibraryExA((Medium() + "Terrasum.exe").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(program, nullptr) << "Terrasum.exe";
  EXPECT_NE(::FindResourceA(program, MAKEINTRESOURCEA(128), RT_GROUP_ICON), nullptr)
      << "icon group 128 in Terrasum.exe";
  ::FreeLibrary(program);

  ScopedLibrary control(::LoadLibraryA((Medium() + "Controls\\TerrasumGrid.ocx").c_str()));
  ASSERT_TRUE(control) << "the medium's control loads";
  EXPECT_NE(::GetProcAddress(control.get(), "DllRegisterServer"), nullptr);
  EXPECT_NE(::GetProcAddress(control.get(), "DllUnregisterServer"), nullptr);
}

}  // namespace
