#pragma once
// The self-removal batch: written to the root of the current drive and
// started hidden, suspended and at idle priority, it keeps deleting the
// uninstaller's program file until that succeeds (once the uninstaller has
// ended), then removes the program folder if it is empty, and itself.
#include <string>

namespace selfremoval {

// The full path of the running program's own file.
std::string RunningProgramFile();

enum class Outcome { started, noBatchFile, noProcess };

// Writes the batch for programFile to batchPath and starts it; then raises
// the calling thread to time-critical priority and the process to the high
// priority class, so that the idle batch loops on little processor time.
Outcome WriteAndStart(const std::string& programFile, const std::string& batchPath);

}  // namespace selfremoval
