#include "setup/PerUserStep.h"

#include <windows.h>

#include "acad/AcadRegistry.h"
#include "framework/App.h"
#include "framework/CodePage.h"
#include "framework/Sys.h"
#include "install/PerUserText.h"

namespace {

const char kInstallPathValue[] = "installPath";

bool IsFolder(const std::string& path) {
  const DWORD attributes = sys::GetFileAttributes(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The install folder, ending with a backslash: the product key's, as the
// installation wrote it (so the profiles name the folder exactly as the
// installing user's do), else the folder this program lies in. Empty when
// neither names a folder that is there. The machine key is only read, never
// made: a user cannot, and has no business to.
std::string FindInstallFolder() {
  std::string folder;
  if (ReadExistingRegStringLM(kSetupIdentity.productKey, kInstallPathValue, folder) && IsFolder(folder))
    return cp936::WithTrailingBackslash(folder);
  const std::string program = ModuleFileName(nullptr);
  const std::size_t slash = cp936::FindLastBackslash(program);
  if (slash == cp936::npos) return std::string();
  folder = program.substr(0, slash + 1);
  return IsFolder(folder) ? folder : std::string();
}

}  // namespace

int RunPerUserStep() {
  const std::string installFolder = FindInstallFolder();
  if (installFolder.empty()) return 1;
  // As the installation's registry stage makes them: each release's profile
  // right after the release was found.
  std::string acadFolder;
  for (AcadRelease release : AllAcadReleases())
    if (FindAcadFolder(release, acadFolder, kSetupIdentity.machineReadBuffer))
      CreateAcadProfile(kSetupIdentity, release, acadFolder, installFolder);
  return 0;
}

void RunPerUserStepIfAsked() {
  if (!peruser::IsPerUserCommandLine(sys::GetCommandLine())) return;
  // Nobody is there to answer a box: no "insert a disk" or crash dialog may
  // stop a user's sign-in.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
  int code = 1;
  try {
    code = RunPerUserStep();
  } catch (...) {
    code = 1;
  }
  // No window, thread or object of Setup exists yet that would need ending.
  ::ExitProcess(static_cast<UINT>(code));
}
