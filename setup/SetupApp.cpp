#include "setup/SetupApp.h"

#include "framework/CommandLine.h"
#include "framework/Sys.h"
#include "framework/SystemError.h"
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
  AfxEnableControlContainer();
  Enable3dControls();
  SetExitCode(RunFromCommandLine());
  return FALSE;
}

int CSetupApp::RunFromCommandLine() {
  const cmdline::Options options =
      cmdline::Parse(cmdline::SkipProgramName(sys::CommandLine()), cmdline::Program::setup);
  std::string problem = options.problem;
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
               (options.hasFolder ? options.folder : std::string(CSetupDialog::kDefaultInstallFolder)));
    code = CSilentSetup(log_, options.folder).Run();
  } else {
    CSetupDialog dialog;
    dialog.m_log = &log_;
    dialog.m_presetFolder = options.folder;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    code = dialog.ExitCode();
  }
  log_.WriteExitCode(code);
  return code;
}
