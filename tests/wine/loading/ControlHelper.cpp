// The helper DLL HelperControl.cpp links, lying beside it.
#include <windows.h>

extern "C" __declspec(dllexport) DWORD HelperValue() { return 4711; }
