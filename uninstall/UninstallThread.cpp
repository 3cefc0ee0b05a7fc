#include "uninstall/UninstallThread.h"

#include <new>
#include <vector>

#include "acad/AcadRegistry.h"
#include "framework/App.h"
#include "framework/CodePage.h"
#include "framework/CommandLine.h"
#include "framework/Handles.h"
#include "framework/LibraryLoading.h"
#include "framework/StdioFile.h"
#include "framework/Sys.h"
#include "framework/SystemError.h"
#include "framework/Wnd.h"
#include "install/InstallRecord.h"
#include "uninstall/BatchText.h"
#include "uninstall/SelfRemoval.h"

namespace {

const char kTooLarge[] = "文件 %s 太大(%lu MB), 不是本软件的安装记录, 无法读入。";
const char kNotText[] = "文件 %s 含有非文本内容, 不是本软件的安装记录, 无法读入。";
const char kNoMemory[] = "内存不足, 无法读入文件 %s。";

// "X:\..." or "\\server\...". A bare name would make LoadLibrary search the
// system folders and run some other module's DllUnregisterServer, and would
// make DeleteFile and RemoveDirectory act on the uninstaller's current
// folder (the system folder when started from Add/Remove Programs).
bool IsFullPath(const std::string& path) {
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (path.size() >= 3 && letter(path[0]) && path[1] == ':' && path[2] == '\\') return true;
  return path.size() >= 3 && path[0] == '\\' && path[1] == '\\';
}

// Whether path lies inside folder (given without its trailing backslash).
bool IsInside(const std::string& path, const std::string& folder) {
  return path.size() > folder.size() + 1 && cp936::EqualsNoCase(path.substr(0, folder.size() + 1), folder + "\\");
}

// A read-only file cannot be deleted; the installation may have copied one
// from a read-only medium. The attributes are looked at only when the
// deletion was refused: asking first would cost every file a second trip to
// the file system, for the rare one that needs it. NO_ERROR when the file
// was deleted, else the system's error code.
DWORD DeleteFileOrReadOnly(const std::string& path) {
  if (sys::DeleteFile(path.c_str())) return NO_ERROR;
  const DWORD error = ::GetLastError();
  if (error != ERROR_ACCESS_DENIED) return error;
  const DWORD attributes = sys::GetFileAttributes(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY) ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return error;
  sys::SetFileAttributes(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return sys::DeleteFile(path.c_str()) ? NO_ERROR : ::GetLastError();
}

// A file another program has open without sharing is refused as in use; a
// module it has loaded (AutoCAD's ARX modules) with access denied, which no
// other cause gives the elevated uninstaller for a file that is not
// read-only.
bool IsHeldOpen(DWORD error) { return error == ERROR_ACCESS_DENIED || inuse::IsInUseError(error); }

bool IsGone(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool IsFolder(const std::string& path) {
  const DWORD attributes = sys::GetFileAttributes(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The calling thread's error mode for the object's lifetime. Only the
// thread's own mode is changed: the process's belongs to the user-interface
// thread as well, which runs on meanwhile. SetThreadErrorMode came with
// Windows 7 and is looked up at run time; where it is missing nothing is
// changed, and a broken control may then show the system's box.
class ThreadErrorMode {
 public:
  explicit ThreadErrorMode(DWORD mode) : set_(Lookup()) {
    if (set_ && !set_(mode, &previous_)) set_ = nullptr;
  }
  ~ThreadErrorMode() {
    if (set_) set_(previous_, nullptr);
  }
  ThreadErrorMode(const ThreadErrorMode&) = delete;
  ThreadErrorMode& operator=(const ThreadErrorMode&) = delete;

 private:
  using SetMode = BOOL(WINAPI*)(DWORD, LPDWORD);
  static SetMode Lookup() {
    const HMODULE kernel = sys::GetModuleHandle("kernel32.dll");
    if (!kernel) return nullptr;
    // Through a plain function pointer type, which converts without a warning.
    return reinterpret_cast<SetMode>(
        reinterpret_cast<void (*)()>(::GetProcAddress(kernel, "SetThreadErrorMode")));
  }
  SetMode set_;
  DWORD previous_ = 0;
};

HKEY RootKey(record::RootCode code) {
  switch (code) {
    case record::kClassesRoot: return HKEY_CLASSES_ROOT;
    case record::kCurrentUser: return HKEY_CURRENT_USER;
    case record::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case record::kUsers: return HKEY_USERS;
    default: return HKEY_CURRENT_CONFIG;
  }
}

}  // namespace

void CUninstallThread::RemoveFoldersAtRestart(const std::vector<std::string>& folders) {
  if (restart_.files.empty()) return;
  const auto holdsPutOffFile = [this](const std::string& folder) {
    for (const std::string& file : restart_.files)
      if (IsInside(file, folder)) return true;
    return false;
  };
  std::vector<std::string> order(folders.rbegin(), folders.rend());
  if (!recordFolder_.empty()) order.push_back(recordFolder_);
  std::vector<std::string> done;
  for (const std::string& folder : order) {
    if (!IsFullPath(folder) || !holdsPutOffFile(folder)) continue;
    // Gone already, or recorded twice over.
    if (!IsFolder(folder)) continue;
    bool twice = false;
    for (const std::string& d : done) twice = twice || cp936::EqualsNoCase(d, folder);
    if (twice) continue;
    if (inuse::DeleteAtRestart(folder)) {
      done.push_back(folder);
      Log("文件夹中有文件正在使用, 重新启动后删除: " + folder);
    }
  }
}

HWND CUninstallThread::MainWindow() const { return m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr; }

LRESULT CUninstallThread::Send(UINT msg, LPARAM lp) const {
  const HWND window = MainWindow();
  return window ? ::SendMessageW(window, msg, 0, lp) : 0;
}

void CUninstallThread::Log(const std::string& line) const {
  if (m_log) m_log->Write(line);
}

void CUninstallThread::LogFailure(const std::string& line) {
  ++failures_;
  Log(line);
}

int CUninstallThread::ExitCode() const { return cmdline::ExitCodeOf(completed_, failures_, RestartNeeded()); }

void CUninstallThread::DeleteRecordedFile(const std::string& path) {
  if (!IsFullPath(path)) {  // Setup records full paths only
    Log("记录中的文件名不是完整路径, 不删除: " + path);
    return;
  }
  const DWORD error = DeleteFileOrReadOnly(path);
  if (error == NO_ERROR) {
    Log("删除文件 " + path);
  } else if (IsGone(error)) {
    Log("文件已不存在: " + path);
  } else if (IsFolder(path)) {
    // The Start-menu group is recorded as a file too; its folder entry removes it.
    Log("是文件夹, 由文件夹一项删除: " + path);
  } else if (cp936::EqualsNoCase(path, selfremoval::RunningProgramFile())) {
    Log("卸载程序本身, 由自删除批处理在卸载程序结束后删除: " + path);
  } else if (IsHeldOpen(error) && inuse::DeleteAtRestart(path)) {
    restart_.files.push_back(path);
    Log("文件正在使用 (" + SystemErrorLine(error) + "), 重新启动后删除: " + path);
  } else {
    LogFailure("未能删除文件 " + path + ": " + SystemErrorLine(error));
  }
}

bool CUninstallThread::Fail() {
  if (HWND owner = MainWindow()) ::PostMessageW(owner, WM_UNINSTALL_FAILED, 0, 0);
  return false;
}

bool CUninstallThread::LoadRecord(const std::string& path) {
  std::string problem;
  const std::size_t slash = cp936::FindLastBackslash(path);
  recordFolder_ = slash == cp936::npos ? std::string() : path.substr(0, slash);
  try {
    CStdioFile file(path, CStdioFile::modeRead | CStdioFile::typeText);
    const unsigned long long length = file.GetLength();
    if (length > kMaxRecordBytes) {
      problem = FormatText(kTooLarge, path.c_str(), static_cast<unsigned long>(length >> 20));
    } else {
      // Text mode reads each CR LF as one LF, so fewer characters than bytes
      // may come back; the loop also takes a read that delivers less.
      std::string text(static_cast<std::size_t>(length), '\0');
      std::size_t got = 0;
      while (got < text.size()) {
        const UINT n = file.Read(text.data() + got, static_cast<UINT>(text.size() - got));
        if (n == 0) break;
        got += n;
      }
      text.resize(got);
      // A NUL would end every path handed to the platform early, so the
      // replay would act on other names than the record's.
      if (text.find('\0') == std::string::npos) {
        record_ = std::move(text);
        Log("读入安装记录 " + path);
        return true;
      }
      problem = FormatText(kNotText, path.c_str());
    }
  } catch (const CFileException& e) {
    Log("不能读入安装记录 " + path + ": " + SystemErrorLine(e.m_lOsError) + "; 什么也没有改动");
    if (!m_silent) e.ReportError(MainWindow());
    return Fail();
  } catch (const std::bad_alloc&) {
    problem = FormatText(kNoMemory, path.c_str());
  }
  Log("不能读入安装记录: " + problem + "; 什么也没有改动");
  if (!m_silent) sys::MessageBox(MainWindow(), problem.c_str(), AfxGetAppName(), MB_OK | MB_ICONEXCLAMATION);
  return Fail();
}

bool CUninstallThread::NextEntry(int kind, std::size_t& position, std::size_t& start, std::size_t& length) const {
  return record::NextEntry(record_, kind, position, start, length);
}

int CUninstallThread::CountEntries(int kind) const { return record::CountEntries(record_, kind); }

BOOL CUninstallThread::InitInstance() {
  try {
    Replay();
  } catch (...) {
    // The replay broke off (out of memory): the dialog must not claim success.
    if (HWND owner = MainWindow()) ::PostMessageW(owner, WM_UNINSTALL_FAILED, 0, 0);
  }
  return FALSE;
}

void CUninstallThread::Replay() {
  // Controls go first: Setup records each control file as a copied file too,
  // and once the file stage had deleted it, its DllUnregisterServer could no
  // longer be loaded and called.
  UnregisterControls();
  DeleteFiles();
  Send(WM_UNINSTALL_FILES_DONE);
  RemoveFolders();
  DeleteRegistryKeys();
  // A stopped replay keeps the uninstaller (and the record, when the file
  // stage had not reached it yet) so that it can be run again.
  if (stop_) {
    Log("卸载被中止");
    return;
  }
  RemoveAcadProfiles();
  Log(std::string("删除 AutoCAD 配置 ") + kUninstallIdentity.profileName + " (HKEY_CURRENT_USER)");
  WriteSelfRemovalBatch();
  if (RestartNeeded()) restart_.programs = inuse::ProgramsUsing(restart_.files);
  completed_ = true;
  Send(WM_UNINSTALL_DONE);
}

bool CUninstallThread::UnregisterControls() {
  std::size_t position = 0, start = 0, length = 0;
  while (!stop_ && NextEntry(record::kRegCtrl, position, start, length)) {
    const std::string path = Value(start, length);
    if (UnregisterControl(path)) Log("注销控件 " + path + ": 成功");
    else LogFailure("未能注销控件 " + path);
    DeleteRecordedFile(path);
  }
  return !stop_;
}

bool CUninstallThread::DeleteFiles() {
  std::size_t position = 0, start = 0, length = 0;
  while (!stop_ && NextEntry(record::kFileCopy, position, start, length)) {
    const std::string path = Value(start, length);
    DeleteRecordedFile(path);
    Send(WM_UNINSTALL_FILE, reinterpret_cast<LPARAM>(path.c_str()));
  }
  return !stop_;
}

bool CUninstallThread::RemoveFolders() {
  std::vector<std::string> folders;
  std::size_t position = 0, start = 0, length = 0;
  while (NextEntry(record::kMadeDir, position, start, length)) folders.push_back(Value(start, length));
  // Last recorded first: a folder made inside a recorded one comes after it.
  for (auto it = folders.rbegin(); it != folders.rend() && !stop_; ++it) {
    if (!IsFullPath(*it)) continue;
    if (sys::RemoveDirectory(it->c_str())) {
      Log("删除文件夹 " + *it);
      continue;
    }
    // Left as it is: a folder that still holds files of the user's (or
    // the uninstaller, which the batch removes with its folder later).
    const DWORD error = ::GetLastError();
    if (IsGone(error)) Log("文件夹已不存在: " + *it);
    else Log("保留文件夹 " + *it + ": " + SystemErrorLine(error));
  }
  if (!stop_) RemoveFoldersAtRestart(folders);
  return !stop_;
}

bool CUninstallThread::DeleteRegistryKeys() {
  if (stop_) return false;
  std::size_t position = 0, start = 0, length = 0;
  while (NextEntry(record::kRegKey, position, start, length)) {
    const auto key = record::SplitKeyEntry(Value(start, length));
    // Without a comma there is no key; an empty sub-key would name the root.
    if (key && !key->subKey.empty()) {
      const LONG result = sys::RegDeleteKey(RootKey(key->root), key->subKey.c_str());
      if (result == ERROR_SUCCESS) Log("删除注册表键 " + Value(start, length));
      else if (result == ERROR_FILE_NOT_FOUND) Log("注册表键已不存在: " + Value(start, length));
      else Log("保留注册表键 " + Value(start, length) + " (可能还有子键): " + SystemErrorLine(static_cast<DWORD>(result)));
    }
    if (stop_) break;
  }
  return !stop_;
}

void CUninstallThread::RemoveAcadProfiles() { ::RemoveAcadProfiles(kUninstallIdentity); }

void CUninstallThread::WriteSelfRemovalBatch() {
  std::string batchPath;
  const auto outcome = selfremoval::WriteAndStart(selfremoval::RunningProgramFile(), selfremoval::DefaultPlacement(), &batchPath);
  Log("自删除批处理 " + batchPath + (outcome == selfremoval::Outcome::started ? ": 已启动" : ": 未能启动"));
}

bool CUninstallThread::UnregisterControl(const std::string& path) {
  if (!IsFullPath(path)) return false;
  ScopedLibrary library;
  {
    // No system box for a file that is not a module or lacks a dependency.
    const ThreadErrorMode quiet(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    library.reset(sys::LoadControlLibrary(path));
  }
  if (!library) return false;
  using Unregister = HRESULT(__stdcall*)();
  // Through a plain function pointer type, which converts without a warning.
  const auto unregister = reinterpret_cast<Unregister>(
      reinterpret_cast<void (*)()>(::GetProcAddress(library.get(), "DllUnregisterServer")));
  return unregister && unregister() == 0;
}
