#pragma once
// The programs' command-line switches, taken apart without any Windows API
// (the framework reads the line with GetCommandLineW and converts it to code
// page 936 first). Switches are case-insensitive and may come in any order,
// except Setup's /D=, which takes the rest of the line as the installation
// folder, blanks included, so that a deployment tool can pass a folder with
// blanks without quoting rules of its own.
//   Setup:     [/S] [/LOG=file] [/D=folder]    and /?
//   Uninstall: [/S] [/LOG=file]                and /?
#include <string>

namespace cmdline {

enum class Program { setup, uninstall };

struct Options {
  bool silent = false;
  // /D=: the folder, trimmed, ending with a backslash.
  bool hasFolder = false;
  std::string folder;
  // /LOG=: the log file as given (quotes removed).
  bool hasLog = false;
  std::string logPath;
  // /? was given (problem is set too: the line asks for no installation).
  bool help = false;
  // Why the line is not understood; empty when it is.
  std::string problem;
  bool Understood() const { return problem.empty(); }
};

// The arguments after the program's name as the system's start-up code
// takes it: up to and including the closing quote when it starts with
// one, else up to the first blank; the blanks after it are skipped too.
std::string SkipProgramName(const std::string& commandLine);

// The switches of arguments (the line without the program's name).
Options Parse(const std::string& arguments, Program program);

// Whether folder (a /D= value, trimmed) can be an installation folder: an
// absolute path (X:\... or \\server\share\...), no character a path cannot
// hold, within the install engine's length limit once it ends with a
// backslash. why says what is wrong when it cannot.
bool IsInstallFolder(const std::string& folder, std::string& why);

// The usage text shown for /? and for a line that is not understood.
std::string Usage(Program program);

// The exit codes a deployment tool reads, the same for both programs.
enum ExitCode : int {
  exitDone = 0,          // installed or removed completely
  exitNotUnderstood = 1, // the command line was refused; nothing changed
  exitNotDone = 2,       // cancelled, stopped before the end, or nothing to do
  exitSomeFailed = 3,    // done, but some entries failed (named in the log)
  exitRestart = 3010,    // done; a restart completes it
};
// A worker's run as its exit code: a failed entry outweighs a restart, which
// the log names all the same.
int ExitCodeOf(bool completed, int failures, bool restartNeeded);

}  // namespace cmdline
