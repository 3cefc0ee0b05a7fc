// Small modules for the uninstaller's tests: NoExport.dll has no
// DllUnregisterServer at all; RefusingControl.ocx (TS_REFUSING) has one that
// reports E_FAIL; ModeProbe.ocx (TS_MODE_PROBE) notes, while it is being
// loaded, the loading thread's error mode and the process's in the
// process's environment variable TS_LOAD_ERROR_MODES ("thread,process").
#include <windows.h>

#include <cstdio>

#ifdef TS_MODE_PROBE
namespace {
// Both looked up at run time, as they are missing before Windows 7.
DWORD CallModeGetter(const char* name) {
  using Getter = UINT(WINAPI*)();
  const auto get = reinterpret_cast<Getter>(
      reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), name)));
  return get ? get() : 0xFFFFFFFF;
}
}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    char text[64];
    std::snprintf(text, sizeof text, "%lu,%lu", CallModeGetter("GetThreadErrorMode"), CallModeGetter("GetErrorMode"));
    ::SetEnvironmentVariableA("TS_LOAD_ERROR_MODES", text);
  }
  return TRUE;
}
#else
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
#endif

#if defined(TS_REFUSING) || defined(TS_MODE_PROBE)
extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() { return E_FAIL; }
#else
extern "C" __declspec(dllexport) int __stdcall SomethingElse() { return 0; }
#endif
