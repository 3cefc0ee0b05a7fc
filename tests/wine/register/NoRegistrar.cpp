// A library that loads fine but has no "DllRegisterServer": the control
// stage meets it as a control file that cannot register itself.
#include <windows.h>

extern "C" __declspec(dllexport) HRESULT __stdcall DllUnregisterServer() { return S_OK; }
