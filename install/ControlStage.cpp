// The control stage of the install worker: every ActiveX control of the
// installed Controls folder registers itself through its own entry point.
#include "framework/Handles.h"
#include "framework/Sys.h"
#include "framework/SystemError.h"
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
    std::string why;
    if (RegisterControl(path, &why)) Log("注册控件 " + path + ": 成功");
    else LogFailure("注册控件 " + path + " 失败: " + why);
    // Recorded whatever the registration gave: the uninstaller's replay
    // deletes the file, and unregistering what never registered is harmless.
    RecordControl(path);
  }
}

bool CSetupThread::RegisterControl(const std::string& path, std::string* why) {
  std::string ignored;
  std::string& reason = why ? *why : ignored;
  // Freed on every way out once loaded.
  const ScopedLibrary control(sys::LoadLibrary(path.c_str()));
  if (!control) {
    reason = "不能载入: " + SystemErrorLine(::GetLastError());
    return false;
  }
  const FARPROC export_ = ::GetProcAddress(control.get(), kRegisterEntry);
  if (!export_) {
    reason = std::string("没有 ") + kRegisterEntry;
    return false;
  }
  const auto registerServer = reinterpret_cast<RegisterServerEntry>(reinterpret_cast<void*>(export_));
  // Only S_OK is success: S_FALSE and other positive codes are failures too.
  const HRESULT result = registerServer();
  reason = FormatText("%s 返回 0x%08lX", kRegisterEntry, static_cast<unsigned long>(result));
  return result == S_OK;
}
