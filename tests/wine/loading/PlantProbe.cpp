// A program without the programs' protection: loads each DLL named on its
// command line by name, as the system DLLs load theirs, and prints where it
// came from. Shows that a planted DLL is found at all (its folder, its
// current folder), so that the test of the programs cannot pass vacuously.
#include <windows.h>

#include <cstdio>

int main() {
  int argc = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  for (int i = 1; argv && i < argc; ++i) {
    HMODULE module = ::LoadLibraryW(argv[i]);
    wchar_t path[MAX_PATH] = L"";
    if (module) ::GetModuleFileNameW(module, path, MAX_PATH);
    std::printf("probe: %ls -> %ls\n", argv[i], module ? path : L"(not loaded)");
  }
  return 0;
}
