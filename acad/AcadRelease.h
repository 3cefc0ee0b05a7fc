#pragma once
// The AutoCAD release table: the one place that lists the releases the
// product knows, their registry names, fixed product keys, folder values and
// profile families, and how each caller finds the product key of a release's
// installation from the release key's "CurVer". Every caller visits the rows
// in table order. Pure data: no registry access here.
#include <array>
#include <cstddef>

// One value per row of the release table, in table order.
enum AcadRelease : int { R15_0, R16_0, R16_1, R16_2, R17_0, R17_1, R17_2, kAcadReleaseCount };

// How a caller turns "CurVer" of the release key into a product key.
enum class ProductKeyLookup {
  MachineFirst,  // HKEY_LOCAL_MACHINE, else HKEY_CURRENT_USER; neither: the release is not installed
  UserFirst,     // HKEY_CURRENT_USER, else HKEY_LOCAL_MACHINE, else the fixed product key
  UserOnly,      // HKEY_CURRENT_USER, else the fixed product key
  MachineOnly,   // HKEY_LOCAL_MACHINE only, its result untested; none: an empty product key
  None,          // the caller leaves the release alone
};

// The shape of the product's profile in a release (search path, menu file).
enum class ProfileFamily { A, B, C };

struct AcadReleaseRow {
  AcadRelease release;
  const char* key;                  // registry name, "R15.0" ...
  const char* versions;             // AutoCAD versions, for readers of the table
  int shortcutYear;                 // year in the launch shortcut's name
  const char* fixedProductKey;      // "" where the row has none
  bool alsoReadsLocation;           // "Location" is read when "AcadLocation" is empty
  ProfileFamily family;
  ProductKeyLookup discoveryLookup;  // FindAcadFolder
  ProductKeyLookup creationLookup;   // CreateAcadProfile
  ProductKeyLookup removalLookup;    // RemoveAcadProfiles; None: never removed
};

// The row of a release, or null for a value outside the table.
const AcadReleaseRow* FindAcadReleaseRow(AcadRelease release);

// Every release, in table order.
const std::array<AcadRelease, kAcadReleaseCount>& AllAcadReleases();

// The release key ("R15.0" ...), "" outside the table.
const char* AcadReleaseKey(AcadRelease release);
// The year in the launch shortcut's name (2002 ...), 0 outside the table.
int AcadShortcutYear(AcadRelease release);
// Whether Uninstall removes its profile from the release.
bool AcadProfileRemovedByUninstall(AcadRelease release);

// R15.0 product keys whose profile removal tries, in this order, when the
// deletion under the product key of "CurVer" fails: two Chinese editions and
// one English edition.
constexpr std::size_t kR15FallbackProductKeyCount = 3;
const std::array<const char*, kR15FallbackProductKeyCount>& R15FallbackProductKeys();
