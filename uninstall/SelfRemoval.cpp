#include "uninstall/SelfRemoval.h"

#include <windows.h>

#include <vector>

#include "framework/App.h"
#include "framework/Handles.h"
#include "framework/Sys.h"
#include "uninstall/BatchText.h"

namespace selfremoval {
namespace {

bool WriteBatch(const std::string& batchPath, const std::string& text) {
  // Windows refuses to create a file anew over a hidden, system or read-only
  // one (an older batch someone hid or protected), and then no batch would
  // run at all. Fails harmlessly when there is no older batch.
  sys::SetFileAttributes(batchPath.c_str(), FILE_ATTRIBUTE_NORMAL);
  ScopedFile file(sys::CreateFile(batchPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return false;
  DWORD written = 0;
  // A short write leaves a batch that may be cut short; it is started all the
  // same, as every line it holds is harmless on its own.
  ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  return true;
}

// A read-only program file would make the batch's "del" fail for ever, so
// the batch would never stop looping.
void ClearReadOnly(const std::string& path) {
  const DWORD attributes = sys::GetFileAttributes(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
      !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    sys::SetFileAttributes(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

// environment: a block for CREATE_UNICODE_ENVIRONMENT, or empty for the
// caller's own.
bool StartHiddenIdle(const std::string& batchPath, std::wstring& environment, PROCESS_INFORMATION& pi) {
  std::vector<char> commandLine(batchPath.begin(), batchPath.end());
  commandLine.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  DWORD flags = CREATE_SUSPENDED | IDLE_PRIORITY_CLASS;
  if (!environment.empty()) flags |= CREATE_UNICODE_ENVIRONMENT;
  return sys::CreateProcess(nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags,
                            environment.empty() ? nullptr : environment.data(), "\\", &si, &pi) != FALSE;
}

}  // namespace

std::string RunningProgramFile() { return ModuleFileName(nullptr); }

Outcome WriteAndStart(const std::string& programFile, const std::string& batchPath) {
  std::string text = BatchText(programFile, batchPath);
  std::wstring environment;
  // The command interpreter reads the batch in the console's code page, the
  // system's OEM one; where that is not 936, paths with Chinese names reach
  // the batch through its environment instead of its text.
  if (!IsAscii(text) && ::GetOEMCP() != 936) {
    text = BatchTextByVariables(batchPath);
    environment = sys::EnvironmentWith({{kProgramVariable, programFile}, {kFolderVariable, ProgramFolder(programFile)}});
  }
  if (!WriteBatch(batchPath, text)) return Outcome::noBatchFile;
  ClearReadOnly(programFile);
  PROCESS_INFORMATION pi{};
  if (!StartHiddenIdle(batchPath, environment, pi)) return Outcome::noProcess;
  ScopedHandle process(pi.hProcess);
  ScopedHandle thread(pi.hThread);
  ::SetThreadPriority(thread.get(), THREAD_PRIORITY_IDLE);
  ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  ::SetPriorityClass(::GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  process.reset();
  ::ResumeThread(thread.get());
  return Outcome::started;
}

}  // namespace selfremoval
