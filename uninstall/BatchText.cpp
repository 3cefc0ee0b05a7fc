#include "uninstall/BatchText.h"

#include "framework/CodePage.h"

namespace selfremoval {

const char kBatchPath[] = "\\DelUS.bat";

std::string ProgramFolder(const std::string& programFile) {
  const std::size_t slash = cp936::FindLastBackslash(programFile);
  return slash == cp936::npos ? std::string() : programFile.substr(0, slash);
}

namespace {

// Every path stands in double quotes, so folders with blanks work. While the
// uninstaller still runs, the first del fails and the loop goes round.
std::string SixLines(const std::string& program, const std::string& folder, const std::string& batchPath) {
  const std::string quote = "\"";
  std::string text;
  text += ":Repeat\r\n";
  text += "del " + quote + program + quote + "\r\n";
  text += "del \"Filedelr.avi\"\r\n";
  text += "if exist " + quote + program + quote + " goto Repeat\r\n";
  text += "rmdir " + quote + folder + quote + "\r\n";
  text += "del " + quote + batchPath + quote + "\r\n";
  return text;
}

}  // namespace

std::string BatchText(const std::string& programFile, const std::string& batchPath) {
  return SixLines(programFile, ProgramFolder(programFile), batchPath);
}

const char kProgramVariable[] = "GRAVO_UNINSTALL_PROGRAM";
const char kFolderVariable[] = "GRAVO_UNINSTALL_FOLDER";

std::string BatchTextByVariables(const std::string& batchPath) {
  return SixLines(std::string("%") + kProgramVariable + "%", std::string("%") + kFolderVariable + "%", batchPath);
}

bool IsAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace selfremoval
