#include "framework/ShellLink.h"

#include "framework/WideText.h"

namespace {

std::wstring WideOrEmpty(const char* text) { return text ? cp936::ToWide(text) : std::wstring(); }

}  // namespace

CShellLink::CShellLink() {
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link_.put_void())))
    link_.reset();
}

void CShellLink::SetPath(const char* target) {
  if (link_) link_->SetPath(WideOrEmpty(target).c_str());
}

void CShellLink::SetArguments(const char* arguments) {
  if (link_) link_->SetArguments(arguments ? cp936::ToWide(arguments).c_str() : nullptr);
}

void CShellLink::SetIconLocation(const char* iconPath, int index) {
  if (link_) link_->SetIconLocation(iconPath ? cp936::ToWide(iconPath).c_str() : nullptr, index);
}

void CShellLink::SetWorkingDirectory(const char* folder) {
  if (link_) link_->SetWorkingDirectory(WideOrEmpty(folder).c_str());
}

bool CShellLink::Save(const std::string& linkPath) {
  if (!link_) return false;
  ComPtr<IPersistFile> file;
  if (FAILED(link_->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
  // A path longer than the system's file-name limit (259 characters and the
  // terminator) is not saved at all rather than under a shortened name.
  const std::wstring path = cp936::ToWide(linkPath);
  if (path.empty() || path.size() >= MAX_PATH) return false;
  return SUCCEEDED(file->Save(path.c_str(), TRUE));
}

bool CShellLink::Load(const std::string& linkPath) {
  if (!link_) return false;
  ComPtr<IPersistFile> file;
  if (FAILED(link_->QueryInterface(IID_IPersistFile, file.put_void()))) return false;
  return SUCCEEDED(file->Load(cp936::ToWide(linkPath).c_str(), STGM_READ));
}

std::string CShellLink::GetPath(DWORD flags) const {
  wchar_t text[MAX_PATH] = {};
  if (!link_ || FAILED(link_->GetPath(text, MAX_PATH, nullptr, flags))) return std::string();
  return cp936::FromWide(text);
}

std::string CShellLink::GetItemListPath() const {
  LPITEMIDLIST items = nullptr;
  if (!link_ || FAILED(link_->GetIDList(&items)) || !items) return std::string();
  wchar_t path[MAX_PATH] = {};
  const bool found = ::SHGetPathFromIDListW(items, path) != FALSE;
  ::CoTaskMemFree(items);
  return found ? cp936::FromWide(path) : std::string();
}

std::string CShellLink::GetArguments() const {
  wchar_t text[1024] = {};
  if (!link_ || FAILED(link_->GetArguments(text, 1024))) return std::string();
  return cp936::FromWide(text);
}

std::string CShellLink::GetIconLocation(int& index) const {
  wchar_t text[MAX_PATH] = {};
  index = 0;
  if (!link_ || FAILED(link_->GetIconLocation(text, MAX_PATH, &index))) return std::string();
  return cp936::FromWide(text);
}

std::string CShellLink::GetWorkingDirectory() const {
  wchar_t text[MAX_PATH] = {};
  if (!link_ || FAILED(link_->GetWorkingDirectory(text, MAX_PATH))) return std::string();
  return cp936::FromWide(text);
}
