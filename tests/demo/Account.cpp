#include "tests/demo/Account.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>

#include "framework/FileFind.h"
#include "framework/Handles.h"
#include "framework/ShellLink.h"
#include "framework/Sys.h"

namespace demo {
namespace {

void Walk(const std::string& folder, std::vector<std::string>& out, bool linksOnly) {
  CFileFind finder;
  bool more = finder.FindFile(folder + "\\*");
  while (more) {
    more = finder.FindNextFile();
    if (finder.IsDots()) continue;
    const std::string name = finder.GetFileName();
    const std::string path = folder + "\\" + name;
    if (finder.IsDirectory()) {
      Walk(path, out, linksOnly);
    } else if (!linksOnly || (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".lnk") == 0)) {
      out.push_back(path);
    }
  }
}

void Profiles(HKEY key, const std::string& path, int depth, std::vector<std::string>& out) {
  HKEY sub;
  if (sys::RegOpenKeyEx(key, path.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) return;
  std::string name;
  for (DWORD i = 0;; ++i) {
    if (sys::RegEnumKey(sub, i, name) != ERROR_SUCCESS) break;
    const std::string child = path + "\\" + name;
    if (depth == 0 && name == "Profiles") {
      HKEY prof;
      if (sys::RegOpenKeyEx(key, child.c_str(), 0, KEY_READ, &prof) == ERROR_SUCCESS) {
        for (DWORD j = 0;; ++j) {
          if (sys::RegEnumKey(prof, j, name) != ERROR_SUCCESS) break;
          out.push_back(child + "\\" + name);
        }
        ::RegCloseKey(prof);
      }
    } else if (depth > 0) {
      Profiles(key, child, depth - 1, out);
    }
  }
  ::RegCloseKey(sub);
}

}  // namespace

std::vector<std::string> FilesUnder(const std::string& folder) {
  std::vector<std::string> out;
  Walk(folder, out, false);
  return out;
}

std::vector<std::string> LinksUnder(const std::string& folder) {
  std::vector<std::string> out;
  Walk(folder, out, true);
  return out;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::string bytes;
  {
    ScopedFile file(sys::CreateFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!file) return lines;
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  }
  std::string line;
  for (char c : bytes) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(c);
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string RegString(bool machine, const std::string& key, const std::string& value) {
  HKEY k;
  if (sys::RegOpenKeyEx(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) !=
      ERROR_SUCCESS)
    return "<none>";
  char buf[4096] = {};
  DWORD n = sizeof buf - 1;
  const LONG r = sys::RegQueryValueEx(k, value.empty() ? nullptr : value.c_str(), nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(buf), &n);
  ::RegCloseKey(k);
  return r == ERROR_SUCCESS ? std::string(buf) : "<none>";
}

std::string ClassesString(const std::string& key) {
  HKEY k;
  if (sys::RegOpenKeyEx(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<none>";
  char buf[1024] = {};
  DWORD n = sizeof buf - 1;
  const LONG r = sys::RegQueryValueEx(k, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &n);
  ::RegCloseKey(k);
  return r == ERROR_SUCCESS ? std::string(buf) : "<none>";
}

bool RegKeyExists(bool machine, const std::string& key) {
  HKEY k;
  if (sys::RegOpenKeyEx(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) !=
      ERROR_SUCCESS)
    return false;
  ::RegCloseKey(k);
  return true;
}

std::vector<std::string> AcadProfiles() {
  std::vector<std::string> out;
  // SOFTWARE\Autodesk\AutoCAD\<release>\<product>\Profiles\<profile>
  Profiles(HKEY_CURRENT_USER, "Software\\Autodesk\\AutoCAD", 2, out);
  return out;
}

bool ReadShortcut(const std::string& link, Shortcut& out) {
  ::CoInitialize(nullptr);
  CShellLink shellLink;
  if (!shellLink.Load(link)) return false;
  out.link = link;
  out.target = shellLink.GetPath(SLGP_RAWPATH);
  out.itemListTarget = shellLink.GetItemListPath();
  out.arguments = shellLink.GetArguments();
  out.workingDir = shellLink.GetWorkingDirectory();
  out.icon = shellLink.GetIconLocation(out.iconIndex);
  return true;
}

}  // namespace demo
