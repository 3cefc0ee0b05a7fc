#pragma once
// Files that a running program holds: AutoCAD keeps the product's modules
// and menus open while it runs, and the system then refuses to replace or
// delete them. Such a file is replaced or deleted by the system at the next
// restart instead (MoveFileEx with MOVEFILE_DELAY_UNTIL_REBOOT, which writes
// PendingFileRenameOperations and needs the administrator's rights), and the
// Restart Manager, where there is one, names the programs that hold it.
#include <windows.h>

#include <string>
#include <vector>

// What a run left for the next restart: the files in use that the system
// replaces or deletes then, and the programs that held them. Made by a
// worker, read by its page or dialog once the worker has ended.
struct RestartList {
  std::vector<std::string> files;
  // Programs the system named as holding them; empty where it cannot tell.
  std::vector<std::string> programs;
};

namespace inuse {

// The errors by which the system refuses to write over a file that another
// program has open without sharing, has locked, or has mapped.
bool IsInUseError(DWORD error);

// Copies source into target's folder under a fresh name and has the system
// move that copy over target at the next restart. attributes, unless 0, are
// set on the copy (it keeps them when it is moved). A read-only target gets
// its attribute cleared, since the move at the restart would be refused over
// it. Returns the copy's path, or empty when either step failed; nothing is
// then left behind and the last error says why.
std::string ReplaceAtRestart(const std::string& source, const std::string& target, DWORD attributes);

// Has the system delete a file, or remove a folder that is empty by then, at
// the next restart. Entries are carried out in the order they were made.
bool DeleteAtRestart(const std::string& path);

// The names of the programs that have any of the files open, as the Restart
// Manager (Windows Vista and later) gives them, each once, in its order.
// Empty where there is no Restart Manager or it names none.
std::vector<std::string> ProgramsUsing(const std::vector<std::string>& paths);

// The user's message that a restart completes the run: verb is what could
// not be done to the files now ("替换", "删除"), run what the restart
// completes ("安装", "卸载"). Names the holding programs when there are any.
std::string RestartMessage(const RestartList& list, const char* verb, const char* run);

}  // namespace inuse
