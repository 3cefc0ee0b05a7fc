#include "tests/demo/Account.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>

namespace demo {
namespace {

void Walk(const std::string& folder, std::vector<std::string>& out, bool linksOnly) {
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    const std::string path = folder + "\\" + name;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Walk(path, out, linksOnly);
    } else if (!linksOnly || (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".lnk") == 0)) {
      out.push_back(path);
    }
  } while (::FindNextFileA(h, &fd));
  ::FindClose(h);
}

void Profiles(HKEY key, const std::string& path, int depth, std::vector<std::string>& out) {
  HKEY sub;
  if (::RegOpenKeyExA(key, path.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) return;
  char name[512];
  for (DWORD i = 0;; ++i) {
    DWORD n = sizeof name;
    if (::RegEnumKeyExA(sub, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    const std::string child = path + "\\" + name;
    if (depth == 0 && std::string(name) == "Profiles") {
      HKEY prof;
      if (::RegOpenKeyExA(key, child.c_str(), 0, KEY_READ, &prof) == ERROR_SUCCESS) {
        for (DWORD j = 0;; ++j) {
          DWORD m = sizeof name;
          if (::RegEnumKeyExA(prof, j, name, &m, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
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
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return lines;
  std::string line;
  for (int c; (c = std::fgetc(f)) != EOF;) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(c);
    }
  }
  if (!line.empty()) lines.push_back(line);
  std::fclose(f);
  return lines;
}

std::string RegString(bool machine, const std::string& key, const std::string& value) {
  HKEY k;
  if (::RegOpenKeyExA(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) !=
      ERROR_SUCCESS)
    return "<none>";
  char buf[4096] = {};
  DWORD n = sizeof buf - 1;
  const LONG r = ::RegQueryValueExA(k, value.empty() ? nullptr : value.c_str(), nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(buf), &n);
  ::RegCloseKey(k);
  return r == ERROR_SUCCESS ? std::string(buf) : "<none>";
}

std::string ClassesString(const std::string& key) {
  HKEY k;
  if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<none>";
  char buf[1024] = {};
  DWORD n = sizeof buf - 1;
  const LONG r = ::RegQueryValueExA(k, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &n);
  ::RegCloseKey(k);
  return r == ERROR_SUCCESS ? std::string(buf) : "<none>";
}

bool RegKeyExists(bool machine, const std::string& key) {
  HKEY k;
  if (::RegOpenKeyExA(machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &k) !=
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
  IShellLinkA* sl = nullptr;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&sl))))
    return false;
  IPersistFile* pf = nullptr;
  bool ok = false;
  if (SUCCEEDED(sl->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pf)))) {
    wchar_t wide[MAX_PATH * 2] = {};
    ::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH * 2);
    if (SUCCEEDED(pf->Load(wide, STGM_READ))) {
      char buf[MAX_PATH * 2] = {};
      out.link = link;
      sl->GetPath(buf, sizeof buf, nullptr, SLGP_RAWPATH);
      out.target = buf;
      buf[0] = 0;
      sl->GetArguments(buf, sizeof buf);
      out.arguments = buf;
      buf[0] = 0;
      sl->GetWorkingDirectory(buf, sizeof buf);
      out.workingDir = buf;
      buf[0] = 0;
      sl->GetIconLocation(buf, sizeof buf, &out.iconIndex);
      out.icon = buf;
      ok = true;
    }
    pf->Release();
  }
  sl->Release();
  return ok;
}

}  // namespace demo
