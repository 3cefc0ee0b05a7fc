#include "framework/InUse.h"

#include <restartmanager.h>

#include <algorithm>
#include <cwchar>

#include "framework/CodePage.h"
#include "framework/Handles.h"
#include "framework/LibraryLoading.h"
#include "framework/Sys.h"
#include "framework/SystemError.h"
#include "framework/WideText.h"

namespace inuse {
namespace {

// The folder part of a path, its last backslash included; empty for a bare name.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = cp936::FindLastBackslash(path);
  return slash == cp936::npos ? std::string() : path.substr(0, slash + 1);
}

// The Restart Manager's functions, looked up in rstrtmgr.dll from the system
// folder. It is not one of the system's known DLLs: loaded by name alone it
// would be searched for beside the program first (the medium, or the
// installation folder), so it is loaded by its full path, and never imported
// (Windows XP has none).
class RestartManager {
 public:
  RestartManager() {
    library_.reset(sys::LoadSystemLibrary(L"rstrtmgr.dll"));
    if (!library_) return;
    start_ = Find<StartSession>("RmStartSession");
    register_ = Find<RegisterResources>("RmRegisterResources");
    list_ = Find<GetList>("RmGetList");
    end_ = Find<EndSession>("RmEndSession");
  }
  bool Usable() const { return start_ && register_ && list_ && end_; }

  std::vector<std::wstring> Holders(const std::vector<std::wstring>& files) const {
    DWORD session = 0;
    wchar_t key[CCH_RM_SESSION_KEY + 1] = {};
    if (start_(&session, 0, key) != ERROR_SUCCESS) return {};
    std::vector<RM_PROCESS_INFO> infos;
    std::vector<LPCWSTR> names;
    for (const std::wstring& file : files) names.push_back(file.c_str());
    DWORD result = register_(session, static_cast<UINT>(names.size()), names.data(), 0, nullptr, 0, nullptr);
    UINT count = 0;
    // The list may grow between the call that sizes it and the one that
    // fills it; a few rounds are enough.
    for (int round = 0; result == ERROR_SUCCESS && round < 4; ++round) {
      UINT needed = 0;
      count = static_cast<UINT>(infos.size());
      DWORD reasons = 0;
      result = list_(session, &needed, &count, infos.empty() ? nullptr : infos.data(), &reasons);
      if (result != ERROR_MORE_DATA) break;
      infos.resize(needed);
      result = ERROR_SUCCESS;
    }
    end_(session);
    std::vector<std::wstring> holders;
    if (result != ERROR_SUCCESS) return holders;
    for (UINT i = 0; i < count && i < infos.size(); ++i) {
      const wchar_t* name = infos[i].strAppName[0] ? infos[i].strAppName : infos[i].strServiceShortName;
      if (*name) holders.emplace_back(name, wcsnlen(name, CCH_RM_MAX_APP_NAME + 1));
    }
    return holders;
  }

 private:
  using StartSession = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
  using RegisterResources = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
  using GetList = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, LPDWORD);
  using EndSession = DWORD(WINAPI*)(DWORD);

  template <typename Function>
  Function Find(const char* name) const {
    // Through a plain function pointer type, which converts without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library_.get(), name)));
  }

  ScopedLibrary library_;
  StartSession start_ = nullptr;
  RegisterResources register_ = nullptr;
  GetList list_ = nullptr;
  EndSession end_ = nullptr;
};

}  // namespace

bool IsInUseError(DWORD error) {
  return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_USER_MAPPED_FILE;
}

std::string ReplaceAtRestart(const std::string& source, const std::string& target, DWORD attributes) {
  // Beside the target: the move at the restart is a rename within one
  // volume. The system picks a name no file there has yet and makes it.
  const std::string pending = sys::GetTempFileName(FolderOf(target).c_str(), "~ts");
  if (pending.empty()) return std::string();
  const auto giveUp = [&pending] {
    const DWORD error = ::GetLastError();
    sys::SetFileAttributes(pending.c_str(), FILE_ATTRIBUTE_NORMAL);
    sys::DeleteFile(pending.c_str());
    ::SetLastError(error);
    return std::string();
  };
  if (!sys::CopyFile(source.c_str(), pending.c_str(), FALSE)) return giveUp();
  if (attributes) sys::SetFileAttributes(pending.c_str(), attributes);
  const DWORD old = sys::GetFileAttributes(target.c_str());
  const bool readOnly = old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY);
  if (readOnly) sys::SetFileAttributes(target.c_str(), old & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  if (!sys::MoveFileEx(pending.c_str(), target.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING)) {
    const DWORD error = ::GetLastError();
    if (readOnly) sys::SetFileAttributes(target.c_str(), old);
    ::SetLastError(error);
    return giveUp();
  }
  return pending;
}

bool DeleteAtRestart(const std::string& path) {
  return sys::MoveFileEx(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

std::vector<std::string> ProgramsUsing(const std::vector<std::string>& paths) {
  if (paths.empty()) return {};
  const RestartManager manager;
  if (!manager.Usable()) return {};
  std::vector<std::wstring> files;
  for (const std::string& path : paths) files.push_back(cp936::ToWide(path));
  std::vector<std::string> names;
  for (const std::wstring& holder : manager.Holders(files)) {
    const std::string name = cp936::FromWide(holder);
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  return names;
}

std::string RestartMessage(const RestartList& list, const char* verb, const char* run) {
  std::string text;
  if (list.programs.empty()) {
    text = FormatText("部分文件正在被其他程序使用，无法立即%s。\n", verb);
  } else {
    text = FormatText("部分文件正在被以下程序使用，无法立即%s:\n\n", verb);
    for (const std::string& program : list.programs) text += "    " + program + "\n";
    text += "\n";
  }
  return text + FormatText("重新启动计算机后即可完成%s。", run);
}

}  // namespace inuse
