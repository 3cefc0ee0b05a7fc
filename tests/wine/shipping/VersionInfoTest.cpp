// The version resources as Windows reads them for a file's Properties: through
// GetFileVersionInfoW and VerQueryValueW, from the built programs and from
// the stripped copies on the test medium.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ui/UiTest.h"

namespace {

struct Expected {
  const char* file;  // below the build tree's drive
  DWORD fileType;
  DWORD versionMS;  // file and product version, major.minor
  const wchar_t* company;
  const wchar_t* description;
  const wchar_t* fileVersion;
  const wchar_t* originalName;
  const wchar_t* copyright;
  const wchar_t* productName;
  const wchar_t* productVersion;
};

const Expected kSetup = {"bin\\Setup.exe", VFT_APP, MAKELONG(0, 8), L"Kelvarin",
                         L"土方工程量计算软件 Terrasum V8.0 安装程序", L"8.0.0.0", L"Setup.exe",
                         L"版权所有 (C) 2026 Kelvarin", L"土方工程量计算软件 Terrasum V8.0", L"8.0"};
// The uninstaller carries its own product identity.
const Expected kUninstall = {"bin\\Uninstall.exe", VFT_APP, MAKELONG(0, 6), L"Halvgard",
                             L"土方工程量计算软件 Gravo V6.0 卸载程序", L"6.0.0.0", L"Uninstall.exe",
                             L"版权所有 (C) 2026 Halvgard", L"土方工程量计算软件 Gravo V6.0", L"6.0"};
const Expected kControl = {"bin\\TerrasumGrid.ocx", VFT_DLL, MAKELONG(0, 8), L"Kelvarin",
                           L"Terrasum V8.0 方格网示例控件", L"8.0.0.0", L"TerrasumGrid.ocx",
                           L"版权所有 (C) 2026 Kelvarin", L"土方工程量计算软件 Terrasum V8.0 (示例介质)", L"8.0"};

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

class VersionBlock {
 public:
  explicit VersionBlock(const std::wstring& path) {
    DWORD handle = 0;
    ::SetLastError(0xdeadbeef);
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &handle);
    error_ = ::GetLastError();
    if (size == 0) return;
    data_.resize(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, data_.data())) data_.clear();
  }
  bool Loaded() const { return !data_.empty(); }
  DWORD Error() const { return error_; }

  // A string of the Chinese (PRC, code page 936) string table, or "<none>".
  std::wstring String(const wchar_t* name) const {
    void* value = nullptr;
    UINT chars = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\080403A8\\") + name;
    if (!::VerQueryValueW(data_.data(), key.c_str(), &value, &chars) || !value) return L"<none>";
    return std::wstring(static_cast<const wchar_t*>(value));
  }

  std::vector<DWORD> Translations() const {
    void* value = nullptr;
    UINT bytes = 0;
    if (!::VerQueryValueW(data_.data(), L"\\VarFileInfo\\Translation", &value, &bytes)) return {};
    const DWORD* pairs = static_cast<const DWORD*>(value);
    return std::vector<DWORD>(pairs, pairs + bytes / sizeof(DWORD));
  }

  const VS_FIXEDFILEINFO* Fixed() const {
    void* value = nullptr;
    UINT bytes = 0;
    if (!::VerQueryValueW(data_.data(), L"\\", &value, &bytes) || bytes < sizeof(VS_FIXEDFILEINFO)) return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(value);
  }

 private:
  std::vector<BYTE> data_;
  DWORD error_ = 0;
};

void ExpectVersion(const std::string& file, const Expected& e) {
  SCOPED_TRACE(file);
  const VersionBlock block(Wide(ui::BuildDir() + file));
  ASSERT_TRUE(block.Loaded()) << "no version resource, error " << block.Error();
  EXPECT_EQ(block.Translations(), std::vector<DWORD>{MAKELONG(0x0804, 936)}) << "language 0x0804, code page 936";
  EXPECT_EQ(block.String(L"CompanyName"), e.company);
  EXPECT_EQ(block.String(L"FileDescription"), e.description);
  EXPECT_EQ(block.String(L"FileVersion"), e.fileVersion);
  EXPECT_EQ(block.String(L"OriginalFilename"), e.originalName);
  EXPECT_EQ(block.String(L"LegalCopyright"), e.copyright);
  EXPECT_EQ(block.String(L"ProductName"), e.productName);
  EXPECT_EQ(block.String(L"ProductVersion"), e.productVersion);
  const VS_FIXEDFILEINFO* fixed = block.Fixed();
  ASSERT_NE(fixed, nullptr) << "no fixed file information";
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, e.versionMS) << "file version";
  EXPECT_EQ(fixed->dwFileVersionLS, 0u) << "file version";
  EXPECT_EQ(fixed->dwProductVersionMS, e.versionMS) << "product version";
  EXPECT_EQ(fixed->dwFileType, e.fileType);
  EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
  EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u) << "no debug, pre-release or private flags";
}

TEST(VersionInfo, BuiltProgramsAndSampleControl) {
  for (const Expected* e : {&kSetup, &kUninstall, &kControl}) ExpectVersion(e->file, *e);
}

// Stripping keeps the resources: the medium's copies read the same.
TEST(VersionInfo, StrippedCopiesOnTheMedium) {
  ExpectVersion("testmedia\\medium\\setup.exe", kSetup);
  ExpectVersion("testmedia\\medium\\Uninstall.exe", kUninstall);
  ExpectVersion("testmedia\\medium\\Controls\\TerrasumGrid.ocx", kControl);
}

}  // namespace
