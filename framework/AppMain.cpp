// The programs' entry point: runs the one application object.
#include "framework/App.h"
#include "framework/LibraryLoading.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // Before anything can load a DLL by name (framework/LibraryLoading.h).
  sys::RestrictDllSearch();
  sys::PreloadSystemLibraries();
  CWinApp* app = CWinApp::Current();
  if (!app) return 1;
  try {
    app->Startup(instance);
    if (!app->InitInstance()) return app->ExitInstance();
    return app->Run();
  } catch (...) {
    return 3;
  }
}
