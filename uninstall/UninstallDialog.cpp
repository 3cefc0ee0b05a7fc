#include "uninstall/UninstallDialog.h"

#include <vector>

#include "acad/ProductIdentity.h"
#include "framework/App.h"
#include "framework/CodePage.h"
#include "framework/Handles.h"
#include "framework/InUse.h"
#include "framework/Sys.h"
#include "framework/SystemError.h"
#include "install/InstallRecord.h"
#include "uninstall/SelfRemoval.h"

namespace {

constexpr UINT kIconId = 128;
const char kRecordName[] = "Uninstall.log";
const char kInstallPathValue[] = "installPath";
const char kFailedText[] = "Gravo V6.0 卸载未能完成!";
// Posted by the dialog to itself once the replay is done: the user is told
// about files left to the restart after the worker has ended.
constexpr UINT WM_UNINSTALL_TELL_RESTART = WM_APP + 1;

}  // namespace

CUninstallDialog::CUninstallDialog(CWnd* parent)
    : CDialog(IDD, parent), m_hIcon(::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(kIconId))) {}

void CUninstallDialog::DoDataExchange() {
  DDX_Control(IDC_FINISH_TEXT, m_finishText);
  DDX_Control(IDC_FILE_GROUP, m_fileGroup);
  DDX_Control(IDC_THANKS, m_thanks);
  DDX_Control(IDOK, m_finish);
  DDX_Control(IDCANCEL, m_cancel);
  DDX_Control(IDC_CURRENT_FILE, m_currentFile);
  DDX_Control(IDC_PROGRESS, m_progress);
}

BOOL CUninstallDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  SetUpControls();
  const std::string record = RecordPath();
  if (sys::GetFileAttributes(record.c_str()) == INVALID_FILE_ATTRIBUTES) {
    // Nothing to undo here: close at once and without a word.
    if (m_log) m_log->Write("没有安装记录 " + record + "; 什么也没有改动");
    PostMessage(WM_CLOSE);
    return TRUE;
  }
  m_worker.m_log = m_log;
  m_worker.m_pMainWnd = this;
  m_worker.m_bAutoDelete = FALSE;
  // LoadRecord has told the user why and posted WM_UNINSTALL_FAILED, which
  // arrives before the close request.
  if (!m_worker.LoadRecord(record)) {
    PostMessage(WM_CLOSE);
    return TRUE;
  }
  if (!StartReplay()) PostMessage(WM_UNINSTALL_FAILED);
  return TRUE;
}

void CUninstallDialog::SetUpControls() {
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  m_thanks.SetShadow(TRUE);
  m_finish.SetShade(CShadeButton::BumpHard, 8, 10, 0, RGB(0, 0, 0));
  m_cancel.SetShade(CShadeButton::BumpSoft, 8, 10, 0, RGB(0, 0, 0));
  m_finish.EnableWindow(FALSE);
  m_finishText.ShowWindow(SW_HIDE);
}

bool CUninstallDialog::StartReplay() {
  m_progress.SetShowText(TRUE);
  m_progress.SetRange(0, m_worker.CountEntries(record::kFileCopy));
  m_progress.SetStep(1);
  return m_worker.CreateThread() != FALSE;
}

bool CUninstallDialog::ReadInstallPath(std::string& path) {
  HKEY raw = nullptr;
  if (sys::RegOpenKeyEx(HKEY_LOCAL_MACHINE, kUninstallIdentity.productKey, 0, KEY_ALL_ACCESS, &raw) != ERROR_SUCCESS)
    return false;
  ScopedRegKey key(raw);
  std::vector<char> buffer(kUninstallIdentity.machineReadBuffer, '\0');
  DWORD size = static_cast<DWORD>(buffer.size());
  DWORD type = 0;
  if (sys::RegQueryValueEx(key.get(), kInstallPathValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &size) != ERROR_SUCCESS)
    return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  // The stored text need not end with its NUL; take the bytes up to the first.
  std::size_t length = 0;
  while (length < size && length < buffer.size() && buffer[length] != '\0') ++length;
  // An empty value names no folder ("\" would be the drive's root).
  if (length == 0) return false;
  path = cp936::WithTrailingBackslash(std::string(buffer.data(), length));
  return true;
}

std::string CUninstallDialog::RecordPath() {
  std::string folder;
  if (!ReadInstallPath(folder)) folder = ProgramFolder();
  return folder + kRecordName;
}

std::string CUninstallDialog::ProgramFolder() {
  const std::string program = selfremoval::RunningProgramFile();
  const std::size_t slash = cp936::FindLastBackslash(program);
  return slash == cp936::npos ? std::string() : program.substr(0, slash + 1);
}

bool CUninstallDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_UNINSTALL_FILE:
      OnUninstallFile(reinterpret_cast<const char*>(lp));
      break;
    case WM_UNINSTALL_FILES_DONE:
      OnUninstallFilesDone();
      break;
    case WM_UNINSTALL_DONE:
      OnUninstallDone();
      break;
    case WM_UNINSTALL_FAILED:
      OnUninstallFailed();
      break;
    case WM_UNINSTALL_TELL_RESTART:
      TellRestartNeeded();
      break;
    case WM_PAINT:
      if (!OnPaint()) return false;
      break;
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(m_hIcon);
      return true;
    default:
      return CDialog::OnMessage(msg, wp, lp, result);
  }
  result = 0;
  return true;
}

void CUninstallDialog::OnUninstallFile(const char* path) {
  m_currentFile.ShowText(FormatText("%s ... ", path ? path : ""));
  m_progress.StepIt();
}

void CUninstallDialog::OnUninstallFilesDone() { m_currentFile.SetWindowText(""); }

void CUninstallDialog::OnUninstallDone() {
  finished_ = true;
  m_currentFile.SetWindowText("");
  m_progress.ShowWindow(SW_HIDE);
  m_fileGroup.ShowWindow(SW_HIDE);
  m_finishText.ShowWindow(SW_SHOW);
  m_finish.EnableWindow(TRUE);
  m_finish.SetFocus();
  PostMessage(WM_UNINSTALL_TELL_RESTART);
}

void CUninstallDialog::TellRestartNeeded() {
  // The worker has sent its last message and ends right after it.
  m_worker.WaitForEnd(true);
  if (!m_worker.RestartNeeded()) return;
  MessageBox(inuse::RestartMessage(m_worker.FilesPutOff(), "删除", "卸载").c_str(), AfxGetAppName(),
             MB_OK | MB_ICONINFORMATION);
}

void CUninstallDialog::OnUninstallFailed() {
  MessageBox(kFailedText, AfxGetAppName(), MB_OK | MB_ICONINFORMATION);
  StopWorker();
  EndDialog(IDCANCEL);
}

bool CUninstallDialog::OnPaint() { return PaintIconIfMinimised(m_hIcon); }

void CUninstallDialog::OnOK() {
  // Enter reaches here even while the finish button is disabled.
  if (!finished_) return;
  StopWorker();
  EndDialog(IDOK);
}

void CUninstallDialog::OnCancel() {
  StopWorker();
  EndDialog(IDCANCEL);
}

void CUninstallDialog::OnDestroy() { StopWorker(); }

void CUninstallDialog::StopWorker() {
  m_worker.RequestStop();
  m_worker.WaitForEnd(true);
}
