// The per-user stage of the install worker: leaves the per-user program in
// the install folder and registers it with Windows' Active Setup, which runs
// it once for every user at his next sign-in, to make his AutoCAD profiles
// in his own part of the registry. The installing user (unless he is the
// SYSTEM account) gets his profiles from the registry stage, so his copy of
// the component is marked as done.
//
// The program is Setup itself, with the per-user switch; Setup declares in
// its manifest that it must run as administrator, which no user's sign-in
// may ask for, so the copy declares that it runs as its invoker instead.
#include "acad/AcadRegistry.h"
#include "framework/App.h"
#include "framework/Handles.h"
#include "framework/Security.h"
#include "framework/Sys.h"
#include "framework/SystemError.h"
#include "install/PerUserText.h"
#include "install/SetupThread.h"

namespace {

const char kDisplayName[] = "土方工程量计算软件 Terrasum V8.0";

// The application manifest of a program file (resource 1 of type 24), or
// empty when it has none.
std::string ManifestOf(const std::string& program) {
  const ScopedLibrary module(sys::LoadLibraryEx(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
  if (!module) return std::string();
  const HRSRC found = ::FindResourceW(module.get(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  const HGLOBAL loaded = found ? ::LoadResource(module.get(), found) : nullptr;
  const void* data = loaded ? ::LockResource(loaded) : nullptr;
  if (!data) return std::string();
  return std::string(static_cast<const char*>(data), ::SizeofResource(module.get(), found));
}

// The copy's manifest replaced by one that runs it as its invoker; true
// when the copy has no need of that, or got it.
bool RunAsInvoker(const std::string& copy) {
  std::string manifest;
  if (!peruser::InvokerManifest(ManifestOf(copy), manifest)) return true;
  const HANDLE update = sys::BeginUpdateResource(copy.c_str(), FALSE);
  if (!update) return false;
  const BOOL replaced = ::UpdateResourceW(update, MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1),
                                          MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), &manifest[0],
                                          static_cast<DWORD>(manifest.size()));
  return ::EndUpdateResourceW(update, replaced ? FALSE : TRUE) && replaced;
}

std::string CurrentComponentVersion() {
  SYSTEMTIME now{};
  ::GetSystemTime(&now);
  return peruser::ComponentVersion(
      peruser::Moment{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond});
}

}  // namespace

void CSetupThread::RegisterPerUserStep() {
  if (m_perUserProgram.empty()) return;
  const std::string program = JoinPath(m_installFolder, peruser::kProgramName);
  if (!LeavePerUserProgram(program)) return;
  WritePerUserComponent(program);
}

bool CSetupThread::LeavePerUserProgram(const std::string& target) {
  // Windows runs it as every user who signs in: nobody but the
  // administrators may change it. Made empty with that descriptor first and
  // copied over, as the uninstaller is, so it is never writable by others;
  // an earlier copy (this product's own file) is replaced.
  bool made = false;
  security::MakeProtectedFile(target, security::Kind::trustedFile, &made);
  sys::SetFileAttributes(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!sys::CopyFile(m_perUserProgram.c_str(), target.c_str(), FALSE)) {
    const DWORD error = ::GetLastError();
    LogFailure("未能复制 " + m_perUserProgram + " -> " + target + ": " + SystemErrorLine(error) +
               "; 其他用户登录时不会创建 AutoCAD 配置");
    if (made) sys::DeleteFile(target.c_str());
    return false;
  }
  // Copied from a disc it is read-only, and its resources could not be
  // replaced.
  sys::SetFileAttributes(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  // A copy that would ask for administrator rights at every sign-in is no
  // per-user program; it goes again, and no component names it.
  if (!RunAsInvoker(target)) {
    LogFailure("未能把 " + target + " 改为以用户身份运行; 已删除, 其他用户登录时不会创建 AutoCAD 配置");
    sys::DeleteFile(target.c_str());
    return false;
  }
  // Again, in case the copy took the folder's descriptor instead.
  security::Protect(target, security::Kind::trustedFile);
  RecordFile(target);
  ULONGLONG size = 0;
  if (sys::FileSize(target.c_str(), size)) CountCopied(size);
  Log("复制文件 " + m_perUserProgram + " -> " + target + " (每个用户登录时运行的程序)");
  return true;
}

void CSetupThread::WritePerUserComponent(const std::string& program) {
  // A new version for every installation: a user whose mark is older (every
  // user, after a reinstall, which may have moved the install folder that
  // his profiles name) gets the step again; making a profile twice gives
  // the same profile.
  const std::string version = CurrentComponentVersion();
  WriteRegStringLM(peruser::kComponentKey, "", kDisplayName);
  WriteRegStringLM(peruser::kComponentKey, "Version", version);
  WriteRegStringLM(peruser::kComponentKey, "StubPath", "\"" + program + "\" " + peruser::kSwitch);
  WriteRegDwordLM(peruser::kComponentKey, "IsInstalled", 1);
  // Never ask the user whether to run it.
  WriteRegDwordLM(peruser::kComponentKey, "DontAsk", 2);
  RecordKey(HKEY_LOCAL_MACHINE, peruser::kComponentKey);
  Log("写注册表 HKEY_LOCAL_MACHINE\\" + std::string(peruser::kComponentKey) + " (Active Setup, 版本 " + version +
      ", StubPath \"" + program + "\" " + peruser::kSwitch + ")");
  if (m_asSystem) return;
  // The installing user gets his profiles from this run: his copy of the
  // component is done at this version. (Should a 64-bit Windows look for a
  // 32-bit program's mark under HKCU's Wow6432Node instead, it runs the step
  // once more for him, which rebuilds the same profiles. That key is not
  // made: Wine takes its mere presence as the user's 32-bit view and would
  // send every later 32-bit access to HKCU\Software there.)
  WriteRegStringCU(peruser::kComponentKey, "Version", version);
  RecordKey(HKEY_CURRENT_USER, peruser::kComponentKey);
  Log("写注册表 HKEY_CURRENT_USER\\" + std::string(peruser::kComponentKey) + " Version = \"" + version +
      "\" (本用户的配置已由安装创建)");
}
