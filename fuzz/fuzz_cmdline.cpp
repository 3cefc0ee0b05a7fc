// The switches on arbitrary bytes: a line is understood or refused with a
// reason, never both; an accepted folder is one the folder check accepts,
// ends with one backslash and fits the install engine's limit; a log path
// is never empty; the program's name skipped leaves a tail of the line.
#include <cstdint>
#include <string>

#include "framework/CodePage.h"
#include "framework/CommandLine.h"
#include "fuzz/FuzzInput.h"
#include "install/InstallPath.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const bool setup = in.Byte() & 1;
  const std::string line = in.Rest();
  const std::string tail = cmdline::SkipProgramName(line);
  FUZZ_CHECK(tail.size() <= line.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0);
  FUZZ_CHECK(tail.empty() || (tail[0] != ' ' && tail[0] != '\t'));

  const auto program = setup ? cmdline::Program::setup : cmdline::Program::uninstall;
  const cmdline::Options o = cmdline::Parse(line, program);
  FUZZ_CHECK(o.Understood() == o.problem.empty());
  if (o.help) FUZZ_CHECK(!o.Understood());
  if (!setup) FUZZ_CHECK(!o.hasFolder || !o.Understood());
  if (o.Understood() && o.hasLog) FUZZ_CHECK(!o.logPath.empty());
  if (o.Understood() && o.hasFolder) {
    FUZZ_CHECK(cp936::EndsWithBackslashChar(o.folder));
    FUZZ_CHECK(installpath::FitsFolderLimit(o.folder));
    std::string why;
    FUZZ_CHECK(cmdline::IsInstallFolder(o.folder.substr(0, o.folder.size() - 1), why) || o.folder.size() <= 4);
    FUZZ_CHECK(o.folder.find('"') == std::string::npos && o.folder.find('*') == std::string::npos);
  }
  if (!o.Understood() || !o.hasFolder) FUZZ_CHECK(o.folder.empty() || o.Understood());
  return 0;
}
