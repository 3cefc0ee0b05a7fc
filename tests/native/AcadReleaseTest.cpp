// The release table's order and shortcut years, and what it gives for values
// outside it; the rows' registry facts are exercised by the Wine
// tests of discovery, profile creation and removal.
#include <gtest/gtest.h>

#include "acad/AcadRelease.h"

namespace {

TEST(AcadReleaseTable, AllReleasesInTableOrder) {
  const auto& all = AllAcadReleases();
  ASSERT_EQ(all.size(), 7u);
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(static_cast<std::size_t>(all[i]), i) << "row " << i;
    ASSERT_NE(FindAcadReleaseRow(all[i]), nullptr);
    EXPECT_EQ(FindAcadReleaseRow(all[i])->release, all[i]) << "row " << i << " describes its own release";
  }
  const int years[] = {2002, 2004, 2005, 2006, 2007, 2008, 2009};
  for (std::size_t i = 0; i < all.size(); ++i)
    EXPECT_EQ(AcadShortcutYear(all[i]), years[i]) << "launch shortcut of " << AcadReleaseKey(all[i]);
  EXPECT_FALSE(AcadProfileRemovedByUninstall(R17_2));
  EXPECT_TRUE(AcadProfileRemovedByUninstall(R17_1));
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

}  // namespace
