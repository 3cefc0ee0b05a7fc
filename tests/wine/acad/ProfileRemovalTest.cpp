// Uninstall's profile removal: which profile keys it deletes and which it
// leaves, under the product keys its lookups name.
#include <gtest/gtest.h>

#include <string>

#include "acad/AcadRegistry.h"
#include "acad/AcadText.h"
#include "tests/wine/acad/RegTestUtil.h"

namespace {

const HKEY LM = HKEY_LOCAL_MACHINE;
const HKEY CU = HKEY_CURRENT_USER;
const std::string kGravo = "<<Gravo V6>>";

class ProfileRemoval : public regtest::CleanRegistryTest {
 protected:
  // A profile key without subkeys, as a single-key deletion can remove it.
  static std::string SeedProfile(AcadRelease release, const std::string& productKey,
                                 const std::string& name = kGravo) {
    const std::string path = AcadProfileKeyPath(release, productKey, name);
    regtest::SetString(CU, path, "", name);
    return path;
  }
  static bool Exists(const std::string& path) { return regtest::KeyExists(CU, path); }
  static void CurVer(HKEY root, AcadRelease release, const std::string& productKey) {
    regtest::SetString(root, AcadReleaseKeyPath(release), "CurVer", productKey);
  }
};

TEST_F(ProfileRemoval, DeletesTheProfileOfFifteenToSeventeenOneButNeverOf2009) {
  CurVer(LM, R15_0, "ACAD-3:804");
  const std::string r15 = SeedProfile(R15_0, "ACAD-3:804");
  const std::string r16 = SeedProfile(R16_0, "ACAD-201:804");
  std::string later[4];
  const AcadRelease laterRows[4] = {R16_1, R16_2, R17_0, R17_1};
  for (int i = 0; i < 4; ++i) {
    const std::string key = std::string("ACAD-9") + std::to_string(i) + ":804";
    CurVer(LM, laterRows[i], key);
    later[i] = SeedProfile(laterRows[i], key);
  }
  CurVer(LM, R17_2, "ACAD-7001:804");
  CurVer(CU, R17_2, "ACAD-7001:804");
  const std::string r172 = SeedProfile(R17_2, "ACAD-7001:804");
  const std::string setupsProfile = SeedProfile(R17_0, "ACAD-92:804", "<<Terrasum V8>>");

  RemoveAcadProfiles(kUninstallIdentity);

  EXPECT_FALSE(Exists(r15)) << "step 1";
  EXPECT_FALSE(Exists(r16)) << "step 2, the fixed key";
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(Exists(later[i])) << AcadReleaseKey(laterRows[i]);
  EXPECT_TRUE(Exists(r172)) << "R17.2 has no step";
  EXPECT_EQ(regtest::ReadString(CU, r172, ""), std::optional<std::string>(kGravo));
  EXPECT_TRUE(Exists(setupsProfile)) << "only the identity's own profile";
  EXPECT_TRUE(Exists(AcadReleaseKeyPath(R17_0) + "\\ACAD-92:804\\Profiles")) << "single keys only";
}

TEST_F(ProfileRemoval, R15StepOneSucceedingSkipsTheFixedKeys) {
  CurVer(LM, R15_0, "ACAD-9:804");
  const std::string named = SeedProfile(R15_0, "ACAD-9:804");
  const std::string fixed = SeedProfile(R15_0, "ACAD-1:804");
  RemoveAcadProfiles(kUninstallIdentity);
  EXPECT_FALSE(Exists(named));
  EXPECT_TRUE(Exists(fixed)) << "steps 1a to 1c run only when step 1 fails";
}

TEST_F(ProfileRemoval, R15StepOneFailingTriesEveryFixedKey) {
  const std::string a = SeedProfile(R15_0, "ACAD-1:804");
  const std::string b = SeedProfile(R15_0, "ACAD-2:804");
  const std::string c = SeedProfile(R15_0, "ACAD-1:409");
  const std::string other = SeedProfile(R15_0, "ACAD-3:804");
  RemoveAcadProfiles(kUninstallIdentity);
  EXPECT_FALSE(Exists(a)) << "1a";
  EXPECT_FALSE(Exists(b)) << "1b";
  EXPECT_FALSE(Exists(c)) << "1c";
  EXPECT_TRUE(Exists(other)) << "no CurVer on the machine names it";

  Clean();
  CurVer(LM, R15_0, "ACAD-3:804");  // names a product key without the profile
  const std::string only = SeedProfile(R15_0, "ACAD-1:409");
  RemoveAcadProfiles(kUninstallIdentity);
  EXPECT_FALSE(Exists(only)) << "each fixed key regardless of the others' outcome";
}

TEST_F(ProfileRemoval, R16ProductKeyIsUserFirstThenFixed) {
  CurVer(LM, R16_0, "ACAD-211:804");
  const std::string machine = SeedProfile(R16_0, "ACAD-211:804");
  const std::string fixed = SeedProfile(R16_0, "ACAD-201:804");
  RemoveAcadProfiles(kUninstallIdentity);
  EXPECT_FALSE(Exists(machine)) << "the machine's CurVer when the user has none";
  EXPECT_TRUE(Exists(fixed));

  Clean();
  const std::string alone = SeedProfile(R16_0, "ACAD-201:804");
  RemoveAcadProfiles(kUninstallIdentity);
  EXPECT_FALSE(Exists(alone)) << "no CurVer anywhere: the fixed key";
}

TEST_F(ProfileRemoval, LaterRowsReadOnlyTheMachinesCurVer) {
  CurVer(CU, R16_1, "ACAD-311:804");
  const std::string users = SeedProfile(R16_1, "ACAD-311:804");
  const std::string fixed = SeedProfile(R16_1, "ACAD-301:409");
  RemoveAcadProfiles(kUninstallIdentity);
  EXPECT_TRUE(Exists(users)) << "the user's CurVer is not read";
  EXPECT_TRUE(Exists(fixed)) << "machine-only has no fixed key";
}

TEST_F(ProfileRemoval, AProfileWithSubkeysStaysAsThePlatformRefusesIt) {
  CurVer(LM, R17_0, "ACAD-5001:804");
  const std::string profile = SeedProfile(R17_0, "ACAD-5001:804");
  regtest::SetString(CU, profile + "\\General", "ACAD", "C:\\x;");
  RemoveAcadProfiles(kUninstallIdentity);
  EXPECT_TRUE(Exists(profile + "\\General")) << "no report, no subkey enumeration";

  SetLastError(0xdeadbeef);
  EXPECT_EQ(::RegDeleteKeyA(CU, profile.c_str()), ERROR_ACCESS_DENIED)
      << "the platform refuses a key with subkeys in one call";
}

TEST_F(ProfileRemoval, UninstallsMachineBufferDecidesWhatCurVerCanName) {
  // CurVer of 1500 bytes: the name, a zero, and padding.
  std::string padded = "ACAD-4001:409";
  padded.resize(1500, '\0');
  regtest::SetRaw(LM, AcadReleaseKeyPath(R16_2), "CurVer", REG_SZ, padded);
  const std::string profile = SeedProfile(R16_2, "ACAD-4001:409");
  RemoveAcadProfiles(kUninstallIdentity);
  EXPECT_TRUE(Exists(profile)) << "1024 bytes do not hold that CurVer";

  ProductIdentity wider = kUninstallIdentity;
  wider.machineReadBuffer = kRegBufferSize;
  RemoveAcadProfiles(wider);
  EXPECT_FALSE(Exists(profile)) << "with 2048 bytes it is read";
}

TEST_F(ProfileRemoval, NothingToRemoveReportsNothingAndWritesNoProfile) {
  RemoveAcadProfiles(kUninstallIdentity);
  for (AcadRelease release : AllAcadReleases()) {
    for (const std::string& key : regtest::Subkeys(CU, AcadReleaseKeyPath(release)))
      EXPECT_FALSE(regtest::KeyExists(CU, AcadReleaseKeyPath(release) + "\\" + key + "\\Profiles"))
          << AcadReleaseKey(release) << " " << key;
  }
  EXPECT_FALSE(regtest::KeyExists(LM, AcadReleaseKeyPath(R17_2))) << "R17.2 not even looked up";
  ProductIdentity nameless = kUninstallIdentity;
  nameless.profileName = "";
  const std::string profiles = AcadReleaseKeyPath(R16_0) + "\\ACAD-201:804\\Profiles";
  regtest::CreateKey(CU, profiles);
  RemoveAcadProfiles(nameless);
  EXPECT_TRUE(regtest::KeyExists(CU, profiles)) << "no name: the Profiles key itself is not aimed at";
}

}  // namespace
