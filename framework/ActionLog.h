#pragma once
// The log a deployment tool asks for with /LOG=<file>: UTF-8 with a
// byte-order mark (so that Notepad on Windows XP reads it), a head that says
// where and how the program ran, one line per action as it happens, and a
// last line with the exit code. Lines are given in code page 936.
//
// No locks: the file is opened for appending only, and every line, its line
// end included, goes to the system in one WriteFile, which the system puts
// at the end of the file whole. In practice the user-interface thread writes
// the head before the worker starts and the tail after it has ended, and
// the worker writes while it runs.
#include <string>

#include "framework/CommandLine.h"
#include "framework/Handles.h"

class CActionLog {
 public:
  CActionLog() = default;
  CActionLog(const CActionLog&) = delete;
  CActionLog& operator=(const CActionLog&) = delete;

  // Creates the file (an older one is replaced) and writes the byte-order
  // mark; false, with the system's error code in error, when it cannot.
  bool Open(const std::string& path, DWORD& error);
  bool IsOpen() const { return static_cast<bool>(file_); }

  // One line with the time of day in front; line breaks inside it become
  // blanks. Does nothing when no log is open.
  void Write(const std::string& line) const;
  // The head: program, date and time, command line, Windows release and
  // edition, 32/64-bit, code pages, account, elevation.
  void WriteHead(const std::string& program) const;
  void WriteExitCode(int code) const;

 private:
  ScopedFile file_;
};

// The start both programs share: opens the log the line names (a log that
// cannot be made refuses the line), writes its head, and tells of a refused
// line (problem not empty) in the log and, without /S, in a message box with
// the usage under caption. True when the line may run.
bool StartLogged(CActionLog& log, const cmdline::Options& options, std::string problem, cmdline::Program program,
                 const std::string& programText, const char* caption);

// The parts of the head, also for the tests.
namespace actionlog {
std::string WindowsRelease();
std::string Bitness();
std::string AccountName();
std::string Elevation();
}  // namespace actionlog
