#include "uninstall/SelfRemoval.h"

#include <windows.h>
#include <objbase.h>

#include <cstring>
#include <vector>

#include "framework/App.h"
#include "framework/Handles.h"
#include "framework/Security.h"
#include "framework/Sys.h"
#include "uninstall/BatchText.h"

namespace selfremoval {
namespace {

// A name made of 16 random bytes (a version 4 GUID's come from the system's
// cryptographic generator); a name that exists already is never taken.
constexpr int kNameAttempts = 8;

bool RandomName(std::string& name) {
  GUID guid{};
  if (FAILED(::CoCreateGuid(&guid))) return false;
  unsigned char bytes[16];
  static_assert(sizeof guid == sizeof bytes, "a GUID is 16 bytes");
  std::memcpy(bytes, &guid, sizeof bytes);
  name = BatchFolderName(bytes);
  return true;
}

// Created anew only: a file that is there already, whoever made it, is
// neither opened nor overwritten.
bool WriteBatch(const std::string& batchPath, const std::string& text) {
  ScopedFile file(sys::CreateFile(batchPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return false;
  DWORD written = 0;
  // A short write leaves a batch that may be cut short; it is started all the
  // same, as every line it holds is harmless on its own.
  ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  return true;
}

// The batch's "del" refuses a read-only file and skips a hidden or system
// one, while "if exist" sees them all: such a program file would keep the
// batch looping for ever.
void ClearProtectingAttributes(const std::string& path) {
  const DWORD protecting = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  const DWORD attributes = sys::GetFileAttributes(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & protecting) && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
    sys::SetFileAttributes(path.c_str(), attributes & ~protecting);
}

// The system's own interpreter by its full path, not whatever the search
// for a batch's interpreter finds. environment: a block for
// CREATE_UNICODE_ENVIRONMENT, or empty for the caller's own. The current
// folder is the root of the current drive, where "Filedelr.avi" lies.
bool StartHiddenIdle(const std::string& batchPath, std::wstring& environment, PROCESS_INFORMATION& pi) {
  const std::string system = sys::GetSystemDirectory();
  if (system.empty()) return false;
  const std::string interpreter = system + "\\cmd.exe";
  const std::string line = CommandLine(system, batchPath);
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_HIDE;
  DWORD flags = CREATE_SUSPENDED | IDLE_PRIORITY_CLASS;
  if (!environment.empty()) flags |= CREATE_UNICODE_ENVIRONMENT;
  return sys::CreateProcess(interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags,
                            environment.empty() ? nullptr : environment.data(), "\\", &si, &pi) != FALSE;
}

}  // namespace

std::string RunningProgramFile() { return ModuleFileName(nullptr); }

Placement DefaultPlacement() {
  const std::string windows = sys::GetWindowsDirectory();
  return {windows.empty() ? std::string() : windows + "\\Temp", sys::GetTempPath()};
}

std::string MakeBatchFolder(const Placement& placement) {
  // Without permissions on its volume (a FAT system drive) the protected
  // parent protects nothing: every user may change what is made in it.
  bool useProtected = !placement.protectedParent.empty() && security::VolumeKeepsPermissions(placement.protectedParent);
  std::string name;
  for (int attempt = 0; attempt < kNameAttempts && RandomName(name); ++attempt) {
    if (useProtected) {
      const std::string folder = placement.protectedParent + "\\" + name;
      if (security::CreateProtectedFolder(folder, security::Kind::batchFolder)) return folder;
      if (::GetLastError() == ERROR_ALREADY_EXISTS) continue;
      useProtected = false;
    }
    if (placement.fallbackParent.empty()) return std::string();
    const std::string folder = placement.fallbackParent + "\\" + name;
    if (sys::CreateDirectory(folder.c_str(), nullptr)) return folder;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
  }
  return std::string();
}

Outcome WriteAndStart(const std::string& programFile) { return WriteAndStart(programFile, DefaultPlacement()); }

Outcome WriteAndStart(const std::string& programFile, const Placement& placement, std::string* batchPath) {
  const std::string folder = MakeBatchFolder(placement);
  if (folder.empty()) return Outcome::noBatchFile;
  const std::string batch = folder + "\\" + kBatchName;
  if (batchPath) *batchPath = batch;
  std::string text = BatchText(programFile, batch);
  std::wstring environment;
  if (NeedsVariables(text, ::GetOEMCP())) {
    text = BatchTextByVariables();
    environment = sys::EnvironmentWith(
        {{kProgramVariable, programFile}, {kFolderVariable, ProgramFolder(programFile)}, {kBatchVariable, batch}});
  }
  if (!WriteBatch(batch, text)) {
    sys::RemoveDirectory(folder.c_str());
    return Outcome::noBatchFile;
  }
  ClearProtectingAttributes(programFile);
  PROCESS_INFORMATION pi{};
  if (!StartHiddenIdle(batch, environment, pi)) return Outcome::noProcess;
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
