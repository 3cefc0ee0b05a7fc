// Two small modules for the uninstaller's tests: NoExport.dll has no
// DllUnregisterServer at all; RefusingControl.ocx (TS_REFUSING) has one that
// reports E_FAIL.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }

#ifdef TS_REFUSING
extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() { return E_FAIL; }
#else
extern "C" __declspec(dllexport) int __stdcall SomethingElse() { return 0; }
#endif
