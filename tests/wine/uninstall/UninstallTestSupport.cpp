#include "tests/wine/uninstall/UninstallTestSupport.h"

#include "framework/Handles.h"

namespace ut {

bool WriteBytes(const std::string& path, const std::string& bytes) {
  ScopedFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

std::string ReadBytes(const std::string& path) {
  ScopedFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return "<unreadable>";
  std::string out;
  char buf[4096];
  DWORD got = 0;
  while (::ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  return out;
}

std::string WindowsTemp() {
  char folder[MAX_PATH] = {};
  ::GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\Temp";
}

std::string TempFolder() {
  char folder[MAX_PATH + 1] = {};
  ::GetTempPathA(MAX_PATH, folder);
  std::string path = folder;
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::vector<std::string> BatchFolders() {
  std::vector<std::string> found;
  for (const std::string& parent : {WindowsTemp(), TempFolder()}) {
    WIN32_FIND_DATAA data;
    ScopedFind find(::FindFirstFileA((parent + "\\DelUS-*").c_str(), &data));
    if (!find) continue;
    do found.push_back(parent + "\\" + data.cFileName);
    while (::FindNextFileA(find.get(), &data));
  }
  return found;
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFolders(const std::string& path) {
  for (std::size_t i = 3; i <= path.size(); ++i)
    if (i == path.size() || path[i] == '\\') ::CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA fd;
  ScopedFind find(::FindFirstFileA((path + "\\*").c_str(), &fd));
  if (find) {
    do {
      const std::string name = fd.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = path + "\\" + name;
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(full.c_str());
      }
    } while (::FindNextFileA(find.get(), &fd));
  }
  find.reset();
  ::RemoveDirectoryA(path.c_str());
}

std::string Lines(const std::vector<std::string>& lines, const std::string& end) {
  std::string out;
  for (const auto& l : lines) out += l + end;
  return out;
}

bool WriteRecord(const std::string& path, const std::string& bytes) {
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!WriteBytes(path, bytes)) return false;
  return ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN) != FALSE;
}

bool KeyExists(HKEY root, const std::string& path) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
  ::RegCloseKey(raw);
  return true;
}

void MakeKey(HKEY root, const std::string& path) {
  HKEY raw = nullptr;
  if (::RegCreateKeyA(root, path.c_str(), &raw) == ERROR_SUCCESS) ::RegCloseKey(raw);
}

void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& value) {
  HKEY raw = nullptr;
  if (::RegCreateKeyA(root, path.c_str(), &raw) != ERROR_SUCCESS) return;
  ScopedRegKey key(raw);
  ::RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

void DeleteTree(HKEY root, const std::string& path) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &raw) != ERROR_SUCCESS) return;
  ScopedRegKey key(raw);
  char name[512];
  for (;;) {
    DWORD size = sizeof name;
    if (::RegEnumKeyExA(key.get(), 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    DeleteTree(key.get(), name);
  }
  key.reset();
  ::RegDeleteKeyA(root, path.c_str());
}

}  // namespace ut
