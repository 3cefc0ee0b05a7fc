#pragma once
// The application object: one per program, constructed as a global. The
// program's entry point (AppMain.cpp) runs it.
#include <windows.h>

#include <string>

class CWnd;

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance();
  // The message loop; returns ExitInstance's result.
  virtual int Run();
  virtual int ExitInstance();

  // Called by the entry point before InitInstance.
  void Startup(HINSTANCE instance);

  CWnd* m_pMainWnd = nullptr;
  HINSTANCE m_hInstance = nullptr;

  static CWinApp* Current();

  // The process's exit code when InitInstance returns FALSE (what
  // ExitInstance returns, and WinMain with it).
  void SetExitCode(int code) { exitCode_ = code; }

 private:
  int exitCode_ = 0;
};

HINSTANCE AfxGetInstanceHandle();
// The application's name: the program file's name without its extension.
// Read once while the process starts, before any thread; only read after.
const char* AfxGetAppName();

// The longest module path read: the system's own limit for a path.
constexpr DWORD kMaxModulePath = 32768;
// The full path of module (null: the program), read into a buffer of
// bufferSize characters that grows until the whole path fits. The result never
// holds a path cut short, unless it is longer than kMaxModulePath.
std::string ModuleFileName(HMODULE module, DWORD bufferSize = MAX_PATH);
// The file name of a path without its folder and extension.
std::string AppNameFromPath(const std::string& path);
// Hosting of ActiveX controls and the 3-D look need nothing on this platform;
// the calls are kept so that start-up reads as the programs describe it.
inline void AfxEnableControlContainer() {}
inline void Enable3dControls() {}
