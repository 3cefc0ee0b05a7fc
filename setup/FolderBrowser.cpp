#include "setup/FolderBrowser.h"

#include "framework/App.h"
#include "framework/Handles.h"
#include "framework/Sys.h"

CFolderBrowser::CFolderBrowser(HWND owner, LPCITEMIDLIST root, int titleId) {
  info_.hwndOwner = owner;
  info_.pidlRoot = root;
  info_.pszDisplayName = displayName_;
  info_.lpszTitle = nullptr;  // no instruction line until a title is set
  info_.ulFlags = 0;
  info_.lpfn = &CFolderBrowser::Callback;
  info_.lParam = reinterpret_cast<LPARAM>(this);
  SetTitle(titleId);
}

CFolderBrowser::~CFolderBrowser() = default;

void CFolderBrowser::SetOwner(HWND owner) {
  if (!IsOpen()) info_.hwndOwner = owner;
}

void CFolderBrowser::SetRoot(LPCITEMIDLIST root) {
  if (!IsOpen()) info_.pidlRoot = root;
}

void CFolderBrowser::SetFlags(UINT flags) {
  if (!IsOpen()) info_.ulFlags = flags;
}

void CFolderBrowser::SetTitle(const std::string& title) {
  if (IsOpen()) return;
  title_ = title;
  info_.lpszTitle = title_.c_str();
}

bool CFolderBrowser::SetTitle(int titleId) {
  if (titleId <= 0) return false;
  const std::string text = sys::LoadString(AfxGetInstanceHandle(), static_cast<UINT>(titleId));
  if (text.empty()) return false;
  SetTitle(text);
  return true;
}

bool CFolderBrowser::Browse() {
  bool chosen = false;
  LPITEMIDLIST item = sys::SHBrowseForFolder(&info_);
  if (item) {
    path_.clear();
    displayName_[0] = '\0';
    if (sys::SHGetPathFromIDList(item, displayName_)) {
      path_ = displayName_;
      chosen = true;
    }
    ComPtr<IMalloc> malloc;
    if (SUCCEEDED(::SHGetMalloc(malloc.put()))) malloc->Free(item);
  }
  dialog_ = nullptr;
  return chosen;
}

void CFolderBrowser::SetSelection(const std::string& path) {
  if (IsOpen()) sys::SendTextMessage(dialog_, BFFM_SETSELECTIONW, TRUE, path.c_str());
}

void CFolderBrowser::SetStatusText(const std::string& text) {
  if (IsOpen()) sys::SendTextMessage(dialog_, BFFM_SETSTATUSTEXTW, 0, text.c_str());
}

// Runs inside the shell's dialog procedure: nothing may escape it.
int CALLBACK CFolderBrowser::Callback(HWND dialog, UINT msg, LPARAM param, LPARAM self) {
  auto* browser = reinterpret_cast<CFolderBrowser*>(self);
  if (!browser) return 0;
  try {
    browser->dialog_ = dialog;
    if (msg == BFFM_INITIALIZED) browser->OnInitialized();
    else if (msg == BFFM_SELCHANGED) browser->OnSelChanged(reinterpret_cast<LPCITEMIDLIST>(param));
  } catch (...) {
  }
  return 0;
}
