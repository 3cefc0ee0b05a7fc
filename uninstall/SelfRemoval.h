#pragma once
// The self-removal batch: written into a new folder that only the
// administrators and the system may change, and started hidden, suspended
// and at idle priority with the drive's root of the uninstaller's current
// drive as its current folder, it keeps deleting the uninstaller's program
// file until that succeeds (once the uninstaller has ended), then removes the
// program folder if it is empty, itself and its own folder.
#include <string>

namespace selfremoval {

// The full path of the running program's own file.
std::string RunningProgramFile();

// Where the batch's folder may go: under the protected parent, made with a
// descriptor that lets only the administrators and the system in; where that
// parent's volume keeps no permissions, or the system refuses the descriptor
// (a process without administrators' rights), under the fallback parent with
// the default one.
struct Placement {
  std::string protectedParent;
  std::string fallbackParent;
};

// The Windows folder's Temp, in which users may make folders but not rename
// or delete anybody else's; the process's own temporary folder as fallback.
Placement DefaultPlacement();

// A new folder with a name nobody knows in advance (never one that exists),
// or empty when none could be made.
std::string MakeBatchFolder(const Placement& placement);

enum class Outcome { started, noBatchFile, noProcess };

// Writes the batch for programFile into a new folder of the placement and
// starts it; then raises the calling thread to time-critical priority and
// the process to the high priority class, so that the idle batch loops on
// little processor time. batchPath, when given, receives the batch's path.
Outcome WriteAndStart(const std::string& programFile, const Placement& placement, std::string* batchPath = nullptr);
Outcome WriteAndStart(const std::string& programFile);

}  // namespace selfremoval
