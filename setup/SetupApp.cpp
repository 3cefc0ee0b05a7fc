#include "setup/SetupApp.h"

#include "framework/CommandLine.h"
#include "framework/Sys.h"
#include "setup/InstallPathPage.h"
#include "setup/PerUserStep.h"
#include "setup/SetupDialog.h"
#include "setup/SilentSetup.h"

namespace {
const char kProgram[] = "Terrasum V8.0 安装程序 (土方工程量计算软件), 版本 8.0";
const char kCaption[] = "Terrasum V8.0 安装向导";
}  // namespace

CSetupApp theApp;

// Always FALSE: there is no message loop to run once the dialog has closed.
BOOL CSetupApp::InitInstance() {
  RunPerUserStepIfAsked();  // the per-user program's run ends the process there
  AfxEnableControlContainer();
  Enable3dControls();
  SetExitCode(RunFromCommandLine());
  return FALSE;
}

int CSetupApp::RunFromCommandLine() {
  const cmdline::Options options =
      cmdline::Parse(cmdline::SkipProgramName(sys::CommandLine()), cmdline::Program::setup);
  std::string problem = options.problem;
  // /D= is taken as the folder page takes a typed folder: a full path on a
  // drive, slashes as backslashes and "." and ".." resolved, so that the
  // record holds only paths the uninstaller acts on.
  std::string folder = options.folder;
  if (problem.empty() && options.hasFolder) {
    folder = CInstallPathPage::FullFolder(options.folder);
    if (folder.empty()) problem = "/D= 的安装文件夹 \"" + options.folder + "\" 不是驱动器上的完整路径(例如 D:\\Terrasum)。";
  }
  const int code = StartLogged(log_, options, problem, cmdline::Program::setup, kProgram, kCaption)
                       ? (options.silent ? RunSilent(folder) : RunWizard(folder))
                       : cmdline::exitNotUnderstood;
  log_.WriteExitCode(code);
  return code;
}

int CSetupApp::RunSilent(const std::string& folder) {
  log_.Write("静默安装 (/S): 接受许可协议; 安装文件夹 " +
             (folder.empty() ? std::string(CSetupDialog::kDefaultInstallFolder) : folder));
  return CSilentSetup(log_, folder).Run();
}

int CSetupApp::RunWizard(const std::string& folder) {
  CSetupDialog dialog;
  dialog.m_log = &log_;
  dialog.m_presetFolder = folder;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  return dialog.ExitCode();
}
