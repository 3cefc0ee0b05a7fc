#include "install/SetupThread.h"

#include "framework/App.h"
#include "framework/CommandLine.h"
#include "framework/Sys.h"
#include "framework/Wnd.h"

const std::vector<std::string>& CSetupThread::Folders() {
  static const std::vector<std::string> folders{"Support", "Controls", "图框", "Data", "Temp"};
  return folders;
}

int CSetupThread::Run() {
  owner_ = m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
  ownerTaken_ = true;
  // A thread gets its message queue on its first peek; without one the
  // WM_QUIT below could not be posted and the loop would never end.
  MSG msg;
  ::PeekMessageW(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);

  Log("安装: 从 " + m_sourceFolder + " 到 " + m_installFolder);
  bool copied = false;
  try {
    copied = CopyFolders();
  } catch (...) {
    copied = false;  // a folder stage that broke off is a failed one
  }
  completed_ = copied;
  if (!copied) Log(IsCancelled() ? "用户取消了安装; 没有写安装记录" : "文件夹阶段放弃; 没有写安装记录, 安装未完成");
  if (copied) {
    RunLaterStage([this] { CopyTopFiles(); });
    RunLaterStage([this] { RegisterControls(); });
    RunLaterStage([this] { RegisterPerUserStep(); });
    RunLaterStage([this] { WriteRegistry(); });
    RunLaterStage([this] { CreateShortcuts(); });
    RunLaterStage([this] { WriteRecord(); });
    RunLaterStage([this] { NameProgramsHoldingFiles(); });
    SendToPage(WM_SETUP_FINISHING);
    PostToPage(WM_SETUP_DONE);
  } else {
    PostToPage(WM_SETUP_FAILED);
  }
  // The thread's own identifier, not m_nThreadID: the creator may not have
  // stored that yet when the run gets here.
  if (!::PostThreadMessageW(::GetCurrentThreadId(), WM_QUIT, 0, 0)) return ExitInstance();
  return CWinThread::Run();
}

bool CSetupThread::CopyFolders() {
  for (const std::string& name : Folders())
    if (!CopyFolder(m_sourceFolder + name, m_installFolder + name)) return false;
  return true;
}

void CSetupThread::NameProgramsHoldingFiles() {
  if (RestartNeeded()) restart_.programs = inuse::ProgramsUsing(restart_.files);
}

template <typename Stage>
void CSetupThread::RunLaterStage(Stage stage) {
  try {
    stage();
  } catch (...) {
    // A later stage never stops the run; what it did not finish is skipped.
  }
}

HWND CSetupThread::Owner() const {
  if (ownerTaken_) return owner_;
  return m_pMainWnd ? m_pMainWnd->GetSafeHwnd() : nullptr;
}

void CSetupThread::Log(const std::string& line) const {
  if (m_log) m_log->Write(line);
}

void CSetupThread::LogFailure(const std::string& line) {
  ++failures_;
  Log(line);
}

int CSetupThread::ExitCode() const { return cmdline::ExitCodeOf(completed_, failures_, RestartNeeded()); }

int CSetupThread::SilentAnswer(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE: return IDIGNORE;
    case MB_RETRYCANCEL: return IDCANCEL;
    case MB_YESNO: return IDYES;
    default: return IDOK;
  }
}

int CSetupThread::Prompt(const std::string& text, UINT type) const {
  // Nobody to ask: the documented answer, and nothing shown.
  if (m_silent) return SilentAnswer(type);
  const HWND owner = Owner();
  // Without its page a prompt would be an ownerless box that nobody waits
  // for; its answer is then "no answer", which every caller takes as Abort
  // or Cancel.
  if (!owner || !::IsWindow(owner)) return 0;
  return sys::MessageBox(owner, text.c_str(), AfxGetAppName(), type);
}

void CSetupThread::SendToPage(UINT msg, const std::string* source, const std::string* target) const {
  const HWND owner = Owner();
  if (!owner) return;
  // Sent: the page reads the paths behind the pointers before this returns.
  ::SendMessageW(owner, msg, source ? reinterpret_cast<WPARAM>(source->c_str()) : 0,
                 target ? reinterpret_cast<LPARAM>(target->c_str()) : 0);
}

void CSetupThread::PostToPage(UINT msg) const {
  const HWND owner = Owner();
  if (owner) ::PostMessageW(owner, msg, 0, 0);
}
