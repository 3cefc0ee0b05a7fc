// The release table as every caller reads it: keys, years, fixed product
// keys, folder values, families, and the lookup each caller uses per row.
#include <gtest/gtest.h>

#include <string>

#include "acad/AcadRelease.h"
#include "acad/ProductIdentity.h"

namespace {

using L = ProductKeyLookup;

struct ExpectedRow {
  AcadRelease release;
  const char* key;
  int year;
  const char* fixedKey;
  bool location;
  ProfileFamily family;
  L discovery, creation, removal;
};

const ExpectedRow kExpected[] = {
    {R15_0, "R15.0", 2002, "", false, ProfileFamily::A, L::MachineFirst, L::MachineOnly, L::MachineOnly},
    {R16_0, "R16.0", 2004, "ACAD-201:804", false, ProfileFamily::B, L::UserFirst, L::UserFirst, L::UserFirst},
    {R16_1, "R16.1", 2005, "ACAD-301:409", false, ProfileFamily::B, L::UserOnly, L::UserFirst, L::MachineOnly},
    {R16_2, "R16.2", 2006, "ACAD-4001:409", false, ProfileFamily::B, L::UserOnly, L::UserFirst, L::MachineOnly},
    {R17_0, "R17.0", 2007, "ACAD-5001:804", false, ProfileFamily::C, L::UserOnly, L::UserFirst, L::MachineOnly},
    {R17_1, "R17.1", 2008, "ACAD-6001:804", true, ProfileFamily::C, L::UserOnly, L::UserFirst, L::MachineOnly},
    {R17_2, "R17.2", 2009, "ACAD-7001:804", true, ProfileFamily::C, L::UserOnly, L::UserFirst, L::None},
};

TEST(AcadReleaseTable, SevenRowsInTableOrderWithTheirRegistryFacts) {
  ASSERT_EQ(AllAcadReleases().size(), 7u);
  for (std::size_t i = 0; i < AllAcadReleases().size(); ++i) {
    const ExpectedRow& want = kExpected[i];
    EXPECT_EQ(AllAcadReleases()[i], want.release) << "order of row " << i;
    const AcadReleaseRow* row = FindAcadReleaseRow(want.release);
    ASSERT_NE(row, nullptr) << want.key;
    EXPECT_EQ(row->release, want.release) << want.key;
    EXPECT_STREQ(AcadReleaseKey(want.release), want.key);
    EXPECT_EQ(AcadShortcutYear(want.release), want.year) << want.key;
    EXPECT_STREQ(row->fixedProductKey, want.fixedKey) << want.key;
    EXPECT_EQ(row->alsoReadsLocation, want.location) << want.key << " reads \"Location\"";
    EXPECT_EQ(row->family, want.family) << want.key;
  }
}

TEST(AcadReleaseTable, EachCallerHasItsOwnLookupPerRow) {
  for (const ExpectedRow& want : kExpected) {
    const AcadReleaseRow* row = FindAcadReleaseRow(want.release);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->discoveryLookup, want.discovery) << want.key << " discovery";
    EXPECT_EQ(row->creationLookup, want.creation) << want.key << " profile creation";
    EXPECT_EQ(row->removalLookup, want.removal) << want.key << " profile removal";
    EXPECT_EQ(AcadProfileRemovedByUninstall(want.release), want.release != R17_2) << want.key;
  }
}

TEST(AcadReleaseTable, R15FallbackKeysInTheirOrder) {
  const auto& keys = R15FallbackProductKeys();
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_STREQ(keys[0], "ACAD-1:804");
  EXPECT_STREQ(keys[1], "ACAD-2:804");
  EXPECT_STREQ(keys[2], "ACAD-1:409");
}

TEST(AcadReleaseTable, ValuesOutsideTheTableGiveNoRow) {
  for (int bad : {-1, static_cast<int>(kAcadReleaseCount), 99}) {
    const AcadRelease release = static_cast<AcadRelease>(bad);
    EXPECT_EQ(FindAcadReleaseRow(release), nullptr) << bad;
    EXPECT_STREQ(AcadReleaseKey(release), "") << bad;
    EXPECT_EQ(AcadShortcutYear(release), 0) << bad;
    EXPECT_FALSE(AcadProfileRemovedByUninstall(release)) << bad;
  }
}

TEST(AcadProductIdentity, SetupAndUninstallCarryTheirOwnConstants) {
  EXPECT_STREQ(kSetupIdentity.company, "Kelvarin");
  EXPECT_STREQ(kSetupIdentity.product, "Terrasum");
  EXPECT_STREQ(kSetupIdentity.version, "V8.0");
  EXPECT_STREQ(kSetupIdentity.productKey, "SOFTWARE\\Kelvarin\\Terrasum\\V8");
  EXPECT_STREQ(kSetupIdentity.profileName, "<<Terrasum V8>>");
  EXPECT_STREQ(kSetupIdentity.description, "\xCD\xC1\xB7\xBD\xB9\xA4\xB3\xCC\xC1\xBF\xBC\xC6\xCB\xE3\xC8\xED\xBC\xFE")
      << "code page 936 bytes of the description";
  EXPECT_EQ(kSetupIdentity.machineReadBuffer, 2048u);

  EXPECT_STREQ(kUninstallIdentity.company, "Halvgard");
  EXPECT_STREQ(kUninstallIdentity.product, "Gravo");
  EXPECT_STREQ(kUninstallIdentity.version, "V6.0");
  EXPECT_STREQ(kUninstallIdentity.productKey, "SOFTWARE\\Halvgard\\Gravo\\V6");
  EXPECT_STREQ(kUninstallIdentity.profileName, "<<Gravo V6>>");
  EXPECT_STREQ(kUninstallIdentity.description, kSetupIdentity.description);
  EXPECT_EQ(kUninstallIdentity.machineReadBuffer, 1024u);
}

}  // namespace
