// The shell: opening files, browsing for folders, loading pictures.
#include <olectl.h>
#include <shellapi.h>

#include <cstring>

#include "framework/Sys.h"
#include "framework/SysArgs.h"
#include "framework/WideText.h"

namespace sys {

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
