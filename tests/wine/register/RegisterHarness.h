#pragma once
// Test bench for the control, registry and shortcut stages under Wine: the
// real registry, real COM and real .lnk files. Seeds AutoCAD releases and
// "Shell Folders" values, reads links back through the shell's link object,
// and cleans up the registry keys the stages leave behind.
#include <windows.h>

#include <string>
#include <vector>

#include "acad/AcadRelease.h"
#include "medium/control/ControlIdentity.h"
#include "tests/wine/acad/RegTestUtil.h"

namespace registertest {

constexpr char kShellFoldersW[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kShellFoldersN[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Explorer\\Shell Folders";
constexpr char kProductKey[] = "SOFTWARE\\Kelvarin\\Terrasum\\V8";
constexpr char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Terrasum V8";
constexpr char kGroupName[] = "土方工程量计算软件 Terrasum V8.0";
constexpr char kLaunchArguments[] = "/p \"<<Terrasum V8>>\" /t acad.dwt";

// Every "Shell Folders" value the stage may read is put aside for the
// scope's life: the test sees none of them until it seeds its own, and the
// prefix's own values come back afterwards.
class ShellFoldersScope {
 public:
  ShellFoldersScope();
  ~ShellFoldersScope();
  ShellFoldersScope(const ShellFoldersScope&) = delete;
  ShellFoldersScope& operator=(const ShellFoldersScope&) = delete;

  // The per-user pair ("Desktop", "Programs") under HKEY_CURRENT_USER, or
  // the all-users pair ("Common Desktop", "Common Programs") under
  // HKEY_LOCAL_MACHINE, in key W or N. An empty text leaves that value out.
  static void SeedUser(const char* key, const std::string& desktop, const std::string& programs);
  static void SeedCommon(const char* key, const std::string& desktop, const std::string& programs);

 private:
  struct Saved {
    HKEY root;
    const char* key;
    const char* name;
    bool present = false;
    DWORD type = REG_NONE;
    std::string bytes;
  };
  std::vector<Saved> saved_;
};

// An AutoCAD release as its installer leaves it: "CurVer" under both roots
// naming SeededProductKey(release), and "AcadLocation" = folder under the
// machine's product key.
void SeedRelease(AcadRelease release, const std::string& folder);
// The release's fixed product key; "ACAD-1:804" for R15.0, which has none.
std::string SeededProductKey(AcadRelease release);
// The product keys of the release under HKEY_CURRENT_USER that hold the
// product's profile.
std::vector<std::string> ProductKeysWithProfile(AcadRelease release);

// Removes what the stages wrote: the product key, the Add/Remove Programs
// entry, and the sample controls' classes.
void CleanProductKeys();
void CleanControlClasses();
std::string ClassValue(const std::string& path, const char* name = "");

// A file of the build tree's bin folder copied to path (folder made).
bool CopyBuilt(const char* file, const std::string& path);
// A folder path made with the wide functions, so that it may be longer than
// the ANSI functions accept.
bool MakeFoldersWide(const std::wstring& path);
std::wstring Wide(const std::string& text);

// A link as the shell's link object reads it back from its file.
struct Link {
  bool loaded = false;
  std::string path, arguments, workingFolder, iconPath;
  int iconIndex = -1;
};
Link ReadLink(const std::string& linkPath);

// The record text split at its line ends.
std::vector<std::string> Lines(const std::string& text);
// Names of folder matching pattern (plain files), in enumeration order.
std::vector<std::string> Enumerate(const std::string& folder, const std::string& pattern);

}  // namespace registertest
