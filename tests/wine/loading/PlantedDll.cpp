// What a planted DLL would do: announce itself. Copied beside the programs
// under the names of DLLs they, or the system DLLs they call, load by name;
// loaded, it appends "<its path> in <the process's program>" to
// C:\planted-markers.txt. It exports the two functions the programs once
// imported from comctl32, so that a program importing them starts with it.
#include <windows.h>

namespace {

void AppendMarker(HINSTANCE self) {
  wchar_t module[MAX_PATH] = L"", program[MAX_PATH] = L"";
  ::GetModuleFileNameW(self, module, MAX_PATH);
  ::GetModuleFileNameW(nullptr, program, MAX_PATH);
  wchar_t line[3 * MAX_PATH];
  const int n = ::wsprintfW(line, L"%s in %s\r\n", module, program);
  HANDLE file = ::CreateFileW(L"C:\\planted-markers.txt", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, line, static_cast<DWORD>(n) * sizeof(wchar_t), &written, nullptr);
  ::CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) AppendMarker(self);
  return TRUE;
}

extern "C" __declspec(dllexport) BOOL WINAPI InitCommonControlsEx(const void*) { return TRUE; }
extern "C" __declspec(dllexport) BOOL WINAPI _TrackMouseEvent(void*) { return FALSE; }
