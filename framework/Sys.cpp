#include "framework/Sys.h"

#include <olectl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "framework/Handles.h"
#include "framework/WideText.h"

namespace sys {
namespace {

// A text argument that may be null: the wide function gets null too.
class WideArg {
 public:
  explicit WideArg(const char* text) : null_(text == nullptr), text_(cp936::ToWide(text)) {}
  const wchar_t* get() const { return null_ ? nullptr : text_.c_str(); }
  wchar_t* data() { return null_ ? nullptr : text_.data(); }

 private:
  bool null_;
  std::wstring text_;
};

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The whole value as the 8-bit function would hand it over: the string types
// converted (every character the registry returned, zeros included), the
// others as stored.
LONG ReadWholeValue(HKEY key, const wchar_t* name, DWORD& type, std::string& bytes) {
  std::vector<BYTE> raw(256);
  for (int attempt = 0; attempt < 8; ++attempt) {
    DWORD size = static_cast<DWORD>(raw.size());
    const LONG status = ::RegQueryValueExW(key, name, nullptr, &type, raw.data(), &size);
    if (status == ERROR_MORE_DATA) {
      // The value grew between the calls, or the first buffer was small.
      raw.resize(static_cast<std::size_t>(size) + 2);
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    if (size > raw.size()) size = static_cast<DWORD>(raw.size());
    if (IsStringType(type)) {
      std::wstring wide(size / sizeof(wchar_t), L'\0');
      if (!wide.empty()) std::memcpy(wide.data(), raw.data(), wide.size() * sizeof(wchar_t));
      bytes = cp936::FromWide(wide);
    } else {
      bytes.assign(reinterpret_cast<const char*>(raw.data()), size);
    }
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

}  // namespace

// ---- Files and folders ----

DWORD GetFileAttributes(const char* path) { return ::GetFileAttributesW(WideArg(path).get()); }

BOOL SetFileAttributes(const char* path, DWORD attributes) {
  return ::SetFileAttributesW(WideArg(path).get(), attributes);
}

BOOL CopyFile(const char* from, const char* to, BOOL failIfExists) {
  return ::CopyFileW(WideArg(from).get(), WideArg(to).get(), failIfExists);
}

BOOL DeleteFile(const char* path) { return ::DeleteFileW(WideArg(path).get()); }

BOOL CreateDirectory(const char* path, SECURITY_ATTRIBUTES* security) {
  return ::CreateDirectoryW(WideArg(path).get(), security);
}

BOOL RemoveDirectory(const char* path) { return ::RemoveDirectoryW(WideArg(path).get()); }

HANDLE CreateFile(const char* path, DWORD access, DWORD share, SECURITY_ATTRIBUTES* security, DWORD disposition,
                  DWORD flagsAndAttributes, HANDLE templateFile) {
  return ::CreateFileW(WideArg(path).get(), access, share, security, disposition, flagsAndAttributes, templateFile);
}

bool FileExists(const char* path) { return GetFileAttributes(path) != INVALID_FILE_ATTRIBUTES; }

std::string CurrentDirectory() {
  const DWORD needed = ::GetCurrentDirectoryW(0, nullptr);
  if (needed == 0) return std::string();
  std::vector<wchar_t> buffer(needed + 1, L'\0');
  const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (n == 0 || n >= buffer.size()) return std::string();
  return cp936::FromWide(std::wstring(buffer.data(), n));
}

BOOL SetCurrentDirectory(const char* path) { return ::SetCurrentDirectoryW(WideArg(path).get()); }

// ---- Modules and processes ----

HMODULE LoadLibrary(const char* path) { return ::LoadLibraryW(WideArg(path).get()); }

HMODULE GetModuleHandle(const char* name) { return ::GetModuleHandleW(WideArg(name).get()); }

BOOL CreateProcess(const char* application, char* commandLine, SECURITY_ATTRIBUTES* processSecurity,
                   SECURITY_ATTRIBUTES* threadSecurity, BOOL inheritHandles, DWORD flags, void* environment,
                   const char* currentDirectory, const STARTUPINFOA* startup, PROCESS_INFORMATION* info) {
  STARTUPINFOW wideStartup{};
  wideStartup.cb = sizeof wideStartup;
  WideArg desktop(startup ? startup->lpDesktop : nullptr);
  WideArg title(startup ? startup->lpTitle : nullptr);
  if (startup) {
    wideStartup.lpDesktop = desktop.data();
    wideStartup.lpTitle = title.data();
    wideStartup.dwX = startup->dwX;
    wideStartup.dwY = startup->dwY;
    wideStartup.dwXSize = startup->dwXSize;
    wideStartup.dwYSize = startup->dwYSize;
    wideStartup.dwXCountChars = startup->dwXCountChars;
    wideStartup.dwYCountChars = startup->dwYCountChars;
    wideStartup.dwFillAttribute = startup->dwFillAttribute;
    wideStartup.dwFlags = startup->dwFlags;
    wideStartup.wShowWindow = startup->wShowWindow;
    wideStartup.hStdInput = startup->hStdInput;
    wideStartup.hStdOutput = startup->hStdOutput;
    wideStartup.hStdError = startup->hStdError;
  }
  // The wide function may write into its command line.
  WideArg line(commandLine);
  return ::CreateProcessW(WideArg(application).get(), line.data(), processSecurity, threadSecurity, inheritHandles,
                          flags, environment, WideArg(currentDirectory).get(), &wideStartup, info);
}

std::wstring EnvironmentWith(const std::vector<std::pair<std::string, std::string>>& variables) {
  std::vector<std::wstring> entries;
  for (const auto& variable : variables)
    entries.push_back(cp936::ToWide(variable.first) + L"=" + cp936::ToWide(variable.second));
  const auto nameOf = [](const std::wstring& entry) {
    // "=C:=C:\..." entries (a drive's current folder) have their name after the first '='.
    const std::size_t equals = entry.find(L'=', 1);
    return entry.substr(0, equals);
  };
  const auto isSet = [&](const std::wstring& name) {
    for (const auto& variable : variables)
      if (_wcsicmp(cp936::ToWide(variable.first).c_str(), name.c_str()) == 0) return true;
    return false;
  };
  if (wchar_t* block = ::GetEnvironmentStringsW()) {
    for (const wchar_t* entry = block; *entry; entry += std::wcslen(entry) + 1)
      if (!isSet(nameOf(entry))) entries.emplace_back(entry);
    ::FreeEnvironmentStringsW(block);
  }
  // The system keeps its environments sorted by name, letter case ignored.
  std::sort(entries.begin(), entries.end(), [&](const std::wstring& a, const std::wstring& b) {
    return _wcsicmp(nameOf(a).c_str(), nameOf(b).c_str()) < 0;
  });
  std::wstring out;
  for (const std::wstring& entry : entries) out += entry + L'\0';
  out += L'\0';
  return out;
}

// ---- Registry ----

LONG RegCreateKey(HKEY root, const char* subKey, HKEY* key) { return ::RegCreateKeyW(root, WideArg(subKey).get(), key); }

LONG RegOpenKeyEx(HKEY root, const char* subKey, DWORD options, REGSAM access, HKEY* key) {
  return ::RegOpenKeyExW(root, WideArg(subKey).get(), options, access, key);
}

LONG RegQueryValueEx(HKEY key, const char* name, DWORD* reserved, DWORD* type, BYTE* data, DWORD* size) {
  if (reserved) return ERROR_INVALID_PARAMETER;
  if (data && !size) return ERROR_INVALID_PARAMETER;
  DWORD valueType = REG_NONE;
  std::string bytes;
  const LONG status = ReadWholeValue(key, WideArg(name).get(), valueType, bytes);
  if (status != ERROR_SUCCESS) return status;
  if (type) *type = valueType;
  if (!size) return ERROR_SUCCESS;
  const DWORD needed = static_cast<DWORD>(bytes.size());
  const DWORD room = *size;
  *size = needed;
  if (!data) return ERROR_SUCCESS;
  if (room < needed) return ERROR_MORE_DATA;
  if (needed) std::memcpy(data, bytes.data(), needed);
  return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY key, const char* name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  if (!IsStringType(type) || !data) return ::RegSetValueExW(key, WideArg(name).get(), reserved, type, data, size);
  // Every byte given, its terminating zero included, as the 8-bit function
  // stores them.
  const std::wstring wide = cp936::ToWide(std::string(reinterpret_cast<const char*>(data), size));
  return ::RegSetValueExW(key, WideArg(name).get(), reserved, type, reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>(wide.size() * sizeof(wchar_t)));
}

LONG RegDeleteKey(HKEY root, const char* subKey) { return ::RegDeleteKeyW(root, WideArg(subKey).get()); }

// ---- Windows, resources, painting ----

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return ::MessageBoxW(owner, WideArg(text).get(), WideArg(caption).get(), type);
}

std::string LoadString(HINSTANCE instance, UINT id) {
  // Asked for no buffer, the wide function points into the resource itself.
  const wchar_t* text = nullptr;
  const int n = ::LoadStringW(instance, id, reinterpret_cast<wchar_t*>(&text), 0);
  if (n <= 0 || !text) return std::string();
  return cp936::FromWide(std::wstring(text, static_cast<std::size_t>(n)));
}

std::string GetWindowText(HWND wnd) {
  const int length = ::GetWindowTextLengthW(wnd);
  if (length <= 0) return std::string();
  std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = ::GetWindowTextW(wnd, text.data(), static_cast<int>(text.size()));
  return got > 0 ? cp936::FromWide(std::wstring(text.data(), static_cast<std::size_t>(got))) : std::string();
}

BOOL SetWindowText(HWND wnd, const char* text) { return ::SetWindowTextW(wnd, WideArg(text).get()); }

BOOL SetDlgItemText(HWND dialog, int id, const char* text) {
  return ::SetDlgItemTextW(dialog, id, WideArg(text).get());
}

LRESULT SendTextMessage(HWND wnd, UINT wideMessage, WPARAM wp, const char* text) {
  WideArg wide(text);
  return ::SendMessageW(wnd, wideMessage, wp, reinterpret_cast<LPARAM>(wide.get()));
}

std::string TextOfSetText(LPARAM lp) { return cp936::FromWide(reinterpret_cast<const wchar_t*>(lp)); }

LRESULT AnswerGetText(const std::string& text, WPARAM size, LPARAM buffer) {
  wchar_t* out = reinterpret_cast<wchar_t*>(buffer);
  if (!out || size == 0) return 0;
  const std::wstring wide = cp936::ToWide(text);
  std::size_t n = wide.size() < size - 1 ? wide.size() : size - 1;
  // A surrogate pair is copied whole or not at all.
  if (n > 0 && n < wide.size() && IS_HIGH_SURROGATE(wide[n - 1])) --n;
  wide.copy(out, n);
  out[n] = L'\0';
  return static_cast<LRESULT>(n);
}

int DrawText(HDC dc, const char* text, int count, RECT* rect, UINT format) {
  if (!text) return 0;
  const std::wstring wide = count < 0 ? cp936::ToWide(text) : cp936::ToWide(std::string(text, count));
  return ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), rect, format & ~DT_MODIFYSTRING);
}

std::string FormatSystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
      MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  ScopedLocal owner(text);
  return n && text ? cp936::FromWide(std::wstring(text, n)) : std::string();
}

