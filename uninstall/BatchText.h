#pragma once
// The text of the self-removal batch, the command line that runs it, and the
// names they are made of. Pure text work, so that it builds natively as well.
#include <string>

namespace selfremoval {

// The batch's own name inside the new folder made for it.
extern const char kBatchName[];

// The name of the batch's folder: "DelUS-" and the 16 random bytes in hex,
// so that nobody can know it in advance.
std::string BatchFolderName(const unsigned char (&random)[16]);

// The program file's folder: its path cut at the last backslash character
// (a trail byte 0x5C of a double-byte character is not one), without the
// backslash. Empty when the path holds no backslash. Also the batch's folder.
std::string ProgramFolder(const std::string& programFile);

// The six lines, each ending in CR LF:
//   :Repeat / del "<program>" / del "Filedelr.avi" /
//   if exist "<program>" goto Repeat / rmdir "<folder>" / del "<batch>"
std::string BatchText(const std::string& programFile, const std::string& batchPath);

// The same six lines naming the program, its folder and the batch through
// the variables below, which the batch's environment carries as UTF-16, so
// that the text is plain ASCII and free of '%' whatever the paths hold. The
// variables are expanded late ("!name!"), when their line runs, so that what
// they give is taken as it is.
extern const char kProgramVariable[];
extern const char kFolderVariable[];
extern const char kBatchVariable[];
std::string BatchTextByVariables();

// True when the paths must reach the batch through its environment: cmd
// expands '%' in a batch line (so "D:\100%\..." would name another path),
// and '!' with late expansion on; and it reads a batch in its console's code
// page, the system's OEM one, which holds Chinese names only where it is 936.
bool NeedsVariables(const std::string& text, unsigned oemCodePage);

// True when every byte is ASCII: such a batch reads the same in every code page.
bool IsAscii(const std::string& text);

// The interpreter's command line:
//   "<system>\cmd.exe" /d /v:on /c ""<batch>" & rmdir "<batch folder>""
// /d keeps the interpreter from running the AutoRun commands that anybody
// may have put in his own registry; /v:on is the late expansion of the
// variables (a text with '!' in a path goes by the variables). The
// batch's folder is removed after the batch has ended, in the command line:
// the batch cannot do it itself while the interpreter holds it open.
std::string CommandLine(const std::string& systemFolder, const std::string& batchPath);

}  // namespace selfremoval
