#include "framework/FileFind.h"

#include <cwchar>

#include "framework/CodePage.h"
#include "framework/WideText.h"

bool CFileFind::FindFile(const std::string& pattern) {
  Close();
  std::size_t cut = cp936::npos;
  for (std::size_t i = 0; i < pattern.size(); i = cp936::NextChar(pattern, i))
    if (pattern[i] == '\\' || pattern[i] == '/' || pattern[i] == ':') cut = i;
  root_ = cut == cp936::npos ? std::string() : pattern.substr(0, cut + 1);
  HANDLE h = ::FindFirstFileW(cp936::ToWide(pattern).c_str(), &next_);
  if (h == INVALID_HANDLE_VALUE) return false;
  find_.reset(h);
  haveNext_ = true;
  return true;
}

bool CFileFind::FindNextFile() {
  if (!haveNext_) return false;
  current_ = next_;
  representable_ = cp936::FromWideExact(current_.cFileName, name_);
  haveNext_ = ::FindNextFileW(find_.get(), &next_) != FALSE;
  return haveNext_;
}

void CFileFind::Close() {
  find_.reset();
  haveNext_ = false;
  root_.clear();
  name_.clear();
  representable_ = true;
  current_ = WIN32_FIND_DATAW{};
}

bool CFileFind::IsDots() const {
  return IsDirectory() && (std::wcscmp(current_.cFileName, L".") == 0 || std::wcscmp(current_.cFileName, L"..") == 0);
}
