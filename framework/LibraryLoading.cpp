#include "framework/LibraryLoading.h"

#include <vector>

#include "framework/WideText.h"

namespace {

// The search flags of Windows 8 (and of Vista and 7 with the update that
// brought them); the XP headers the programs build with do not define them.
constexpr DWORD kSearchDllLoadDir = 0x00000100;  // LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
constexpr DWORD kSearchSystem32 = 0x00000800;    // LOAD_LIBRARY_SEARCH_SYSTEM32

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFn = BOOL(WINAPI*)(const wchar_t*);

// Written once by RestrictDllSearch on the main thread before any other
// thread exists; only read afterwards.
sys::DllSearch g_search = sys::DllSearch::Unchanged;

template <typename Fn>
Fn Kernel32Function(const char* name) {
  HMODULE kernel32 = ::GetModuleHandleW(L"kernel32.dll");
  if (!kernel32) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(kernel32, name)));
}

std::wstring SystemFolder() {
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  UINT n = ::GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  if (n >= buffer.size()) {
    buffer.resize(n + 1);
    n = ::GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  if (n == 0 || n >= buffer.size()) return std::wstring();
  std::wstring folder(buffer.data(), n);
  if (folder.back() != L'\\') folder += L'\\';
  return folder;
}

}  // namespace

namespace sys {

DllSearch RestrictDllSearch() {
  // SetDefaultDllDirectories exists on Vista and 7 only with the update;
  // where kernel32 exports it, the search flags work with LoadLibraryEx too.
  if (auto setDefault = Kernel32Function<SetDefaultDllDirectoriesFn>("SetDefaultDllDirectories")) {
    if (setDefault(kSearchSystem32)) return g_search = DllSearch::SystemFolderOnly;
  }
  if (auto setDirectory = Kernel32Function<SetDllDirectoryFn>("SetDllDirectoryW")) {
    if (setDirectory(L"")) return g_search = DllSearch::NoCurrentFolder;
  }
  return g_search = DllSearch::Unchanged;
}

DllSearch CurrentDllSearch() { return g_search; }

void PreloadSystemLibraries() {
  // Kept loaded for the process's life, as the system keeps it once used.
  for (const wchar_t* name : {L"uxtheme.dll", L"msimg32.dll"}) LoadSystemLibrary(name);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  // The DLL's own dependencies must not be searched beside the program
  // either: with the search flags, the system folder is the only place for
  // both; without them, its full path with the altered search path looks
  // for them in its own folder, the system's, first.
  if (g_search == DllSearch::SystemFolderOnly) return ::LoadLibraryExW(name, nullptr, kSearchSystem32);
  const std::wstring folder = SystemFolder();
  if (folder.empty()) return nullptr;
  return ::LoadLibraryExW((folder + name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

HMODULE LoadControlLibrary(const std::string& path) {
  const std::wstring wide = cp936::ToWide(path);
  // The search flags replace the process's search path for this load: the
  // control's folder for its dependencies, then the system folder, nothing
  // the medium or the current folder holds. Without them, the altered search
  // path puts the control's folder where the program's folder would be.
  if (g_search == DllSearch::SystemFolderOnly)
    return ::LoadLibraryExW(wide.c_str(), nullptr, kSearchDllLoadDir | kSearchSystem32);
  return ::LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace sys
