#include "tests/wine/install/InstallHarness.h"

#include <fstream>
#include <sstream>

#include "framework/App.h"
#include "framework/SystemError.h"
#include "install/InstallPath.h"

namespace installtest {

DWORD Attributes(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a == INVALID_FILE_ATTRIBUTES ? a : (a & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
}

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::string& path) {
  const DWORD a = ::GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFolders(const std::string& path) {
  for (const std::string& prefix : installpath::FolderPrefixes(path)) ::CreateDirectoryA(prefix.c_str(), nullptr);
}

void Put(const std::string& path, const std::string& content) {
  MakeFolders(path.substr(0, path.rfind('\\')));
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  ::CloseHandle(h);
}

std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Slurp(const std::string& path) {
  HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string out;
  char buf[65536];
  DWORD got = 0;
  while (::ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
  ::CloseHandle(h);
  return out;
}

void MakeMedium(const std::string& root) {
  Put(root + "SETUP.EXE", "MZ setup");
  Put(root + "Uninstall.exe", "MZ uninstall");
  Put(root + "Terrasum.exe", "MZ terrasum");
  Put(root + "TerrasumV8.0.ICO", "icon");
  Put(root + "Kelvarin.url", "[InternetShortcut]\r\nURL=http://www.kelvarin.com/\r\n");
  Put(root + "readme.txt", "土方工程量计算软件 readme");
  ::SetFileAttributesA((root + "readme.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  Put(root + "安装界面\\1.jpg", "jpg");
  Put(root + "Support\\a.arx", "arx");
  ::SetFileAttributesA((root + "Support\\a.arx").c_str(), FILE_ATTRIBUTE_READONLY);
  Put(root + "Support\\b.lsp", "lsp");
  Put(root + "Support\\sub\\c.dwg", "dwg");
  ::SetFileAttributesA((root + "Support\\sub\\c.dwg").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
  MakeFolders(root + "Support\\empty");
  Put(root + "Controls\\b.ocx", "ocx");
  Put(root + "图框\\图框A.dwg", "frame");
  Put(root + "Data\\d.dat", std::string(100000, 'd'));
  MakeFolders(root + "Temp");
}

namespace {

// Entries of a folder in the order the system delivers them.
std::vector<WIN32_FIND_DATAA> Entries(const std::string& folder) {
  std::vector<WIN32_FIND_DATAA> out;
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((folder + "\\*.*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return out;
  do {
    const std::string name = fd.cFileName;
    if (name != "." && name != "..") out.push_back(fd);
  } while (::FindNextFileA(h, &fd));
  ::FindClose(h);
  return out;
}

bool IsDir(const WIN32_FIND_DATAA& fd) { return (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

}  // namespace

std::string ExpectedFolderRecord(const std::string& source, const std::string& target) {
  std::string out = "Made Dir: " + target + "\n";
  for (const auto& fd : Entries(source)) {
    const std::string name = fd.cFileName;
    if (IsDir(fd)) out += ExpectedFolderRecord(source + "\\" + name, target + "\\" + name);
    else out += "File Copy: " + target + "\\" + name + "\n";
  }
  return out;
}

std::string ExpectedRegistrationRecord(const std::string& installFolder) {
  std::string out;
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((installFolder + "Controls\\*.ocx").c_str(), &fd);
  if (h != INVALID_HANDLE_VALUE) {
    do {
      if (!IsDir(fd)) out += "Reg Ctrl: " + installFolder + "Controls\\" + fd.cFileName + "\n";
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
  }
  return out + "RegDB Key: 2,SOFTWARE\\Kelvarin\\Terrasum\\V8\n"
               "RegDB Key: 2,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Terrasum V8\n";
}

std::string ExpectedTopRecord(const std::string& sourceFolder, const std::string& installFolder) {
  std::string out;
  for (const auto& fd : Entries(sourceFolder.substr(0, sourceFolder.size() - 1))) {
    const std::string name = fd.cFileName;
    if (!IsDir(fd) && lstrcmpiA(name.c_str(), "setup.exe") != 0) out += "File Copy: " + installFolder + name + "\n";
  }
  return out;
}

namespace {
int CountTree(const std::string& folder) {
  int n = 0;
  for (const auto& fd : Entries(folder)) n += 1 + (IsDir(fd) ? CountTree(folder + "\\" + fd.cFileName) : 0);
  return n;
}
}  // namespace

int CountFolderEntries(const std::string& sourceFolder) {
  int n = 0;
  for (const std::string& name : CSetupThread::Folders()) n += CountTree(sourceFolder + name);
  return n;
}

// --- the page ---------------------------------------------------------------

namespace {
const char kPageClass[] = "InstallTestPage";

void RegisterPageClass() {
  static bool done = false;
  if (done) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = ::DefWindowProcA;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.lpszClassName = kPageClass;
  ::RegisterClassA(&wc);
  done = true;
}
}  // namespace

TestPage::TestPage() {
  RegisterPageClass();
  HWND w = ::CreateWindowExA(0, kPageClass, "复制文件", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
  SubclassWindow(w);
}

TestPage::~TestPage() {
  HWND w = m_hWnd;
  UnsubclassWindow();
  if (w) ::DestroyWindow(w);
}

LRESULT TestPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg < WM_SETUP_FILE || msg > WM_SETUP_FAILED) return Default();
  Seen s{msg, {}, {}};
  if (msg == WM_SETUP_FILE) {
    s.source = wp ? reinterpret_cast<const char*>(wp) : "<null>";
    s.target = lp ? reinterpret_cast<const char*>(lp) : "<null>";
  }
  seen.push_back(s);
  if (msg == WM_SETUP_FILE && onFile) onFile(s);
  return 1;
}

int TestPage::Count(UINT msg) const {
  int n = 0;
  for (const Seen& s : seen) n += s.msg == msg;
  return n;
}

std::vector<UINT> TestPage::Kinds() const {
  std::vector<UINT> out;
  for (const Seen& s : seen) out.push_back(s.msg);
  return out;
}

// --- the driver -------------------------------------------------------------

PromptDriver::PromptDriver(std::vector<Step> steps) : steps_(std::move(steps)), thread_([this] { Drive(); }) {}

PromptDriver::~PromptDriver() { Stop(); }

void PromptDriver::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

namespace {
Box Describe(const ui::MessageBoxInfo& info, bool checkIcon) {
  Box b;
  b.text = info.text;
  b.caption = info.caption;
  b.buttons = info.buttons;
  b.owner = ::GetWindow(info.window, GW_OWNER);
  b.ownerDisabled = b.owner && !::IsWindowEnabled(b.owner);
  if (checkIcon) b.question = ui::MessageBoxShowsIcon(info, IDI_QUESTION);
  return b;
}

void AnswerAndWaitGone(const ui::MessageBoxInfo& info, int button) {
  ui::Answer(info, button);
  ui::WaitUntil([&] { return !::IsWindow(info.window) || !::IsWindowVisible(info.window); }, 5000);
}
}  // namespace

void PromptDriver::Drive() {
  const DWORD pid = ::GetCurrentProcessId();
  std::size_t next = 0;
  while (!stop_) {
    ui::MessageBoxInfo info = ui::WaitForMessageBox(pid, 100);
    if (!info.window) continue;
    if (next < steps_.size()) {
      const Step& step = steps_[next++];
      boxes.push_back(Describe(info, step.checkIcon));
      if (!step.screenshot.empty()) ui::SaveScreenshot(info.window, ui::ScreenshotDir() + step.screenshot);
      if (step.before) step.before();
      AnswerAndWaitGone(info, step.button);
    } else {
      extra.push_back(Describe(info, false));
      for (int id : {IDCANCEL, IDABORT, IDOK})
        if (info.Has(id)) {
          AnswerAndWaitGone(info, id);
          break;
        }
    }
  }
}

// --- running ----------------------------------------------------------------

RunResult RunWorker(CSetupThread& worker, TestPage& page, const std::string& source, const std::string& install,
                    const std::function<void()>& beforePumping) {
  worker.m_sourceFolder = source;
  worker.m_installFolder = install;
  worker.m_pMainWnd = &page;
  worker.m_bAutoDelete = FALSE;
  RunResult r;
  if (!worker.CreateThread()) return r;
  if (beforePumping) beforePumping();
  worker.WaitForEnd(true);
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
  ::GetExitCodeThread(worker.ThreadHandle(), &r.exitCode);
  return r;
}

std::string AppName() { return AfxGetAppName(); }

std::string MissingSourcePrompt(DWORD error, const std::string& source) {
  return FormatText(
      "%s\n找不到安装文件的路径 %s，\n点击“重试”按钮试图重新查找该安装文件路径；\n点击“忽略”按钮将跳过该路径下的操作并继续执行；\n点击“取消”按钮将终止程序运行。",
      SystemErrorText(error).c_str(), source.c_str());
}

std::string FolderPrompt(DWORD error, const std::string& folder) {
  return FormatText("%s\n不能创建文件夹 %s ，\n点击“重试”按钮试图重新创建文件夹；\n点击“取消”按钮将终止程序运行。",
                    SystemErrorText(error).c_str(), folder.c_str());
}

}  // namespace installtest
