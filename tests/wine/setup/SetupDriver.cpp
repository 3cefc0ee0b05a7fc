#include "tests/wine/setup/SetupDriver.h"

#include <fstream>

namespace setuptest {

const char kCaption[] = "Terrasum V8.0 安装向导";
const char kProductKey[] = "SOFTWARE\\Kelvarin\\Terrasum\\V8";
const char kDefaultFolder[] = "C:\\Program Files\\Kelvarin\\Terrasum\\";

namespace {

void MakeFiles(const std::string& folder, const std::string& stem, int count) {
  ::CreateDirectoryA(folder.c_str(), nullptr);
  for (int i = 0; i < count; ++i)
    WriteTextFile(folder + "\\" + stem + std::to_string(i) + ".dat", "payload " + std::to_string(i) + "\r\n");
}

struct PageSearch {
  DWORD pid;
  int controlId;
  bool background;
  HWND found;
};

BOOL CALLBACK FindPageProc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<PageSearch*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(w, &pid);
  if (pid != s->pid || !::IsWindowVisible(w)) return TRUE;
  char cls[64] = {};
  ::GetClassNameA(w, cls, sizeof cls);
  if (std::string(cls) != "#32770") return TRUE;
  const bool captioned = (::GetWindowLongA(w, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
  if (s->background ? (captioned || ::GetWindow(w, GW_CHILD)) : !::GetDlgItem(w, s->controlId)) return TRUE;
  s->found = w;
  return FALSE;
}

HWND FindWindowOf(DWORD pid, int controlId, bool background) {
  PageSearch s{pid, controlId, background, nullptr};
  ::EnumWindows(&FindPageProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

}  // namespace

void WriteTextFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

bool FileExists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::string& path) {
  WIN32_FIND_DATAA data;
  const std::string root = path.back() == '\\' ? path : path + "\\";
  HANDLE find = ::FindFirstFileA((root + "*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string full = root + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(full);
      } else {
        ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(full.c_str());
      }
    } while (::FindNextFileA(find, &data));
    ::FindClose(find);
  }
  // Never a drive's root: under Wine that would remove the drive's folder.
  if (path.size() > 3) ::RemoveDirectoryA(path.c_str());
}

int CountFilesUnder(const std::string& folder) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int count = 0;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) count += CountFilesUnder(folder + "\\" + name);
    else ++count;
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return count;
}

std::string PictureSource() { return ui::BuildDir() + TS_SETUP_PICTURES; }

void BuildMedium(const Medium& medium) {
  RemoveTree(kMedium);
  const std::string medium_ = kMedium;
  ::CopyFileA((ui::BuildDir() + "bin\\Setup.exe").c_str(), (medium_ + "setup.exe").c_str(), FALSE);
  for (const auto& [name, count] : medium.folders) MakeFiles(medium_ + name, name, count);
  if (medium.supportSubfolder) {
    ::CreateDirectoryA((medium_ + "Support").c_str(), nullptr);
    MakeFiles(medium_ + "Support\\sub", "deep", 1);
  }
  for (const std::string& name : medium.topFiles) WriteTextFile(medium_ + name, "top-level file " + name + "\r\n");
  if (medium.pictureFolder || !medium.pictures.empty()) {
    const std::string folder = medium_ + "安装界面\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& name : medium.pictures) {
      const std::string source = FileExists(PictureSource() + name) ? PictureSource() + name : "";
      if (!source.empty()) ::CopyFileA(source.c_str(), (folder + name).c_str(), FALSE);
    }
  }
}

void DeleteProductKey() { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kProductKey); }

bool ProductKeyExists() {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  ::RegCloseKey(key);
  return true;
}

int ProductKeyValueCount() {
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
  DWORD values = 0;
  ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
  ::RegCloseKey(key);
  return static_cast<int>(values);
}

void SetInstallPath(const std::string& value) {
  HKEY key = nullptr;
  if (::RegCreateKeyA(HKEY_LOCAL_MACHINE, kProductKey, &key) != ERROR_SUCCESS) return;
  ::RegSetValueExA(key, "installPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
  ::RegCloseKey(key);
}

bool SetupRun::Start() { return process_.Start("E:\\setup.exe", kMedium); }

HWND SetupRun::FindPage(Page page) const { return FindWindowOf(Id(), static_cast<int>(page), false); }

HWND SetupRun::WaitPage(Page page, DWORD timeoutMs) {
  HWND found = nullptr;
  ui::WaitUntil([&] { return (found = FindPage(page)) != nullptr; }, timeoutMs);
  return found;
}

HWND SetupRun::WaitBackground(DWORD timeoutMs) {
  HWND found = nullptr;
  ui::WaitUntil([&] { return (found = FindWindowOf(Id(), 0, true)) != nullptr; }, timeoutMs);
  return found;
}

bool SetupRun::CancelAndAnswer(HWND page, int answer) {
  if (!ui::Click(page, IDCANCEL)) return false;
  const ui::MessageBoxInfo box = WaitBox();
  if (box.text != "真要退出安装程序吗?" || box.caption != kCaption) return false;
  return ui::Answer(box, answer);
}

HWND SetupRun::GoToPathPage() {
  HWND welcome = WaitPage(Page::Welcome);
  if (!welcome || !ui::Click(welcome, kNext)) return nullptr;
  HWND agreement = WaitPage(Page::Agreement);
  if (!agreement || !ui::Click(agreement, kAgree)) return nullptr;
  if (!ui::WaitUntil([&] { return ui::IsEnabled(agreement, kNext); }, 5000)) return nullptr;
  if (!ui::Click(agreement, kNext)) return nullptr;
  return WaitPage(Page::Path);
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void Shot(HWND window, const std::string& name) { ui::SaveScreenshot(window, ui::ScreenshotDir() + name + ".png"); }

}  // namespace setuptest
