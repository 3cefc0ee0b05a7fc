#pragma once
// The AutoCAD release table, release discovery, the registry string routines,
// and the product's AutoCAD profile (created by Setup, removed by Uninstall).
#include <windows.h>

#include <string>

#include "acad/ProductIdentity.h"

// One value per row of the release table, in table order.
enum AcadRelease : int { R15_0, R16_0, R16_1, R16_2, R17_0, R17_1, R17_2, kAcadReleaseCount };

// The release key ("R15.0" ...) and the year in the launch shortcut's name (2002 ...).
const char* AcadReleaseKey(AcadRelease release);
int AcadShortcutYear(AcadRelease release);

// Registry string routines: each opens its key with open-or-create semantics
// and closes it again. Reads give at most bufferSize - 1 bytes of text; a
// value that does not fit, or is not there, gives FALSE and an empty out.
constexpr std::size_t kRegBufferSize = 2048;
BOOL ReadRegStringLM(const std::string& key, const std::string& valueName, std::string& out,
                     std::size_t bufferSize = kRegBufferSize);
BOOL ReadRegStringCU(const std::string& key, const std::string& valueName, std::string& out);
BOOL WriteRegStringLM(const std::string& key, const std::string& valueName, const std::string& data);
BOOL WriteRegStringCU(const std::string& key, const std::string& valueName, const std::string& data);

// Discovery: TRUE with the AutoCAD folder (ending in a backslash) when the
// release is installed.
BOOL FindAcadFolder(AcadRelease release, std::string& folder);

// Setup: the product's profile for a release that FindAcadFolder found.
// installFolder ends with a backslash.
void CreateAcadProfile(const ProductIdentity& identity, AcadRelease release, const std::string& acadFolder,
                       const std::string& installFolder);

// Uninstall: deletes the identity's profile from the releases it knows.
void RemoveAcadProfiles(const ProductIdentity& identity);