// ---- Shell ----

HINSTANCE ShellExecute(HWND owner, const char* verb, const char* file, const char* parameters,
                       const char* directory, int show) {
  return ::ShellExecuteW(owner, WideArg(verb).get(), WideArg(file).get(), WideArg(parameters).get(),
                         WideArg(directory).get(), show);
}

LPITEMIDLIST SHBrowseForFolder(BROWSEINFOA* info) {
  if (!info) return nullptr;
  wchar_t displayName[MAX_PATH] = {};
  WideArg title(info->lpszTitle);
  BROWSEINFOW wide{};
  wide.hwndOwner = info->hwndOwner;
  wide.pidlRoot = info->pidlRoot;
  wide.pszDisplayName = displayName;
  wide.lpszTitle = title.get();
  wide.ulFlags = info->ulFlags;
  wide.lpfn = info->lpfn;
  wide.lParam = info->lParam;
  LPITEMIDLIST item = ::SHBrowseForFolderW(&wide);
  info->iImage = wide.iImage;
  if (info->pszDisplayName) {
    const std::string name = cp936::FromWide(displayName);
    const std::size_t n = name.size() < MAX_PATH ? name.size() : MAX_PATH - 1;
    std::memcpy(info->pszDisplayName, name.data(), n);
    info->pszDisplayName[n] = '\0';
  }
  return item;
}

BOOL SHGetPathFromIDList(LPCITEMIDLIST item, char path[MAX_PATH]) {
  if (!path) return FALSE;
  path[0] = '\0';
  wchar_t wide[MAX_PATH] = {};
  if (!item || !::SHGetPathFromIDListW(item, wide)) return FALSE;
  std::string text;
  if (!cp936::FromWideExact(wide, text) || text.size() >= MAX_PATH) return FALSE;
  std::memcpy(path, text.c_str(), text.size() + 1);
  return TRUE;
}

HRESULT OleLoadPicturePath(const char* path, REFIID iid, void** picture) {
  std::wstring wide = cp936::ToWide(path);
  return ::OleLoadPicturePath(wide.data(), nullptr, 0, 0, iid, picture);
}

}  // namespace sys
