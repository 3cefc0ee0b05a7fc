#pragma once
// The registry string routines, release discovery, and the product's AutoCAD
// profile (created by Setup, removed by Uninstall). The release table itself
// is acad/AcadRelease.h, the key paths acad/AcadText.h.
//
// Every routine opens the keys it needs itself, with open-or-create
// semantics also for reading (so reading an absent key leaves it behind,
// empty, where the process may create it), and closes them again.
#include <windows.h>

#include <cstddef>
#include <string>

#include "acad/AcadRelease.h"
#include "acad/ProductIdentity.h"

// Buffer of the routines, terminating zero included: a read gives at most
// 2047 bytes of text, a write takes at most 2047 bytes of data. Uninstall's
// machine reads use its identity's smaller buffer (1024).
constexpr std::size_t kRegBufferSize = 2048;

// Reads a value (an empty name: the key's default value) as text up to its
// first zero byte; the value's type is not examined. FALSE with an empty out
// when the key cannot be opened, the value is absent, or it does not fit the
// buffer with its terminating zero.
BOOL ReadRegStringLM(const std::string& key, const std::string& valueName, std::string& out,
                     std::size_t bufferSize = kRegBufferSize);
BOOL ReadRegStringCU(const std::string& key, const std::string& valueName, std::string& out);
// As ReadRegStringCU, but an absent key is not created: for reading keys of
// AutoCAD's that must not appear where AutoCAD has not made them.
BOOL ReadExistingRegStringCU(const std::string& key, const std::string& valueName, std::string& out);
// As ReadRegStringLM, but an absent key is not created: for a program run
// by a user without the right to, or any business with, creating it.
BOOL ReadExistingRegStringLM(const std::string& key, const std::string& valueName, std::string& out);

// Sets a REG_SZ value to data and its terminating zero (length + 1 bytes).
// Data that does not fit the buffer (more than 2047 bytes) is refused whole:
// FALSE, and the value is left as it was. TRUE exactly when the value was set.
BOOL WriteRegStringLM(const std::string& key, const std::string& valueName, const std::string& data);
BOOL WriteRegStringCU(const std::string& key, const std::string& valueName, const std::string& data);
// Sets a REG_DWORD value; TRUE exactly when the value was set.
BOOL WriteRegDwordLM(const std::string& key, const std::string& valueName, DWORD data);

// The product key of the release's installation by one lookup variant
// (acad/AcadRelease.h); machine reads use machineReadBuffer. An empty
// "CurVer" counts as none. TRUE when the lookup yields a product key (for
// machine-first: when a "CurVer" was read; user-first and user-only always,
// through the fixed key; machine-only when the machine's "CurVer" was read).
BOOL LookUpProductKey(AcadRelease release, ProductKeyLookup lookup, std::size_t machineReadBuffer,
                      std::string& productKey);

// Discovery (Setup): TRUE with the AutoCAD folder, ending in a backslash
// character, when the release's folder value holds text; FALSE with an empty
// folder otherwise. The file system is not consulted.
BOOL FindAcadFolder(AcadRelease release, std::string& folder, std::size_t machineReadBuffer = kRegBufferSize);

// Setup: the identity's profile for a release that FindAcadFolder found,
// built from AutoCAD's default profile (never from its own earlier content).
// installFolder and acadFolder end with a backslash; only R15.0 uses
// acadFolder. Write results are ignored, as nothing here is reported.
void CreateAcadProfile(const ProductIdentity& identity, AcadRelease release, const std::string& acadFolder,
                       const std::string& installFolder);

// Uninstall: deletes the identity's profile key from R15.0 to R17.1 (never
// R17.2), one single-key deletion under HKEY_CURRENT_USER each, so a profile
// key that still has subkeys stays where the platform refuses that.
void RemoveAcadProfiles(const ProductIdentity& identity);
