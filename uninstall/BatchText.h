#pragma once
// The text of the self-removal batch and the names it is made of. Pure text
// work, so that it builds natively as well.
#include <string>

namespace selfremoval {

// "\DelUS.bat": the batch in the root folder of the current drive.
extern const char kBatchPath[];

// The program file's folder: its path cut at the last backslash character
// (a trail byte 0x5C of a double-byte character is not one), without the
// backslash. Empty when the path holds no backslash.
std::string ProgramFolder(const std::string& programFile);

// The six lines, each ending in CR LF:
//   :Repeat / del "<program>" / del "Filedelr.avi" /
//   if exist "<program>" goto Repeat / rmdir "<folder>" / del "<batch>"
std::string BatchText(const std::string& programFile, const std::string& batchPath);

// The command interpreter reads a batch in its console's code page, which is
// the system's OEM code page, not 936, on a Windows of another language. The
// same six lines then name the program and its folder through the variables
// below, which the batch's environment carries as UTF-16, so that the text
// itself is plain ASCII whatever the paths hold.
extern const char kProgramVariable[];
extern const char kFolderVariable[];
std::string BatchTextByVariables(const std::string& batchPath);

// True when every byte is ASCII: such a batch reads the same in every code page.
bool IsAscii(const std::string& text);

}  // namespace selfremoval
