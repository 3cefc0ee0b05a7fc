#include "setup/SetupApp.h"

#include "framework/CommandLine.h"
#include "framework/Sys.h"
#include "framework/SystemError.h"
#include "setup/InstallPathPage.h"
#include "setup/PerUserStep.h"
#include "setup/SetupDialog.h"
#include "setup/SilentSetup.h"

namespace {
const char kProgram[] = "Terrasum V8.0 安装程序 (土方工程量计算软件), 版本 8.0";
const char kCaption[] = "Terrasum V8.0 安装向导";
constexpr int kNotUnderstood = 1;
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
  DWORD error = NO_ERROR;
  if (!options.logPath.empty() && !log_.Open(options.logPath, error) && problem.empty())
    problem = "不能创建日志文件 " + options.logPath + ": " + SystemErrorLine(error);
  log_.WriteHead(kProgram);

  int code = kNotUnderstood;
  if (!problem.empty()) {
    // Nothing has been changed: the line is refused before anything runs.
    log_.Write("命令行有误: " + problem);
    if (!options.silent)
      sys::MessageBox(nullptr, (problem + "\n\n" + cmdline::Usage(cmdline::Program::setup)).c_str(), kCaption,
                      options.help ? MB_OK | MB_ICONINFORMATION : MB_OK | MB_ICONEXCLAMATION);
  } else if (options.silent) {
    log_.Write("静默安装 (/S): 接受许可协议; 安装文件夹 " +
               (options.hasFolder ? folder : std::string(CSetupDialog::kDefaultInstallFolder)));
    code = CSilentSetup(log_, folder).Run();
  } else {
    CSetupDialog dialog;
    dialog.m_log = &log_;
    dialog.m_presetFolder = folder;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    code = dialog.ExitCode();
  }
  log_.WriteExitCode(code);
  return code;
}
