// A program of its own for the application's name: run from a folder whose
// path is longer than MAX_PATH bytes, it writes what AfxGetAppName gave on
// its user-interface thread and on worker threads that asked first, all at
// once, to the file named by its argument.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "framework/App.h"
#include "framework/Handles.h"

namespace {

constexpr int kWorkers = 4;

class CAppNameProgram : public CWinApp {
 public:
  BOOL InitInstance() override {
    if (__argc < 2) return FALSE;
    ScopedHandle go(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::vector<const char*> seen(kWorkers, nullptr);
    std::vector<std::thread> workers;
    for (int i = 0; i < kWorkers; ++i)
      workers.emplace_back([&, i] {
        ::WaitForSingleObject(go.get(), INFINITE);
        seen[i] = AfxGetAppName();
      });
    ::SetEvent(go.get());
    const char* mine = AfxGetAppName();
    for (std::thread& t : workers) t.join();
    std::string report = std::string(mine) + "\n";
    for (const char* name : seen) report += name == mine ? "same\n" : "other\n";
    WriteReport(__argv[1], report);
    return FALSE;
  }

 private:
  static void WriteReport(const char* path, const std::string& text) {
    ScopedFile file(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file) ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  }
};

CAppNameProgram theApp;

}  // namespace
