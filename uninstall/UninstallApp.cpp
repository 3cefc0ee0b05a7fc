#include "uninstall/UninstallApp.h"

#include <memory>

#include "framework/CommandLine.h"
#include "framework/Sys.h"
#include "framework/SystemError.h"
#include "uninstall/UninstallDialog.h"

namespace {
const char kQuestion[] = "真要卸载 Gravo V6.0吗?";
const char kQuestionCaption[] = "卸载软件";
const char kProgram[] = "Gravo V6.0 卸载程序 (土方工程量计算软件), 版本 6.0";
}  // namespace

CUninstallApp theApp;

BOOL CUninstallApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  SetExitCode(RunFromCommandLine());
  return FALSE;
}

int CUninstallApp::RunFromCommandLine() {
  const cmdline::Options options =
      cmdline::Parse(cmdline::SkipProgramName(sys::CommandLine()), cmdline::Program::uninstall);
  const int code = StartLogged(log_, options, options.problem, cmdline::Program::uninstall, kProgram, kQuestionCaption)
                       ? (options.silent ? RunSilent() : RunWithDialog())
                       : cmdline::exitNotUnderstood;
  log_.WriteExitCode(code);
  return code;
}

int CUninstallApp::RunWithDialog() {
  if (sys::MessageBox(nullptr, kQuestion, kQuestionCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    log_.Write("用户回答不卸载; 什么也没有改动");
    return cmdline::exitNotDone;
  }
  auto dialog = std::make_unique<CUninstallDialog>();
  dialog->m_log = &log_;
  m_pMainWnd = dialog.get();
  dialog->DoModal();
  m_pMainWnd = nullptr;
  return dialog->ExitCode();
}

// No question, no dialog, no message box: the same replay on the same
// worker, with nobody to report to; what the dialog would show goes to the
// log.
int CUninstallApp::RunSilent() {
  log_.Write("静默卸载 (/S)");
  const std::string record = CUninstallDialog::RecordPath();
  if (sys::GetFileAttributes(record.c_str()) == INVALID_FILE_ATTRIBUTES) {
    log_.Write("没有安装记录 " + record + "; 什么也没有改动");
    return cmdline::exitNotDone;
  }
  CJoinedThread<CUninstallThread> worker;
  worker.m_log = &log_;
  worker.m_silent = true;
  worker.m_pMainWnd = nullptr;
  worker.m_bAutoDelete = FALSE;
  if (!worker.LoadRecord(record)) return cmdline::exitNotDone;
  if (!worker.CreateThread()) {
    log_.Write("不能启动卸载线程: " + SystemErrorLine(::GetLastError()));
    return cmdline::exitNotDone;
  }
  worker.WaitForEnd(false);
  return worker.ExitCode();
}
