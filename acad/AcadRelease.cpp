#include "acad/AcadRelease.h"

namespace {

using L = ProductKeyLookup;
using F = ProfileFamily;

// Release table. The product-key lookups differ by caller: discovery reads
// the user's "CurVer" for the later rows, profile creation also the machine's
// before it falls back to the fixed key, and profile removal only the
// machine's. Uninstall leaves R17.2 alone.
const std::array<AcadReleaseRow, kAcadReleaseCount> kRows = {{
    {R15_0, "R15.0", "2000 to 2002", 2002, "", false, F::A, L::MachineFirst, L::MachineOnly, L::MachineOnly},
    {R16_0, "R16.0", "2004", 2004, "ACAD-201:804", false, F::B, L::UserFirst, L::UserFirst, L::UserFirst},
    {R16_1, "R16.1", "2005", 2005, "ACAD-301:409", false, F::B, L::UserOnly, L::UserFirst, L::MachineOnly},
    {R16_2, "R16.2", "2006", 2006, "ACAD-4001:409", false, F::B, L::UserOnly, L::UserFirst, L::MachineOnly},
    {R17_0, "R17.0", "2007", 2007, "ACAD-5001:804", false, F::C, L::UserOnly, L::UserFirst, L::MachineOnly},
    {R17_1, "R17.1", "2008", 2008, "ACAD-6001:804", true, F::C, L::UserOnly, L::UserFirst, L::MachineOnly},
    {R17_2, "R17.2", "2009", 2009, "ACAD-7001:804", true, F::C, L::UserOnly, L::UserFirst, L::None},
}};

const std::array<AcadRelease, kAcadReleaseCount> kAll = {R15_0, R16_0, R16_1, R16_2, R17_0, R17_1, R17_2};

const std::array<const char*, kR15FallbackProductKeyCount> kR15Fallbacks = {"ACAD-1:804", "ACAD-2:804",
                                                                            "ACAD-1:409"};

}  // namespace

const AcadReleaseRow* FindAcadReleaseRow(AcadRelease release) {
  const int index = static_cast<int>(release);
  if (index < 0 || index >= kAcadReleaseCount) return nullptr;
  return &kRows[static_cast<std::size_t>(index)];
}

const std::array<AcadRelease, kAcadReleaseCount>& AllAcadReleases() { return kAll; }

const char* AcadReleaseKey(AcadRelease release) {
  const AcadReleaseRow* row = FindAcadReleaseRow(release);
  return row ? row->key : "";
}

int AcadShortcutYear(AcadRelease release) {
  const AcadReleaseRow* row = FindAcadReleaseRow(release);
  return row ? row->shortcutYear : 0;
}

bool AcadProfileRemovedByUninstall(AcadRelease release) {
  const AcadReleaseRow* row = FindAcadReleaseRow(release);
  return row && row->removalLookup != ProductKeyLookup::None;
}

const std::array<const char*, kR15FallbackProductKeyCount>& R15FallbackProductKeys() { return kR15Fallbacks; }
