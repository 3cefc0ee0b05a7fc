#pragma once
// Enumerates a folder. As with the usual finder loop:
//   bool more = f.FindFile(pattern); while (more) { more = f.FindNextFile(); use f; }
// Names come as code page 936 text; an entry whose name has a character that
// code page 936 cannot hold says so (IsNameRepresentable), and its name then
// holds '?' in that place, which names no file.
#include <windows.h>

#include <string>

#include "framework/Handles.h"

class CFileFind {
 public:
  CFileFind() = default;
  ~CFileFind() = default;
  CFileFind(const CFileFind&) = delete;
  CFileFind& operator=(const CFileFind&) = delete;

  // Starts a search; false when nothing matches (GetLastError tells why).
  bool FindFile(const std::string& pattern = "*.*");
  // Makes the next entry current; false when the current one is the last.
  bool FindNextFile();
  void Close();

  std::string GetFileName() const { return name_; }
  // The folder part of the pattern followed by the entry's name.
  std::string GetFilePath() const { return root_ + name_; }
  bool IsNameRepresentable() const { return representable_; }
  bool IsDirectory() const { return (current_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
  bool IsDots() const;
  DWORD GetAttributes() const { return current_.dwFileAttributes; }
  ULONGLONG GetLength() const {
    return (static_cast<ULONGLONG>(current_.nFileSizeHigh) << 32) | current_.nFileSizeLow;
  }

 private:
  ScopedFind find_;
  std::string root_;
  std::string name_;
  bool representable_ = true;
  WIN32_FIND_DATAW current_{};
  WIN32_FIND_DATAW next_{};
  bool haveNext_ = false;
};
