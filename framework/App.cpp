#include "framework/App.h"

#include <commctrl.h>

#include "framework/CodePage.h"
#include "framework/WinThread.h"

namespace {
CWinApp* g_app = nullptr;
std::string g_appName;
}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

CWinApp* CWinApp::Current() { return g_app; }

void CWinApp::Startup(HINSTANCE instance) {
  m_hInstance = instance;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&icc);
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  exitCode_ = RunMessageLoop();
  return ExitInstance();
}

int CWinApp::ExitInstance() { return exitCode_; }

HINSTANCE AfxGetInstanceHandle() {
  return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

const char* AfxGetAppName() {
  if (g_appName.empty()) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    const size_t slash = cp936::FindLastBackslash(name);
    if (slash != cp936::npos) name = name.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name = name.substr(0, dot);
    g_appName = name;
  }
  return g_appName.c_str();
}
