// The shortcut stage of the install worker: the desktop shortcut, the
// Start-menu group and one launch shortcut per AutoCAD release found, each a
// shell link saved through the shell's link object.
#include <objbase.h>
#include <shlobj.h>

#include "acad/AcadRegistry.h"
#include "framework/CodePage.h"
#include "framework/Handles.h"
#include "framework/ShellLink.h"
#include "framework/Sys.h"
#include "install/SetupThread.h"

namespace {

const char kShellFoldersW[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kShellFoldersN[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Explorer\\Shell Folders";

// One way to find the desktop and Programs folders; per-user ones first.
struct ShellFolderAttempt {
  HKEY root;
  const char* key;
  const char* desktopValue;
  const char* programsValue;
};

const ShellFolderAttempt kShellFolderAttempts[] = {
    {HKEY_CURRENT_USER, kShellFoldersW, "Desktop", "Programs"},
    {HKEY_CURRENT_USER, kShellFoldersN, "Desktop", "Programs"},
    {HKEY_LOCAL_MACHINE, kShellFoldersW, "Common Desktop", "Common Programs"},
    {HKEY_LOCAL_MACHINE, kShellFoldersN, "Common Desktop", "Common Programs"},
};

const char kGroupName[] = "土方工程量计算软件 Terrasum V8.0";
const char kProductLink[] = "Terrasum V8.0.LNK";
const char kWebLink[] = "官方网站.LNK";
const char kUninstallLink[] = "Terrasum V8.0 卸载程序.LNK";
const char kProgram[] = "Terrasum.exe";
const char kWebSite[] = "Kelvarin.url";
const char kUninstaller[] = "Uninstall.exe";
const char kIcon[] = "TerrasumV8.0.ICO";
const char kAcadProgram[] = "acad.exe";

// A folder value as a folder: trimmed, with a trailing backslash. A value
// that is empty or blank names no folder: taken as it stands, every link
// would land in whatever the process's current folder happens to be.
//
// A '?' names no folder either: no folder name may hold one, and it stands
// where the user's folder has a character code page 936 cannot hold (a
// Korean user name, say); links and a group made there would be made and
// recorded under another name.
bool AsFolder(const std::string& value, std::string& folder) {
  folder = cp936::Trim(value);
  if (folder.empty() || cp936::FindChar(folder, '?') != cp936::npos) return false;
  // Tested by character: a double-byte character whose second byte is 0x5C
  // ends a name, not a separator, and still needs one after it.
  folder = cp936::WithTrailingBackslash(folder);
  return true;
}

bool ReadShellFolder(HKEY root, const char* key, const char* value, std::string& folder) {
  std::string text;
  const BOOL read = root == HKEY_LOCAL_MACHINE ? ReadRegStringLM(key, value, text) : ReadRegStringCU(key, value, text);
  return read && AsFolder(text, folder);
}

// AutoCAD's switches: the product's profile (/p) and the drawing template (/t).
std::string LaunchArguments() { return std::string("/p \"") + kSetupIdentity.profileName + "\" /t acad.dwt"; }

std::string LaunchLinkName(AcadRelease release) {
  return "Terrasumfor" + std::to_string(AcadShortcutYear(release)) + ".LNK";
}

}  // namespace

bool CSetupThread::FindShellFolders(std::string& desktop, std::string& programs) {
  for (const ShellFolderAttempt& attempt : kShellFolderAttempts) {
    // The Programs value is read only when the desktop value was.
    if (ReadShellFolder(attempt.root, attempt.key, attempt.desktopValue, desktop) &&
        ReadShellFolder(attempt.root, attempt.key, attempt.programsValue, programs))
      return true;
  }
  desktop.clear();
  programs.clear();
  return false;
}

bool CSetupThread::CreateShortcuts() {
  std::string desktop, programs;
  if (!FindShellFolders(desktop, programs)) {  // nothing made, nothing recorded
    LogFailure("找不到桌面和\"程序\"文件夹(Shell Folders), 没有创建快捷方式");
    return false;
  }
  Log("快捷方式的文件夹: 桌面 " + desktop + ", 程序 " + programs);
  const std::string group = JoinPath(programs, kGroupName);
  // Cancel in the folder prompt ends the shortcut stage here, not the run:
  // the files are in place and registered by now, and the record still
  // has to be written so that the installation can be uninstalled. Going on
  // would only fail to save the group's shortcuts one by one.
  if (!EnsureFolder(group)) {
    Log("没有程序组文件夹, 不创建快捷方式");
    return false;
  }

  const std::string program = JoinPath(m_installFolder, kProgram);
  MakeShortcut(JoinPath(desktop, kProductLink), program);
  MakeShortcut(JoinPath(group, kProductLink), program);
  MakeLaunchShortcuts();
  MakeShortcut(JoinPath(group, kWebLink), JoinPath(m_installFolder, kWebSite));
  MakeShortcut(JoinPath(group, kUninstallLink), JoinPath(m_installFolder, kUninstaller));
  // The group folder itself, as a file entry: the replay's delete of it
  // fails harmlessly, its removal comes from the folder entry.
  RecordFile(group);
  return true;
}

void CSetupThread::MakeLaunchShortcuts() {
  const std::string arguments = LaunchArguments();
  const std::string icon = JoinPath(m_installFolder, kIcon);
  // Asked anew: the registry stage's answers are not kept.
  std::string acadFolder;
  for (AcadRelease release : AllAcadReleases())
    if (FindAcadFolder(release, acadFolder, kSetupIdentity.machineReadBuffer))
      MakeShortcut(JoinPath(m_installFolder, LaunchLinkName(release)), JoinPath(acadFolder, kAcadProgram),
                   arguments.c_str(), icon.c_str());
}

bool CSetupThread::MakeShortcut(const std::string& linkPath, const std::string& target, const char* arguments,
                                const char* iconPath) {
  // An older link of that name is replaced, not kept beside the new one.
  sys::DeleteFile(linkPath.c_str());
  if (!CreateShortcut(m_installFolder, linkPath, target, arguments, iconPath)) {
    LogFailure("未能创建快捷方式 " + linkPath + " -> " + target);
    return false;
  }
  RecordFile(linkPath);
  Log("创建快捷方式 " + linkPath + " -> " + target + (arguments ? std::string(" ") + arguments : std::string()));
  return true;
}

bool CSetupThread::CreateShortcut(const std::string& workingFolder, const std::string& linkPath,
                                  const std::string& target, const char* arguments, const char* iconPath) {
  // S_FALSE (already initialised on this thread) is success. COM stays
  // initialised for the rest of the worker's life.
  if (FAILED(::CoInitialize(nullptr))) return false;
  CShellLink link;
  if (!link.IsReady()) return false;
  // A null text leaves the link without arguments or icon.
  link.SetPath(target.c_str());
  link.SetArguments(arguments);
  link.SetIconLocation(iconPath, 0);
  link.SetWorkingDirectory(workingFolder.c_str());
  // A path too long for a file name is not saved at all rather than under a
  // shortened or garbled name.
  return link.Save(linkPath);
}
