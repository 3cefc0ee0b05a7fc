// Where the install worker hands the file system the descriptor that keeps
// everybody but the administrators and the system from changing what the
// elevated programs later load, run or obey: the uninstaller, the record,
// the Controls folder and what is in it. Wine keeps no descriptors to read
// back, so the descriptors handed over are written down as they go.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "framework/Handles.h"
#include "framework/Security.h"
#include "tests/wine/install/InstallHarness.h"

namespace {

using namespace installtest;
using security::Kind;

// (path below the install folder, kind, made with it rather than given it)
using Applied = std::tuple<std::string, Kind, bool>;

std::vector<Applied> RunLogged(const std::string& source, const std::string& install) {
  security::ApplyLog log;
  CSetupThread worker;
  TestPage page;
  PromptDriver driver({});
  RunWorker(worker, page, source, install);
  driver.Stop();
  std::vector<Applied> applied;
  for (const auto& e : log.entries()) {
    const bool inside = e.path.compare(0, install.size(), install) == 0;
    applied.emplace_back(inside ? e.path.substr(install.size()) : "<outside> " + e.path, e.kind, e.created);
  }
  std::sort(applied.begin(), applied.end());
  return applied;
}

TEST(InstallProtection, TrustedFilesAreMadeProtectedAndAReinstallProtectsWhatItFinds) {
  const std::string source = "E:\\trust\\", install = "D:\\Soft Ware\\信任\\";
  MakeMedium(source);
  Put(source + "Controls\\helpers\\helper.dll", "dll");

  // A first installation makes each of them with its descriptor; the
  // controls take theirs from their folder. The uninstaller gets it once
  // more after the copy.
  const std::vector<Applied> first = {
      {"Controls", Kind::trustedFolder, true},
      {"Controls\\helpers", Kind::trustedFolder, true},
      {"Uninstall.exe", Kind::trustedFile, false},
      {"Uninstall.exe", Kind::trustedFile, true},
      {"Uninstall.log", Kind::trustedFile, true},
  };
  EXPECT_EQ(RunLogged(source, install), first);
  EXPECT_EQ(Slurp(install + "Uninstall.exe"), "MZ uninstall") << "the copy over the empty protected file";
  EXPECT_EQ(Slurp(install + "Controls\\helpers\\helper.dll"), "dll");
  EXPECT_NE(Slurp(install + "Uninstall.log").find("File Copy: " + install + "Uninstall.log"), std::string::npos);

  // Over an older installation, which may come from a version that set no
  // descriptor, everything found is given it before it is copied over.
  const std::vector<Applied> again = {
      {"Controls", Kind::trustedFolder, false},
      {"Controls\\b.ocx", Kind::trustedFile, false},
      {"Controls\\helpers", Kind::trustedFolder, false},
      {"Controls\\helpers\\helper.dll", Kind::trustedFile, false},
      {"Uninstall.exe", Kind::trustedFile, false},
      {"Uninstall.exe", Kind::trustedFile, false},
      {"Uninstall.log", Kind::trustedFile, true},
  };
  EXPECT_EQ(RunLogged(source, install), again);
}

// The empty protected uninstaller made for the copy does not stay when the
// copy fails (its source held open without sharing); the record lists it as
// it lists every top-level file.
TEST(InstallProtection, AFailedCopyLeavesNoEmptyUninstaller) {
  const std::string source = "E:\\held uninstaller\\", install = "D:\\Held Uninstaller\\";
  MakeMedium(source);
  const ScopedFile held(::CreateFileA((source + "Uninstall.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                      nullptr));
  ASSERT_TRUE(held);
  RunLogged(source, install);
  EXPECT_FALSE(Exists(install + "Uninstall.exe"));
  EXPECT_NE(Slurp(install + "Uninstall.log").find("File Copy: " + install + "Uninstall.exe\r\n"), std::string::npos);
}

}  // namespace
