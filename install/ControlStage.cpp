// The control stage of the install worker: every ActiveX control of the
// installed Controls folder registers itself through its own entry point.
#include "framework/Handles.h"
#include "framework/LibraryLoading.h"
#include "framework/Sys.h"
#include "install/SetupThread.h"

namespace {

const char kControlsFolder[] = "Controls\\";
const char kControlPattern[] = "*.ocx";
const char kRegisterEntry[] = "DllRegisterServer";

// The self-registration entry point: no arguments, a 32-bit status.
using RegisterServerEntry = HRESULT(STDAPICALLTYPE*)();

}  // namespace

void CSetupThread::RegisterControls() {
  const std::string folder = m_installFolder + kControlsFolder;
  std::vector<std::string> names;
  FindFiles(folder, kControlPattern, names);
  for (const std::string& name : names) {
    const std::string path = folder + name;
    RegisterControl(path);
    // Recorded whatever the registration gave: the uninstaller's replay
    // deletes the file, and unregistering what never registered is harmless.
    RecordControl(path);
  }
}

bool CSetupThread::RegisterControl(const std::string& path) {
  // Freed on every way out once loaded.
  const ScopedLibrary control(sys::LoadControlLibrary(path));
  if (!control) return false;
  const FARPROC export_ = ::GetProcAddress(control.get(), kRegisterEntry);
  if (!export_) return false;
  const auto registerServer = reinterpret_cast<RegisterServerEntry>(reinterpret_cast<void*>(export_));
  // Only S_OK is success: S_FALSE and other positive codes are failures too.
  return registerServer() == S_OK;
}
