// The product's AutoCAD profile: created by Setup for every release it finds,
// removed by Uninstall for the identity it carries. Everything lies under
// HKEY_CURRENT_USER; nothing is reported and write results are ignored.
#include <initializer_list>

#include "acad/AcadRegistry.h"
#include "acad/AcadText.h"
#include "framework/CodePage.h"
#include "framework/Sys.h"

namespace {

bool HasText(const char* text) { return text && *text; }

// The product key a profile goes under. For R15.0 the machine's "CurVer" can
// be missing where the user's named the installation that discovery found;
// the profile then goes under that product key, the one AutoCAD started by
// this user reads its profiles from. With no product key at all nothing is
// written: an empty segment would be folded into a key of another name.
std::string ProfileProductKey(const AcadReleaseRow& row, std::size_t machineReadBuffer) {
  std::string productKey;
  LookUpProductKey(row.release, row.creationLookup, machineReadBuffer, productKey);
  if (productKey.empty()) LookUpProductKey(row.release, row.discoveryLookup, machineReadBuffer, productKey);
  return productKey;
}

// "ACAD" of AutoCAD's default profile, Chinese edition first; empty when
// neither edition's can be read. Read without creating keys: an empty key of
// a default profile's name would show in AutoCAD's list of profiles as a
// profile of its own, where only the product's profile belongs.
std::string DefaultSearchPath(AcadRelease release, const std::string& productKey) {
  std::string path;
  for (const char* profile : {kChineseDefaultProfile, kEnglishDefaultProfile})
    if (ReadExistingRegStringCU(AcadProfileSubkeyPath(release, productKey, profile, kGeneralKey), "ACAD", path))
      return path;
  return path;
}

bool DeleteUserKey(const std::string& path) {
  return sys::RegDeleteKey(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS;
}

}  // namespace

void CreateAcadProfile(const ProductIdentity& identity, AcadRelease release, const std::string& acadFolder,
                       const std::string& installFolder) {
  const AcadReleaseRow* row = FindAcadReleaseRow(release);
  if (!row || !HasText(identity.profileName) || installFolder.empty()) return;
  if (row->family == ProfileFamily::A && acadFolder.empty()) return;
  const std::string productKey = ProfileProductKey(*row, identity.machineReadBuffer);
  if (productKey.empty()) return;

  const std::string profile = identity.profileName;
  const std::string install = cp936::WithTrailingBackslash(installFolder);
  // Built from AutoCAD's default profile, never from the product profile's
  // own earlier value, so a second run gives the same path, not a longer one.
  const std::string defaults = row->family == ProfileFamily::A ? std::string() : DefaultSearchPath(release, productKey);
  const std::string acad = row->family == ProfileFamily::A ? cp936::WithTrailingBackslash(acadFolder) : std::string();
  const std::string searchPath = AcadSearchPath(row->family, install, acad, defaults);

  WriteRegStringCU(AcadProfileSubkeyPath(release, productKey, profile, kGeneralKey), "ACAD", searchPath);
  if (row->family == ProfileFamily::C)
    WriteRegStringCU(AcadProfileSubkeyPath(release, productKey, profile, kGeneralConfigurationKey), "MenuFile",
                     AcadMenuFile(install));
  WriteRegStringCU(AcadProfileKeyPath(release, productKey, profile), "", profile);
}

void RemoveAcadProfiles(const ProductIdentity& identity) {
  // Without a name the path would end in "Profiles\" and delete that key.
  if (!HasText(identity.profileName)) return;
  const std::string profile = identity.profileName;
  for (AcadRelease release : AllAcadReleases()) {
    const AcadReleaseRow* row = FindAcadReleaseRow(release);
    if (row->removalLookup == ProductKeyLookup::None) continue;
    // A machine-only lookup that finds no "CurVer" leaves the product key
    // empty; the deletion is still aimed at the path so formed.
    std::string productKey;
    LookUpProductKey(release, row->removalLookup, identity.machineReadBuffer, productKey);
    const bool deleted = DeleteUserKey(AcadRemovalKeyPath(release, productKey, profile));
    if (release != R15_0 || deleted) continue;
    // Only R15.0's outcome is tested: its usual product keys are tried, each
    // regardless of the others.
    for (const char* fallback : R15FallbackProductKeys()) DeleteUserKey(AcadProfileKeyPath(R15_0, fallback, profile));
  }
}
