#include "framework/FileFind.h"

#include <cstring>

#include "framework/CodePage.h"

bool CFileFind::FindFile(const std::string& pattern) {
  Close();
  std::size_t cut = cp936::npos;
  for (std::size_t i = 0; i < pattern.size(); i = cp936::NextChar(pattern, i))
    if (pattern[i] == '\\' || pattern[i] == '/' || pattern[i] == ':') cut = i;
  root_ = cut == cp936::npos ? std::string() : pattern.substr(0, cut + 1);
  HANDLE h = ::FindFirstFileA(pattern.c_str(), &next_);
  if (h == INVALID_HANDLE_VALUE) return false;
  find_.reset(h);
  haveNext_ = true;
  return true;
}

bool CFileFind::FindNextFile() {
  if (!haveNext_) return false;
  current_ = next_;
  haveNext_ = ::FindNextFileA(find_.get(), &next_) != FALSE;
  return haveNext_;
}

void CFileFind::Close() {
  find_.reset();
  haveNext_ = false;
  root_.clear();
  current_ = WIN32_FIND_DATAA{};
}

bool CFileFind::IsDots() const {
  return IsDirectory() && (std::strcmp(current_.cFileName, ".") == 0 || std::strcmp(current_.cFileName, "..") == 0);
}
