#include "tests/wine/register/RegisterHarness.h"

#include <objbase.h>
#include <shlobj.h>

#include "acad/AcadText.h"
#include "framework/Handles.h"
#include "medium/control/ClassRegistration.h"
#include "tests/ui/UiTest.h"

namespace registertest {

namespace {

const char* const kUserValues[] = {"Desktop", "Programs"};
const char* const kCommonValues[] = {"Common Desktop", "Common Programs"};

ScopedRegKey OpenKey(HKEY root, const char* key) {
  HKEY raw = nullptr;
  if (::RegOpenKeyExA(root, key, 0, KEY_READ | KEY_WRITE, &raw) != ERROR_SUCCESS) return ScopedRegKey();
  return ScopedRegKey(raw);
}

void DeleteValue(HKEY root, const char* key, const char* name) {
  ScopedRegKey k = OpenKey(root, key);
  if (k) ::RegDeleteValueA(k.get(), name);
}

void Seed(HKEY root, const char* key, const char* const names[2], const std::string& desktop,
          const std::string& programs) {
  if (!desktop.empty()) regtest::SetString(root, key, names[0], desktop);
  if (!programs.empty()) regtest::SetString(root, key, names[1], programs);
}

}  // namespace

ShellFoldersScope::ShellFoldersScope() {
  for (const char* key : {kShellFoldersW, kShellFoldersN}) {
    for (const char* name : kUserValues) saved_.push_back(Saved{HKEY_CURRENT_USER, key, name, false, REG_NONE, {}});
    for (const char* name : kCommonValues) saved_.push_back(Saved{HKEY_LOCAL_MACHINE, key, name, false, REG_NONE, {}});
  }
  for (Saved& s : saved_) {
    if (const auto value = regtest::ReadValue(s.root, s.key, s.name)) {
      s.present = true;
      s.type = value->type;
      s.bytes = value->bytes;
    }
    DeleteValue(s.root, s.key, s.name);
  }
}

ShellFoldersScope::~ShellFoldersScope() {
  for (const Saved& s : saved_) {
    DeleteValue(s.root, s.key, s.name);
    if (!s.present) continue;
    // ReadValue strips a string's terminating zero; it goes back with it.
    const bool text = s.type == REG_SZ || s.type == REG_EXPAND_SZ;
    regtest::SetRaw(s.root, s.key, s.name, s.type, text ? s.bytes + '\0' : s.bytes);
  }
}

void ShellFoldersScope::SeedUser(const char* key, const std::string& desktop, const std::string& programs) {
  Seed(HKEY_CURRENT_USER, key, kUserValues, desktop, programs);
}

void ShellFoldersScope::SeedCommon(const char* key, const std::string& desktop, const std::string& programs) {
  Seed(HKEY_LOCAL_MACHINE, key, kCommonValues, desktop, programs);
}

std::string SeededProductKey(AcadRelease release) {
  const AcadReleaseRow* row = FindAcadReleaseRow(release);
  return row && *row->fixedProductKey ? row->fixedProductKey : "ACAD-1:804";
}

void SeedRelease(AcadRelease release, const std::string& folder) {
  const std::string productKey = SeededProductKey(release);
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    regtest::SetString(root, AcadReleaseKeyPath(release), "CurVer", productKey);
  regtest::SetString(HKEY_LOCAL_MACHINE, AcadProductKeyPath(release, productKey), "AcadLocation", folder);
}

std::vector<std::string> ProductKeysWithProfile(AcadRelease release) {
  std::vector<std::string> out;
  for (const std::string& productKey : regtest::Subkeys(HKEY_CURRENT_USER, AcadReleaseKeyPath(release)))
    if (regtest::KeyExists(HKEY_CURRENT_USER, AcadProfileKeyPath(release, productKey, "<<Terrasum V8>>")))
      out.push_back(productKey);
  return out;
}

void CleanProductKeys() {
  regtest::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Kelvarin");
  regtest::DeleteTree(HKEY_LOCAL_MACHINE, kUninstallKey);
}

void CleanControlClasses() {
  for (const medium::ControlIdentity* id : {&medium::kGridControl, &medium::kFailingControl}) {
    medium::DeleteKeyTree(HKEY_CLASSES_ROOT, std::string("CLSID\\") + id->clsid);
    medium::DeleteKeyTree(HKEY_CLASSES_ROOT, id->progId);
    medium::DeleteKeyTree(HKEY_CLASSES_ROOT, id->versionIndependentProgId);
  }
}

std::string ClassValue(const std::string& path, const char* name) {
  std::string data;
  return medium::ReadClassesValue(path, name, data) ? data : "<missing>";
}

bool CopyBuilt(const char* file, const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  if (slash != std::string::npos) MakeFoldersWide(Wide(path.substr(0, slash)));
  return ::CopyFileA((ui::BuildDir() + "bin\\" + file).c_str(), path.c_str(), FALSE) != 0;
}

std::wstring Wide(const std::string& text) {
  const int n = ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(n > 0 ? n : 1, L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &out[0], n);
  out.resize(n > 0 ? n - 1 : 0);
  return out;
}

bool MakeFoldersWide(const std::wstring& path) {
  for (std::size_t i = 3; i <= path.size(); ++i)
    if (i == path.size() || path[i] == L'\\') ::CreateDirectoryW(path.substr(0, i).c_str(), nullptr);
  const DWORD a = ::GetFileAttributesW(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

Link ReadLink(const std::string& linkPath) {
  Link link;
  ::CoInitialize(nullptr);
  ComPtr<IShellLinkA> shell;
  if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, shell.put_void())))
    return link;
  ComPtr<IPersistFile> file;
  if (FAILED(shell->QueryInterface(IID_IPersistFile, file.put_void()))) return link;
  if (FAILED(file->Load(Wide(linkPath).c_str(), STGM_READ))) return link;
  link.loaded = true;
  char text[1024] = {};
  if (shell->GetPath(text, sizeof text, nullptr, SLGP_RAWPATH) == S_OK) link.path = text;
  text[0] = 0;
  shell->GetArguments(text, sizeof text);
  link.arguments = text;
  text[0] = 0;
  shell->GetWorkingDirectory(text, sizeof text);
  link.workingFolder = text;
  text[0] = 0;
  shell->GetIconLocation(text, sizeof text, &link.iconIndex);
  link.iconPath = text;
  return link;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      out.push_back(text.substr(start) + "<no line end>");
      break;
    }
    out.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return out;
}

std::vector<std::string> Enumerate(const std::string& folder, const std::string& pattern) {
  std::vector<std::string> out;
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((folder + pattern).c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out.push_back(fd.cFileName);
  } while (::FindNextFileA(h, &fd));
  ::FindClose(h);
  return out;
}

}  // namespace registertest
