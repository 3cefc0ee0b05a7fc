#include "bench/BenchTree.h"

#include <windows.h>

#include <algorithm>

namespace bench {
namespace {

const char* const kFolders[] = {"Support", "Controls", "图框", "Data", "Temp"};

bool IsDots(const char* n) { return n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)); }

int CopyTree(const std::string& source, const std::string& target) {
  ::CreateDirectoryA(target.c_str(), nullptr);
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((source + "\\*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do {
    if (IsDots(fd.cFileName)) continue;
    const std::string s = source + "\\" + fd.cFileName, t = target + "\\" + fd.cFileName;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) n += CopyTree(s, t);
    else if (::CopyFileA(s.c_str(), t.c_str(), FALSE)) ++n;
  } while (::FindNextFileA(h, &fd));
  ::FindClose(h);
  return n;
}

}  // namespace

int PlainCopy(const std::string& source, const std::string& target) {
  ::CreateDirectoryA(target.c_str(), nullptr);
  int n = 0;
  for (const char* f : kFolders) n += CopyTree(source + "\\" + f, target + "\\" + f);
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((source + "\\*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return n;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    if (_stricmp(fd.cFileName, "setup.exe") == 0) continue;
    const std::string s = source + "\\" + fd.cFileName, t = target + "\\" + fd.cFileName;
    if (::CopyFileA(s.c_str(), t.c_str(), FALSE)) ++n;
  } while (::FindNextFileA(h, &fd));
  ::FindClose(h);
  return n;
}

int PlainDelete(const std::string& folder) {
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((folder + "\\*.*").c_str(), &fd);
  int n = 0;
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (IsDots(fd.cFileName)) continue;
      const std::string p = folder + "\\" + fd.cFileName;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        n += PlainDelete(p);
      } else {
        if (::DeleteFileA(p.c_str())) ++n;
      }
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
  }
  if (::RemoveDirectoryA(folder.c_str())) ++n;
  return n;
}

static int CountTree(const std::string& folder, bool recursive) {
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((folder + "\\*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int n = 0;
  do {
    if (IsDots(fd.cFileName)) continue;
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    else if (recursive) n += CountTree(folder + "\\" + fd.cFileName, true);
  } while (::FindNextFileA(h, &fd));
  ::FindClose(h);
  return n;
}

int CountFiles(const std::string& source) {
  int n = CountTree(source, false);
  for (const char* f : kFolders) n += CountTree(source + "\\" + f, true);
  return n;
}

double Now() {
  LARGE_INTEGER f, c;
  ::QueryPerformanceFrequency(&f);
  ::QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace bench
