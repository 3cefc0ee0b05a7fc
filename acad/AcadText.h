#pragma once
// The texts the AutoCAD routines form: registry key paths in AutoCAD's part
// of the registry, the product profile's search path and menu file, and the
// text of a registry value read into a fixed buffer. Pure string work.
//
// Key paths keep the letter case of the forms AutoCAD's keys were always
// named with here: discovery and removal write "SOFTWARE\...", profile
// creation and removal's fixed R15.0 fallbacks "Software\..." (the registry
// compares names without regard to case, but a key created anew keeps it).
#include <cstddef>
#include <string>

#include "acad/AcadRelease.h"

// Names of AutoCAD's default profile in its Chinese and its English editions.
extern const char kChineseDefaultProfile[];  // "<<未命名配置>>"
extern const char kEnglishDefaultProfile[];  // "<<Unnamed Profile>>"
// Subkeys of a profile that the product writes.
extern const char kGeneralKey[];               // "General"
extern const char kGeneralConfigurationKey[];  // "General Configuration"

// "SOFTWARE\Autodesk\AutoCAD\%s" (release key): holds "CurVer".
std::string AcadReleaseKeyPath(AcadRelease release);
// "SOFTWARE\Autodesk\AutoCAD\%s\%s" (release key, product key): holds the folder values.
std::string AcadProductKeyPath(AcadRelease release, const std::string& productKey);
// "Software\Autodesk\AutoCAD\%s\%s\Profiles\%s" (release key, product key, profile).
std::string AcadProfileKeyPath(AcadRelease release, const std::string& productKey, const std::string& profile);
// The profile key path followed by "\" and subkey ("General" ...).
std::string AcadProfileSubkeyPath(AcadRelease release, const std::string& productKey, const std::string& profile,
                                  const char* subkey);
// "SOFTWARE\Autodesk\AutoCAD\%s\%s\Profiles\%s": the key profile removal deletes.
std::string AcadRemovalKeyPath(AcadRelease release, const std::string& productKey, const std::string& profile);

// The product profile's support file search path. installFolder and
// acadFolder end with a backslash; acadFolder is used by family A only and
// defaultSearchPath (AutoCAD's default profile's "ACAD") by families B and C.
std::string AcadSearchPath(ProfileFamily family, const std::string& installFolder, const std::string& acadFolder,
                           const std::string& defaultSearchPath);
// Family C's "MenuFile": the product's menu, named without an extension.
std::string AcadMenuFile(const std::string& installFolder);

// The text of a value the registry returned into a buffer of bufferSize
// bytes, returnedSize of them filled: the bytes up to the first zero, never
// beyond those returned or the buffer. The registry does not promise the
// zero (a REG_BINARY value, a string stored without one); a value whose text
// fills the whole buffer with no zero after it has no room for one and is
// taken as larger than the buffer: false, text empty.
bool RegValueText(const char* buffer, std::size_t returnedSize, std::size_t bufferSize, std::string& text);

// Whether data and its terminating zero fit a buffer of bufferSize bytes.
bool FitsRegBuffer(const std::string& data, std::size_t bufferSize);
