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

}  // namespace selfremoval
