// The registry stage of the install worker: the product key, the AutoCAD
// profiles of every release found, and the Add/Remove Programs entry. Both
// keys are recorded after their values; the profiles are not recorded.
#include "acad/AcadRegistry.h"
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
  // As SYSTEM no profile is made: no user signs in as that account, and
  // every user makes his own through the per-user program.
  std::string acadFolder;
  for (AcadRelease release : AllAcadReleases())
    if (!m_asSystem && FindAcadFolder(release, acadFolder, kSetupIdentity.machineReadBuffer))
      CreateAcadProfile(kSetupIdentity, release, acadFolder, m_installFolder);

  // The bare path, without quotes or arguments, as the system's list of
  // installed programs runs it.
  const std::string uninstaller = JoinPath(m_installFolder, kUninstaller);
  WriteRegStringLM(kUninstallKey, kDisplayNameValue, kDisplayName);
  WriteRegStringLM(kUninstallKey, kUninstallStringValue, uninstaller);
  WriteProgramsEntryDetails(kUninstallKey);
  RecordKey(HKEY_LOCAL_MACHINE, kUninstallKey);
}
