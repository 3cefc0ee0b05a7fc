// The folder stage and the top-level stage of the install worker, and the
// folder and path operations the other stages share.
#include "framework/CodePage.h"
#include "framework/InUse.h"
#include "framework/Security.h"
#include "framework/Sys.h"
#include "framework/SystemError.h"
#include "install/InstallPath.h"
#include "install/SetupThread.h"

namespace {

const char kMissingSourcePrompt[] =
    "%s\n找不到安装文件的路径 %s，\n点击“重试”按钮试图重新查找该安装文件路径；\n"
    "点击“忽略”按钮将跳过该路径下的操作并继续执行；\n点击“取消”按钮将终止程序运行。";
const char kFolderPrompt[] =
    "%s\n不能创建文件夹 %s ，\n点击“重试”按钮试图重新创建文件夹；\n点击“取消”按钮将终止程序运行。";

const char kUnrepresentablePrompt[] =
    "%s\n此名称含有简体中文字符集(GBK)以外的字符，不能复制，已跳过。";

const char kSetupProgram[] = "setup.exe";
const char kProductIcon[] = "TerrasumV8.0.ico";

bool IsFolder(const std::string& path) {
  const DWORD attributes = sys::GetFileAttributes(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Windows refuses to copy over a read-only or hidden file. A first
// installation from a disc leaves its top-level files read-only (their copies
// keep the medium's attributes) and the icon hidden, so a reinstallation kept
// the old files while recording the new ones as installed. The attributes
// are cleared for the copy; a copy that fails all the same gets them back.
const DWORD kRefusingAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// NO_ERROR, or the copy's error code (taken before the attributes are put
// back, which would overwrite it).
DWORD CopyOver(const std::string& source, const std::string& target, DWORD targetAttributes) {
  const bool unprotect = targetAttributes != INVALID_FILE_ATTRIBUTES &&
                         !(targetAttributes & FILE_ATTRIBUTE_DIRECTORY) && (targetAttributes & kRefusingAttributes);
  if (unprotect) sys::SetFileAttributes(target.c_str(), targetAttributes & ~kRefusingAttributes);
  if (sys::CopyFile(source.c_str(), target.c_str(), FALSE)) return NO_ERROR;
  const DWORD error = ::GetLastError();
  if (unprotect) sys::SetFileAttributes(target.c_str(), targetAttributes);
  return error != NO_ERROR ? error : ERROR_GEN_FAILURE;
}

// The answer to a prompt, as the log names it.
const char* AnswerName(int answer) {
  switch (answer) {
    case IDRETRY: return "重试";
    case IDIGNORE: return "忽略";
    case IDABORT: return "终止";
    case IDCANCEL: return "取消";
    default: return "无人回答";
  }
}


}  // namespace

std::string CSetupThread::JoinPath(const std::string& folder, const std::string& name) {
  return installpath::JoinPath(folder, name);
}

void CSetupThread::FindFiles(const std::string& folder, const std::string& pattern,
                             std::vector<std::string>& names, std::vector<std::string>* skipped) {
  names.clear();
  // Enumerated by full path rather than from a changed current directory:
  // the current directory belongs to the whole process, and a folder that
  // cannot be entered must list nothing, not the files of wherever the
  // process happens to stand.
  CFileFind finder;
  bool more = finder.FindFile(installpath::SearchPattern(folder, pattern));
  while (more) {
    more = finder.FindNextFile();
    if (finder.IsDirectory()) continue;
    if (finder.IsNameRepresentable()) names.push_back(finder.GetFileName());
    else if (skipped) skipped->push_back(finder.GetFilePath());
  }
}

bool CSetupThread::CopyFolder(const std::string& sourceFolder, const std::string& target) {
  // By character: "…\忠誠" ends with the trail byte 0x5C, and without its
  // backslash "…\忠誠*.*" would find the folder itself and copy it into
  // itself for ever.
  const std::string source = cp936::WithTrailingBackslash(sourceFolder);
  CFileFind finder;
  bool found = false;
  if (!FindSourceEntries(source, finder, found)) return false;
  // A folder made now holds no older file of ours; only in one that was
  // there already (a reinstall) must each target be looked at before it is
  // copied over, which costs every file a further trip to the file system.
  const bool madeNow = !IsFolder(target);
  if (!EnsureFolder(target)) return false;
  if (!madeNow) ProtectIfTrusted(target, true);
  if (!found) return true;  // Ignored: the target stays empty
  bool more = true;
  while (more) {
    more = finder.FindNextFile();
    if (finder.IsDots()) continue;
    const std::string from = finder.GetFilePath();
    if (!finder.IsNameRepresentable()) {
      // Under any 8-bit name it would be made as another file, or recorded
      // under a name that names nothing; neither copied nor recorded.
      TellNotCopied(from);
      if (IsCancelled()) return false;
      continue;
    }
    const std::string to = JoinPath(target, finder.GetFileName());
    if (finder.IsDirectory()) {
      if (!CopyFolder(from, to)) return false;
    } else {
      CopyFolderFile(from, to, madeNow, finder.GetLength());
    }
    SendToPage(WM_SETUP_FILE, &from, &to);
    if (IsCancelled()) return false;
  }
  return true;
}

bool CSetupThread::FindSourceEntries(const std::string& source, CFileFind& finder, bool& found) {
  for (;;) {
    if (finder.FindFile(source + "*.*")) {
      found = true;
      return true;
    }
    const DWORD error = ::GetLastError();
    const std::string reason = SystemErrorText(error);
    const int answer = Prompt(FormatText(kMissingSourcePrompt, reason.c_str(), source.c_str()),
                              MB_ABORTRETRYIGNORE | MB_ICONQUESTION);
    const std::string line = "找不到安装文件的路径 " + source + ": " + SystemErrorLine(error) + "; 答复: " + AnswerName(answer);
    if (answer == IDRETRY) {
      Log(line);
      continue;
    }
    if (answer == IDIGNORE) {
      LogFailure(line + ", 跳过该路径");
      found = false;
      return true;
    }
    Log(line + ", 停止安装");
    return false;  // Abort, or no answer at all
  }
}

void CSetupThread::CopyFolderFile(const std::string& source, const std::string& target, bool folderMadeNow,
                                  ULONGLONG size) {
  const DWORD before = folderMadeNow ? INVALID_FILE_ATTRIBUTES : sys::GetFileAttributes(target.c_str());
  const bool existed = before != INVALID_FILE_ATTRIBUTES;
  // An older file copied over keeps its own descriptor; a new one takes
  // what its (protected) folder hands down.
  if (existed) ProtectIfTrusted(target, false);
  const DWORD error = CopyOver(source, target, before);
  if (error != NO_ERROR) {
    // An older file that a running program holds is replaced at the restart.
    if (existed && inuse::IsInUseError(error) && ReplaceAtRestart(source, target, FILE_ATTRIBUTE_NORMAL)) return;
    LogFailure("未能复制 " + source + " -> " + target + ": " + SystemErrorLine(error) + "; 跳过该文件");
    // Otherwise skipped silently and not recorded. A copy that broke off (a
    // full drive) leaves a torn file that no record names and that takes
    // the space the record needs; it goes. An older file that was there is
    // not ours to delete.
    if (!existed) sys::DeleteFile(target.c_str());
    return;
  }
  // Clears a read-only attribute brought from the medium.
  sys::SetFileAttributes(target.c_str(), FILE_ATTRIBUTE_NORMAL);
  RecordFile(target);
  CountCopied(size);
  Log("复制文件 " + source + " -> " + target);
}

bool CSetupThread::EnsureFolder(const std::string& path) {
  RecordFolder(path);
  if (!installpath::FitsFolderLimit(path)) {
    // Too long for the folder walk: such a folder is never made, not even a
    // shortened one; the user may only retry in vain or cancel.
    while (AskRetryFolder(ERROR_FILENAME_EXCED_RANGE, path)) {
    }
    return false;
  }
  for (const std::string& prefix : installpath::FolderPrefixes(path)) {
    if (IsFolder(prefix)) continue;
    for (DWORD error = MakeFolder(prefix); error != NO_ERROR; error = MakeFolder(prefix))
      if (!AskRetryFolder(error, prefix)) return false;
    Log("创建文件夹 " + prefix);
  }
  return true;
}

DWORD CSetupThread::MakeFolder(const std::string& prefix) {
  const bool trusted = installpath::TrustOf(m_installFolder, prefix, true) != installpath::Trust::none;
  if (trusted ? security::CreateProtectedFolder(prefix, security::Kind::trustedFolder)
              : sys::CreateDirectory(prefix.c_str(), nullptr))
    return NO_ERROR;
  const DWORD error = ::GetLastError();
  // Made meanwhile, or named twice over (C:\A\ after C:\A): the folder is
  // there. A file of that name is not.
  if (!IsFolder(prefix)) return error;
  if (trusted) ProtectIfTrusted(prefix, true);
  return NO_ERROR;
}

void CSetupThread::ProtectIfTrusted(const std::string& path, bool isFolder) const {
  switch (installpath::TrustOf(m_installFolder, path, isFolder)) {
    case installpath::Trust::folder: security::Protect(path, security::Kind::trustedFolder); break;
    case installpath::Trust::file: security::Protect(path, security::Kind::trustedFile); break;
    case installpath::Trust::none: break;
  }
}

bool CSetupThread::AskRetryFolder(DWORD error, const std::string& prefix) {
  const std::string reason = SystemErrorText(error);
  const int answer =
      Prompt(FormatText(kFolderPrompt, reason.c_str(), prefix.c_str()), MB_RETRYCANCEL | MB_ICONQUESTION);
  const std::string line = "不能创建文件夹 " + prefix + ": " + SystemErrorLine(error) + "; 答复: " + AnswerName(answer);
  if (answer == IDRETRY) Log(line);
  else LogFailure(line + ", 放弃");
  return answer == IDRETRY;
}

bool CSetupThread::ReplaceAtRestart(const std::string& source, const std::string& target, DWORD attributes) {
  const std::string pending = inuse::ReplaceAtRestart(source, target, attributes);
  if (pending.empty()) return false;
  restart_.files.push_back(target);
  RecordFile(target);
  // The waiting copy too: uninstalled before the restart, it must go as
  // well, or the restart would put the file back in place.
  RecordFile(pending);
  Log("文件正在使用, 重新启动后替换: " + source + " -> " + target + " (新文件暂存为 " + pending + ")");
  return true;
}

void CSetupThread::TellNotCopied(const std::string& path) {
  LogFailure("名称含有简体中文字符集(GBK)以外的字符, 未复制: " + path);
  Prompt(FormatText(kUnrepresentablePrompt, path.c_str()), MB_OK | MB_ICONEXCLAMATION);
}

void CSetupThread::CopyTopFiles() {
  std::vector<std::string> names, skipped;
  FindFiles(m_sourceFolder, "*.*", names, &skipped);
  for (const std::string& path : skipped) TellNotCopied(path);
  for (const std::string& name : names) {
    if (cp936::EqualsNoCase(name, kSetupProgram)) continue;
    const std::string source = m_sourceFolder + name, target = m_installFolder + name;
    const bool icon = cp936::EqualsNoCase(name, kProductIcon);
    // The uninstaller is made empty with its descriptor first and copied
    // over, so that it is never writable by others; the copy keeps that
    // descriptor, and gets it again in case the system's copy handed down
    // the installation folder's instead.
    const bool trusted = installpath::TrustOf(m_installFolder, target, false) != installpath::Trust::none;
    bool made = false;
    if (trusted) security::MakeProtectedFile(target, security::Kind::trustedFile, &made);
    const DWORD error = CopyOver(source, target, sys::GetFileAttributes(target.c_str()));
    // Recorded whether or not the copy succeeded; one held by a running
    // program is replaced at the restart (and recorded there).
    if (error == NO_ERROR) {
      if (trusted) ProtectIfTrusted(target, false);
      ULONGLONG size = 0;
      if (sys::FileSize(target.c_str(), size)) CountCopied(size);
      Log("复制文件 " + source + " -> " + target);
      RecordFile(target);
    } else if (!inuse::IsInUseError(error) || !ReplaceAtRestart(source, target, icon ? FILE_ATTRIBUTE_HIDDEN : 0)) {
      LogFailure("未能复制 " + source + " -> " + target + ": " + SystemErrorLine(error) + "; 跳过该文件");
      if (made) sys::DeleteFile(target.c_str());
      RecordFile(target);
    }
    if (icon) sys::SetFileAttributes(target.c_str(), FILE_ATTRIBUTE_HIDDEN);
  }
}
