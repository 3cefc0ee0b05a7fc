#include "setup/SilentSetup.h"

#include <utility>

#include "framework/App.h"
#include "framework/CodePage.h"
#include "framework/CommandLine.h"
#include "install/SetupThread.h"
#include "setup/SetupDialog.h"

namespace {
std::string AsFolder(const std::string& folder) { return cp936::WithTrailingBackslash(cp936::Trim(folder)); }
}  // namespace

CSilentSetup::CSilentSetup(const CActionLog& log, std::string installFolder)
    : log_(log), installFolder_(std::move(installFolder)) {}

int CSilentSetup::Run() {
  // The source folder as the wizard takes it: the running program's folder.
  std::string source = ModuleFileName(nullptr);
  const size_t slash = cp936::FindLastBackslash(source);
  if (slash != cp936::npos) source.erase(slash);

  // The wizard's question over an earlier installation is answered "install
  // again". The key is opened with create semantics, as the wizard does.
  std::string recorded;
  if (CSetupDialog::ReadInstallPath(CSetupDialog::kProductKey, CSetupDialog::kInstallPathValue, recorded))
    log_.Write("已经安装过 (installPath = " + recorded + "); 静默安装: 重新安装");

  CJoinedThread<CSetupThread> worker;
  worker.m_sourceFolder = AsFolder(source);
  worker.m_installFolder = AsFolder(installFolder_.empty() ? CSetupDialog::kDefaultInstallFolder : installFolder_);
  worker.m_log = &log_;
  worker.m_perUserProgram = ModuleFileName(nullptr);
  worker.m_silent = true;
  worker.m_pMainWnd = nullptr;  // no page: nothing is sent, nothing is shown
  worker.m_bAutoDelete = FALSE;
  if (!worker.CreateThread(0, 0, nullptr)) {
    log_.Write("不能启动安装线程: " + std::to_string(::GetLastError()));
    return cmdline::exitNotDone;
  }
  worker.WaitForEnd(false);
  return worker.ExitCode();
}
