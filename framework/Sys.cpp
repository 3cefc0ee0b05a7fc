// Files, folders, modules and processes.
#include "framework/Sys.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>
#include <vector>

#include "framework/SysArgs.h"
#include "framework/WideText.h"

namespace sys {

std::string CommandLine() { return cp936::FromWide(::GetCommandLineW()); }


// ---- Files and folders ----

DWORD GetFileAttributes(const char* path) { return ::GetFileAttributesW(WideArg(path).get()); }

BOOL SetFileAttributes(const char* path, DWORD attributes) {
  return ::SetFileAttributesW(WideArg(path).get(), attributes);
}

BOOL CopyFile(const char* from, const char* to, BOOL failIfExists) {
  return ::CopyFileW(WideArg(from).get(), WideArg(to).get(), failIfExists);
}

BOOL DeleteFile(const char* path) { return ::DeleteFileW(WideArg(path).get()); }

BOOL MoveFileEx(const char* from, const char* to, DWORD flags) {
  return ::MoveFileExW(WideArg(from).get(), WideArg(to).get(), flags);
}

std::string GetTempFileName(const char* folder, const char* prefix) {
  wchar_t name[MAX_PATH] = {};
  if (!::GetTempFileNameW(WideArg(folder).get(), WideArg(prefix).get(), 0, name)) return std::string();
  return cp936::FromWide(name);
}

std::string GetFullPathName(const char* path) {
  const WideArg wide(path);
  const DWORD needed = ::GetFullPathNameW(wide.get(), 0, nullptr, nullptr);
  if (needed == 0) return std::string();
  std::vector<wchar_t> buffer(needed + 1, L'\0');
  const DWORD n = ::GetFullPathNameW(wide.get(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
  if (n == 0 || n >= buffer.size()) return std::string();
  return cp936::FromWide(std::wstring(buffer.data(), n));
}

BOOL CreateDirectory(const char* path, SECURITY_ATTRIBUTES* security) {
  return ::CreateDirectoryW(WideArg(path).get(), security);
}

BOOL RemoveDirectory(const char* path) { return ::RemoveDirectoryW(WideArg(path).get()); }

HANDLE CreateFile(const char* path, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security, DWORD disposition,
                  DWORD flagsAndAttributes, HANDLE templateFile) {
  return ::CreateFileW(WideArg(path).get(), access, share, security, disposition, flagsAndAttributes, templateFile);
}

bool FileExists(const char* path) { return GetFileAttributes(path) != INVALID_FILE_ATTRIBUTES; }

bool FileSize(const char* path, ULONGLONG& size) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  size = 0;
  if (!::GetFileAttributesExW(WideArg(path).get(), GetFileExInfoStandard, &data)) return false;
  size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return true;
}

std::string CurrentDirectory() {
  const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return std::string();
  std::vector<wchar_t> buffer(needed + 1, L'\0');
  const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (n == 0 || n >= buffer.size()) return std::string();
  return cp936::FromWide(std::wstring(buffer.data(), n));
}

BOOL SetCurrentDirectory(const char* path) { return ::SetCurrentDirectoryW(WideArg(path).get()); }

namespace {
// A folder the system writes into a buffer, asked for once with room to
// spare and again when that was not enough; the trailing backslash cut.
template <typename Ask>
std::string SystemFolder(Ask ask) {
  std::vector<wchar_t> buffer(MAX_PATH + 1, L'\0');
  UINT n = ask(buffer.data(), static_cast<UINT>(buffer.size()));
  if (n >= buffer.size()) {
    buffer.assign(n + 1, L'\0');
    n = ask(buffer.data(), static_cast<UINT>(buffer.size()));
  }
  if (n == 0 || n >= buffer.size()) return std::string();
  std::wstring folder(buffer.data(), n);
  if (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
  return cp936::FromWide(folder);
}
}  // namespace

std::string GetWindowsDirectory() {
  return SystemFolder([](wchar_t* b, UINT size) { return ::GetWindowsDirectoryW(b, size); });
}

std::string GetSystemDirectory() {
  return SystemFolder([](wchar_t* b, UINT size) { return ::GetSystemDirectoryW(b, size); });
}

std::string GetTempPath() {
  return SystemFolder([](wchar_t* b, UINT size) { return static_cast<UINT>(::GetTempPathW(size, b)); });
}

// ---- Modules and processes ----

HMODULE LoadLibrary(const char* path) { return ::LoadLibraryW(WideArg(path).get()); }

HMODULE LoadLibraryEx(const char* path, HANDLE reserved, DWORD flags) {
  return ::LoadLibraryExW(WideArg(path).get(), reserved, flags);
}

HANDLE BeginUpdateResource(const char* path, BOOL deleteExisting) {
  return ::BeginUpdateResourceW(WideArg(path).get(), deleteExisting);
}

std::string GetCommandLine() { return cp936::FromWide(::GetCommandLineW()); }

HMODULE GetModuleHandle(const char* name) { return ::GetModuleHandleW(WideArg(name).get()); }

BOOL CreateProcess(const char* application, char* commandLine, SECURITY_ATTRIBUTES* processSecurity,
                   SECURITY_ATTRIBUTES* threadSecurity, BOOL inheritHandles, DWORD flags, void* environment,
                   const char* currentDirectory, const STARTUPINFOA* startup, PROCESS_INFORMATION* info) {
  // The two forms differ only in the type of their texts' pointers.
  static_assert(sizeof(STARTUPINFOW) == sizeof(STARTUPINFOA), "the same layout");
  STARTUPINFOW wideStartup{};
  if (startup) std::memcpy(&wideStartup, startup, sizeof wideStartup);
  wideStartup.cb = sizeof wideStartup;
  WideArg desktop(startup ? startup->lpDesktop : nullptr);
  WideArg title(startup ? startup->lpTitle : nullptr);
  wideStartup.lpReserved = nullptr;
  wideStartup.lpDesktop = desktop.data();
  wideStartup.lpTitle = title.data();
  // The wide function may write into its command line.
  WideArg line(commandLine);
  return ::CreateProcessW(WideArg(application).get(), line.data(), processSecurity, threadSecurity, inheritHandles,
                          flags, environment, WideArg(currentDirectory).get(), &wideStartup, info);
}

std::wstring EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& variables) {
  std::vector<std::wstring> names, entries;
  for (const auto& variable : variables) {
    names.push_back(cp936::ToWide(variable.first));
    entries.push_back(names.back() + L"=" + cp936::ToWide(variable.second));
  }
  const auto nameOf = [](const std::wstring& entry) {
    // "=C:=C:\..." entries (a drive's current folder) have their name after the first '='.
    const std::size_t equals = entry.find(L'=', 1);
    return entry.substr(0, equals);
  };
  const auto isSet = [&](const std::wstring& name) {
    for (const std::wstring& own : names)
      if (_wcsicmp(own.c_str(), name.c_str()) == 0) return true;
    return false;
  };
  // Freed on every way out, a failed allocation below included.
  const std::unique_ptr<wchar_t, decltype(&::FreeEnvironmentStringsW)> block(::GetEnvironmentStringsW(),
                                                                              &::FreeEnvironmentStringsW);
  if (block)
    for (const wchar_t* entry = block.get(); *entry; entry += std::wcslen(entry) + 1)
      if (!isSet(nameOf(entry))) entries.emplace_back(entry);
  // The system keeps its environments sorted by name, letter case ignored.
  std::sort(entries.begin(), entries.end(), [&](const std::wstring& a, const std::wstring& b) {
    return _wcsicmp(nameOf(a).c_str(), nameOf(b).c_str()) < 0;
  });
  std::wstring out;
  for (const std::wstring& entry : entries) out += entry + L'\0';
  out += L'\0';
  return out;
}

}  // namespace sys
