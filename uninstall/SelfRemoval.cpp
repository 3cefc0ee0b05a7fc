#include "uninstall/SelfRemoval.h"

#include <windows.h>

#include <vector>

#include "framework/Handles.h"
#include "uninstall/BatchText.h"

namespace selfremoval {
namespace {

bool WriteBatch(const std::string& batchPath, const std::string& text) {
  // Windows refuses to create a file anew over a hidden, system or read-only
  // one (an older batch someone hid or protected), and then no batch would
  // run at all. Fails harmlessly when there is no older batch.
  ::SetFileAttributesA(batchPath.c_str(), FILE_ATTRIBUTE_NORMAL);
  ScopedFile file(::CreateFileA(batchPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
      !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    ::SetFileAttributesA(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

bool StartHiddenIdle(const std::string& batchPath, PROCESS_INFORMATION& pi) {
  std::vector<char> commandLine(batchPath.begin(), batchPath.end());
  commandLine.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  return ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                          CREATE_SUSPENDED | IDLE_PRIORITY_CLASS, nullptr, "\\", &si, &pi) != FALSE;
}

}  // namespace

std::string RunningProgramFile() {
  char path[MAX_PATH + 1] = {};
  const DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, n < MAX_PATH ? n : MAX_PATH);
}

Outcome WriteAndStart(const std::string& programFile, const std::string& batchPath) {
  if (!WriteBatch(batchPath, BatchText(programFile, batchPath))) return Outcome::noBatchFile;
  ClearReadOnly(programFile);
  PROCESS_INFORMATION pi{};
  if (!StartHiddenIdle(batchPath, pi)) return Outcome::noProcess;
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
