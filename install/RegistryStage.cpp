// The registry stage of the install worker: the product key, the AutoCAD
// profiles of every release found, and the Add/Remove Programs entry. Both
// keys are recorded after their values; the profiles are not recorded.
#include "acad/AcadRegistry.h"
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
  // No write result is examined: a value that cannot be written is skipped,
  // and its key is recorded all the same.
  const std::string productKey = kSetupIdentity.productKey;
  WriteRegStringLM(productKey, kInstallPathValue, m_installFolder);
  WriteRegStringLM(productKey, kVersionValue, kVersion);
  RecordKey(HKEY_LOCAL_MACHINE, productKey);

  // Each profile is made right after its release was found, before the next
  // release is probed. The AutoCAD folder matters to R15.0's profile only.
  std::string acadFolder;
  for (AcadRelease release : AllAcadReleases())
    if (FindAcadFolder(release, acadFolder, kSetupIdentity.machineReadBuffer))
      CreateAcadProfile(kSetupIdentity, release, acadFolder, m_installFolder);

  const std::string uninstaller = JoinPath(m_installFolder, kUninstaller);
  WriteRegStringLM(kUninstallKey, kDisplayNameValue, kDisplayName);
  // The system's list of installed programs runs it as a command line: in
  // quotes where the path holds a blank, so that no "D:\Soft.exe" runs instead.
  WriteRegStringLM(kUninstallKey, kUninstallStringValue, installpath::CommandLineOf(uninstaller));
  RecordKey(HKEY_LOCAL_MACHINE, kUninstallKey);
}
