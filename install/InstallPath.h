#pragma once
// Path rules of the install engine that need no Windows API: joining a folder
// and a name, and the folder prefixes EnsureFolder makes sure of. Paths are
// code page 936 bytes; a trail byte 0x5C is never taken for a separator.
#include <cstddef>
#include <string>
#include <vector>

namespace installpath {

// EnsureFolder handles paths of at most this many bytes (a MAX_PATH buffer
// with its terminator); a longer one is a folder that cannot be created.
constexpr std::size_t kMaxFolderPath = 259;

// The name alone for a folder text of 2 bytes or fewer (such as "C:");
// otherwise the folder, a backslash unless its last character is a backslash
// or a forward slash, and the name.
std::string JoinPath(const std::string& folder, const std::string& name);

// The prefixes of path that must exist as folders, shortest first: one ends
// before every backslash or forward slash and one at the end of the text
// unless the path ends with a separator. A prefix that is empty or ends with
// a drive's colon is left out, so "C:\A\B\" and "C:\A\B" both give "C:\A",
// "C:\A\B".
std::vector<std::string> FolderPrefixes(const std::string& path);

// Whether a path fits EnsureFolder's limit.
inline bool FitsFolderLimit(const std::string& path) { return path.size() <= kMaxFolderPath; }

// Folder and pattern for an enumeration: the pattern alone for an empty
// folder, else the folder, a backslash unless its last character is a
// separator (or a drive's colon), and the pattern.
std::string SearchPattern(const std::string& folder, const std::string& pattern);

// The installation folder as typed on the folder page, in the form Setup
// takes it before it makes it full: blanks trimmed at both ends, slashes as
// backslashes. Empty when the text cannot be a folder on a drive: one that
// names no drive ("Terrasum\", "\Terrasum\"), is relative to a drive's
// current folder ("D:Terrasum\"), names a network share or a device path
// ("\\server\share\", "\\?\D:\"), or holds a character no path may hold.
std::string DriveFolderText(const std::string& typed);

// The command line that starts a program: its path, in double quotes where
// it holds a blank. Unquoted, "D:\Soft Ware\T\Uninstall.exe" would be taken
// for "D:\Soft.exe" with arguments first, a program that anybody who may
// write in D:'s root could put there.
std::string CommandLineOf(const std::string& program);

// What the elevated programs later load, run or obey in the installation
// folder (ending with a backslash), and so must get a descriptor that lets
// nobody else change it: "Uninstall.exe" and "Uninstall.log" in the folder,
// the "Controls" folder, and every folder and file in that. Letter case
// ignored, as the file system ignores it.
enum class Trust { none, folder, file };
Trust TrustOf(const std::string& installFolder, const std::string& path, bool isFolder);

}  // namespace installpath
