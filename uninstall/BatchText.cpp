#include "uninstall/BatchText.h"

#include "framework/CodePage.h"

namespace selfremoval {

const char kBatchName[] = "DelUS.bat";

std::string BatchFolderName(const unsigned char (&random)[16]) {
  static const char kHex[] = "0123456789abcdef";
  std::string name = "DelUS-";
  for (unsigned char byte : random) {
    name += kHex[byte >> 4];
    name += kHex[byte & 15];
  }
  return name;
}

std::string ProgramFolder(const std::string& programFile) {
  const std::size_t slash = cp936::FindLastBackslash(programFile);
  return slash == cp936::npos ? std::string() : programFile.substr(0, slash);
}

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Every path stands in double quotes, so folders with blanks work. While the
// uninstaller still runs, the first del fails and the loop goes round.
std::string SixLines(const std::string& program, const std::string& folder, const std::string& batchPath) {
  std::string text;
  text += ":Repeat\r\n";
  text += "del " + Quoted(program) + "\r\n";
  text += "del \"Filedelr.avi\"\r\n";
  text += "if exist " + Quoted(program) + " goto Repeat\r\n";
  text += "rmdir " + Quoted(folder) + "\r\n";
  text += "del " + Quoted(batchPath) + "\r\n";
  return text;
}

// Expanded late ("delayed"), when the line runs: what the variable gives is
// then taken as it is, '%' and '!' included, where a "%name%" would be
// scanned again by Wine's interpreter.
std::string Variable(const char* name) { return std::string("!") + name + "!"; }

}  // namespace

std::string BatchText(const std::string& programFile, const std::string& batchPath) {
  return SixLines(programFile, ProgramFolder(programFile), batchPath);
}

const char kProgramVariable[] = "GRAVO_UNINSTALL_PROGRAM";
const char kFolderVariable[] = "GRAVO_UNINSTALL_FOLDER";
const char kBatchVariable[] = "GRAVO_UNINSTALL_BATCH";

std::string BatchTextByVariables() {
  return SixLines(Variable(kProgramVariable), Variable(kFolderVariable), Variable(kBatchVariable));
}

bool NeedsVariables(const std::string& text, unsigned oemCodePage) {
  // No byte of a double-byte character of code page 936 is '%' (0x25) or
  // '!' (0x21).
  return text.find_first_of("%!") != std::string::npos || (!IsAscii(text) && oemCodePage != 936);
}

bool IsAscii(const std::string& text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

std::string CommandLine(const std::string& systemFolder, const std::string& batchPath) {
  // With more than two quotes after /c, the interpreter drops the first and
  // the last and runs the rest as typed.
  return Quoted(systemFolder + "\\cmd.exe") + " /d /v:on /c \"" + Quoted(batchPath) + " & rmdir " +
         Quoted(ProgramFolder(batchPath)) + "\"";
}

}  // namespace selfremoval
