// The replay removes the "<<Gravo V6>>" AutoCAD profiles of its own identity
// from the releases it knows, and leaves everything else alone.
#include <gtest/gtest.h>

#include "tests/wine/uninstall/ReplayHarness.h"
#include "tests/wine/uninstall/UninstallTestSupport.h"

namespace {

const std::string kAcad = "SOFTWARE\\Autodesk\\AutoCAD\\";

std::string Profile(const std::string& release, const std::string& product, const std::string& name = "<<Gravo V6>>") {
  return kAcad + release + "\\" + product + "\\Profiles\\" + name;
}

void RunEmptyReplay(const std::string& name) {
  const std::string dir = ut::FreshFolder(name);
  const std::string log = dir + "\\Uninstall.log";
  ASSERT_TRUE(ut::WriteRecord(log, ut::Lines({"File Copy: " + log})));
  ut::TestWorker worker;
  ut::Recorder recorder;
  ASSERT_TRUE(ut::RunReplay(worker, recorder, log));
  EXPECT_EQ(recorder.events.back(), "done");
}

void ClearAcadKeys() {
  ut::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Autodesk");
  ut::DeleteTree(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk");
}

TEST(UninstallProfiles, GravoProfilesGoWhereTheLookupsPointAndNothingElseIsTouched) {
  ClearAcadKeys();
  ut::SetString(HKEY_LOCAL_MACHINE, kAcad + "R15.0", "CurVer", "ACAD-1:804");
  ut::SetString(HKEY_LOCAL_MACHINE, kAcad + "R16.1", "CurVer", "ACAD-301:409");
  ut::SetString(HKEY_LOCAL_MACHINE, kAcad + "R16.2", "CurVer", "ACAD-302:409");
  ut::SetString(HKEY_LOCAL_MACHINE, kAcad + "R17.0", "CurVer", "ACAD-5001:804");
  ut::SetString(HKEY_CURRENT_USER, kAcad + "R17.1", "CurVer", "ACAD-6001:804");
  ut::SetString(HKEY_LOCAL_MACHINE, kAcad + "R17.2", "CurVer", "ACAD-7001:804");
  struct Case {
    std::string key;
    bool gone;
    const char* why;
  };
  const std::vector<Case> cases = {
      {Profile("R15.0", "ACAD-1:804"), true, "R15.0 under the machine's CurVer"},
      {Profile("R15.0", "ACAD-2:804"), false, "R15.0 fallback tried although step 1 succeeded"},
      {Profile("R16.0", "ACAD-201:804"), true, "R16.0 without CurVer: the fixed product key"},
      {Profile("R16.1", "ACAD-301:409"), true, "R16.1 under the machine's CurVer"},
      {Profile("R16.1", "ACAD-301:409", "<<Terrasum V8>>"), false, "another product's profile"},
      {Profile("R16.2", "ACAD-302:409"), true, "R16.2"},
      {Profile("R17.0", "ACAD-5001:804"), false, "a profile with a subkey stays"},
      {Profile("R17.1", "ACAD-6001:804"), false, "R17.1 under the user's CurVer only: machine-only lookup"},
      {Profile("R17.2", "ACAD-7001:804"), false, "R17.2 is never touched"},
  };
  for (const auto& c : cases) ut::SetString(HKEY_CURRENT_USER, c.key, "", c.key);
  ut::SetString(HKEY_CURRENT_USER, Profile("R17.0", "ACAD-5001:804") + "\\General", "ACAD", "x");
  RunEmptyReplay("profiles");
  for (const auto& c : cases) EXPECT_EQ(ut::KeyExists(HKEY_CURRENT_USER, c.key), !c.gone) << c.why << ": " << c.key;
  ClearAcadKeys();
}

TEST(UninstallProfiles, R15WithoutCurVerTriesTheThreeUsualProductKeys) {
  ClearAcadKeys();
  for (const char* product : {"ACAD-1:804", "ACAD-2:804", "ACAD-1:409"})
    ut::SetString(HKEY_CURRENT_USER, Profile("R15.0", product), "", "x");
  ut::SetString(HKEY_CURRENT_USER, Profile("R15.0", "ACAD-3:804"), "", "x");
  RunEmptyReplay("profiles r15");
  for (const char* product : {"ACAD-1:804", "ACAD-2:804", "ACAD-1:409"})
    EXPECT_FALSE(ut::KeyExists(HKEY_CURRENT_USER, Profile("R15.0", product))) << product;
  EXPECT_TRUE(ut::KeyExists(HKEY_CURRENT_USER, Profile("R15.0", "ACAD-3:804"))) << "not one of the usual keys";
  ClearAcadKeys();
}

}  // namespace
