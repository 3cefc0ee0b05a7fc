#include "framework/App.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "framework/CodePage.h"
#include "framework/LibraryLoading.h"
#include "framework/WideText.h"
#include "framework/WinThread.h"

namespace {

CWinApp* g_app = nullptr;

// The name is read while the process starts: static initialisation runs on
// the main thread before WinMain, so before any thread of the program. The
// first prompt of a worker and the cancel question of the user-interface
// thread may come at the same moment; neither ever writes the name.
const std::string g_appName = AppNameFromPath(ModuleFileName(nullptr));

}  // namespace

std::string ModuleFileName(HMODULE module, DWORD bufferSize) {
  std::vector<wchar_t> path(bufferSize > 0 ? bufferSize : 1);
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD n = ::GetModuleFileNameW(module, path.data(), size);
    if (n == 0) return std::string();
    // A path that filled the buffer may have been cut: without a terminator
    // (the older systems), or cut and terminated (Wine, and newer systems
    // that also report ERROR_INSUFFICIENT_BUFFER). Either way, read again
    // into a larger buffer; the length returned is never trusted beyond it.
    if (n < size - 1) return cp936::FromWide(std::wstring(path.data(), n));
    if (size >= kMaxModulePath) return cp936::FromWide(std::wstring(path.data(), std::min<DWORD>(n, size - 1)));
    path.resize(std::min<std::size_t>(path.size() * 2, kMaxModulePath));
  }
}

std::string AppNameFromPath(const std::string& path) {
  std::string name = path;
  const size_t slash = cp936::FindLastBackslash(name);
  if (slash != cp936::npos) name = name.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name = name.substr(0, dot);
  return name;
}

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

CWinApp* CWinApp::Current() { return g_app; }

void CWinApp::Startup(HINSTANCE instance) {
  m_hInstance = instance;
  InitCommonControlsFromSystem();
}

// The progress bar's class comes from comctl32, which is no known DLL: it is
// loaded from the system folder, not imported (a comctl32.dll beside the
// program would run before its first line), and stays loaded for the
// process's life, with its classes registered before any dialog.
void CWinApp::InitCommonControlsFromSystem() {
  using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  HMODULE comctl32 = sys::LoadSystemLibrary(L"comctl32.dll");
  if (!comctl32) return;
  auto init = reinterpret_cast<InitFn>(reinterpret_cast<void*>(::GetProcAddress(comctl32, "InitCommonControlsEx")));
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  if (init) init(&icc);
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  exitCode_ = RunMessageLoop();
  return ExitInstance();
}

int CWinApp::ExitInstance() { return exitCode_; }

HINSTANCE AfxGetInstanceHandle() {
  return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleW(nullptr);
}

const char* AfxGetAppName() { return g_appName.c_str(); }
