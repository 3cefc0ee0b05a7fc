// The self-removal batch on arbitrary program paths: exactly the six lines
// of its template with the paths in their places, each ending in CR LF; the
// program folder is the path up to its last backslash character (a trail
// byte 0x5C never counts) and holds none after it.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/CodePage.h"
#include "fuzz/FuzzInput.h"
#include "uninstall/BatchText.h"

namespace {

std::vector<std::string> SplitCrLf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t from = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", from)) {
    lines.push_back(text.substr(from, at - from));
    from = at + 2;
  }
  if (from < text.size()) lines.push_back(text.substr(from));
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const std::string batch =
      in.Byte() & 1 ? std::string("C:\\WINDOWS\\Temp\\DelUS-0\\") + selfremoval::kBatchName : in.Text(300);
  const std::string program = in.Rest();

  const std::string folder = selfremoval::ProgramFolder(program);
  const std::size_t slash = cp936::FindLastBackslash(program);
  if (slash == cp936::npos) {
    FUZZ_CHECK(folder.empty());
  } else {
    FUZZ_CHECK(folder == program.substr(0, slash) && program[slash] == '\\');
    FUZZ_CHECK(cp936::FindLastBackslash(program.substr(folder.size() + 1)) == cp936::npos);
  }

  const std::string text = selfremoval::BatchText(program, batch);
  const std::string expected = ":Repeat\r\ndel \"" + program + "\"\r\ndel \"Filedelr.avi\"\r\nif exist \"" + program +
                               "\" goto Repeat\r\nrmdir \"" + folder + "\"\r\ndel \"" + batch + "\"\r\n";
  FUZZ_CHECK(text == expected);
  FUZZ_CHECK(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);
  // Paths without line breaks give six lines, whatever else they hold.
  const auto clean = [](const std::string& s) { return s.find_first_of("\r\n") == std::string::npos; };
  if (clean(program) && clean(batch)) FUZZ_CHECK(SplitCrLf(text).size() == 6);
  // A text the interpreter would expand, or read in another code page, goes
  // by the variables, whose text holds neither sign of expansion in a path.
  if (!selfremoval::NeedsVariables(text, 437))
    FUZZ_CHECK(text.find_first_of("%!") == std::string::npos && selfremoval::IsAscii(text));
  if (!selfremoval::NeedsVariables(text, 936)) FUZZ_CHECK(text.find_first_of("%!") == std::string::npos);
  return 0;
}
