// The registry stage of the install worker: the product key, the AutoCAD
// profiles of every release found, and the Add/Remove Programs entry. Both
// keys are recorded after their values; the profiles are not recorded.
#include "acad/AcadRegistry.h"
#include "framework/SystemError.h"
#include "install/InstallPath.h"
#include "install/SetupThread.h"

namespace {

const char kInstallPathValue[] = "installPath";
const char kVersionValue[] = "Ver";
const char kVersion[] = "8.00";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Terrasum V8";
const char kDisplayNameValue[] = "DisplayName";
const char kDisplayName[] = "土方工程量计算软件 Terrasum V8.0";
const char kUninstallStringValue[] = "UninstallString";
const char kUninstaller[] = "Uninstall.exe";

}  // namespace

void CSetupThread::WriteRegistry() {
  // A value that cannot be written is skipped (and logged as failed), and
  // its key is recorded all the same.
  const std::string productKey = kSetupIdentity.productKey;
  WriteMachineValue(productKey, kInstallPathValue, m_installFolder);
  WriteMachineValue(productKey, kVersionValue, kVersion);
  RecordKey(HKEY_LOCAL_MACHINE, productKey);

  // Each profile is made right after its release was found, before the next
  // release is probed. The AutoCAD folder matters to R15.0's profile only.
  std::string acadFolder;
  for (AcadRelease release : AllAcadReleases())
    if (FindAcadFolder(release, acadFolder, kSetupIdentity.machineReadBuffer)) {
      Log(FormatText("找到 AutoCAD %d (%s), 文件夹 %s", AcadShortcutYear(release), AcadReleaseKey(release),
                     acadFolder.c_str()));
      CreateAcadProfile(kSetupIdentity, release, acadFolder, m_installFolder);
      Log(FormatText("为 AutoCAD %d 创建配置 %s (HKEY_CURRENT_USER)", AcadShortcutYear(release),
                     kSetupIdentity.profileName));
    }

  const std::string uninstaller = JoinPath(m_installFolder, kUninstaller);
  WriteMachineValue(kUninstallKey, kDisplayNameValue, kDisplayName);
  // The system's list of installed programs runs it as a command line: in
  // quotes where the path holds a blank, so that no "D:\Soft.exe" runs instead.
  WriteMachineValue(kUninstallKey, kUninstallStringValue, installpath::CommandLineOf(uninstaller));
  RecordKey(HKEY_LOCAL_MACHINE, kUninstallKey);
}

bool CSetupThread::WriteMachineValue(const std::string& key, const std::string& value, const std::string& data) {
  const std::string what = "HKEY_LOCAL_MACHINE\\" + key + " " + value + " = \"" + data + "\"";
  if (WriteRegStringLM(key, value, data)) {
    Log("写注册表 " + what);
    return true;
  }
  LogFailure("未能写注册表 " + what);
  return false;
}
