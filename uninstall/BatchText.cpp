#include "uninstall/BatchText.h"

#include "framework/CodePage.h"

namespace selfremoval {

const char kBatchPath[] = "\\DelUS.bat";

std::string ProgramFolder(const std::string& programFile) {
  const std::size_t slash = cp936::FindLastBackslash(programFile);
  return slash == cp936::npos ? std::string() : programFile.substr(0, slash);
}

std::string BatchText(const std::string& programFile, const std::string& batchPath) {
  // Every path stands in double quotes, so folders with blanks work. While
  // the uninstaller still runs, the first del fails and the loop goes round.
  const std::string quote = "\"";
  std::string text;
  text += ":Repeat\r\n";
  text += "del " + quote + programFile + quote + "\r\n";
  text += "del \"Filedelr.avi\"\r\n";
  text += "if exist " + quote + programFile + quote + " goto Repeat\r\n";
  text += "rmdir " + quote + ProgramFolder(programFile) + quote + "\r\n";
  text += "del " + quote + batchPath + quote + "\r\n";
  return text;
}

const char kProgramVariable[] = "GRAVO_UNINSTALL_PROGRAM";
const char kFolderVariable[] = "GRAVO_UNINSTALL_FOLDER";

std::string BatchTextByVariables(const std::string& batchPath) {
  const std::string program = std::string("%") + kProgramVariable + "%";
  const std::string folder = std::string("%") + kFolderVariable + "%";
  std::string text;
  text += ":Repeat\r\n";
  text += "del \"" + program + "\"\r\n";
  text += "del \"Filedelr.avi\"\r\n";
  text += "if exist \"" + program + "\" goto Repeat\r\n";
  text += "rmdir \"" + folder + "\"\r\n";
  text += "del \"" + batchPath + "\"\r\n";
  return text;
}

bool IsAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace selfremoval
