#pragma once
// A shell link (.lnk) built from code page 936 texts over the shell's wide
// link object. COM must be initialised on the calling thread.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "framework/Handles.h"

class CShellLink {
 public:
  CShellLink();
  CShellLink(const CShellLink&) = delete;
  CShellLink& operator=(const CShellLink&) = delete;

  // False when the shell's link object could not be made.
  bool IsReady() const { return static_cast<bool>(link_); }
  // A null text leaves that part of the link empty.
  void SetPath(const char* target);
  void SetArguments(const char* arguments);
  void SetIconLocation(const char* iconPath, int index);
  void SetWorkingDirectory(const char* folder);
  // Writes the link file; false when it could not be written.
  bool Save(const std::string& linkPath);
  // Reads a link file back; false when it cannot be read.
  bool Load(const std::string& linkPath);
  // flags: SLGP_* (SLGP_RAWPATH: as stored, variables unexpanded).
  std::string GetPath(DWORD flags = 0) const;
  // The target as the link's item list names it (what the shell starts),
  // empty when the link has none that is a file-system path.
  std::string GetItemListPath() const;
  std::string GetArguments() const;
  std::string GetWorkingDirectory() const;
  std::string GetIconLocation(int& index) const;

 private:
  ComPtr<IShellLinkW> link_;
};
