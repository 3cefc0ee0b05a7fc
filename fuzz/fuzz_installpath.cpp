// The install engine's path rules on arbitrary bytes: JoinPath adds at most
// one separator and keeps both parts whole; the folder prefixes that
// EnsureFolder makes sure of are exactly the ones its walk checks (before
// every separator character, and at the end), shortest first, each fitting
// the walk's 260-byte buffer when the path does; a search pattern keeps its
// folder and pattern.
#include <cstdint>
#include <string>
#include <vector>

#include "framework/CodePage.h"
#include "fuzz/FuzzInput.h"
#include "install/InstallPath.h"

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The check points of the walk, worked out independently: character starts
// holding a separator, skipped at index 0 and after a colon; and the end of
// a path that does not end with a separator character (nor with a colon).
std::vector<std::string> ExpectedPrefixes(const std::string& path) {
  std::vector<std::string> out;
  std::size_t last = cp936::npos;
  for (std::size_t i = 0; i < path.size(); i = cp936::NextChar(path, i)) {
    if (IsSeparator(path[i]) && i > 0 && path[i - 1] != ':') out.push_back(path.substr(0, i));
    last = i;
  }
  if (last != cp936::npos && !IsSeparator(path[last]) && path.back() != ':') out.push_back(path);
  return out;
}

void CheckJoin(const std::string& folder, const std::string& name) {
  const std::string joined = installpath::JoinPath(folder, name);
  if (folder.size() <= 2) {
    FUZZ_CHECK(joined == name);
    return;
  }
  FUZZ_CHECK(joined.compare(0, folder.size(), folder) == 0);
  FUZZ_CHECK(joined.size() >= name.size() && joined.compare(joined.size() - name.size(), name.size(), name) == 0);
  // By character: a trail byte 0x5C ends no folder.
  std::size_t last = 0;
  for (std::size_t i = 0; i < folder.size(); i = cp936::NextChar(folder, i)) last = i;
  const bool separated = last + 1 == folder.size() && IsSeparator(folder[last]);
  FUZZ_CHECK(joined.size() == folder.size() + name.size() + (separated ? 0 : 1));
  if (!separated) FUZZ_CHECK(joined[folder.size()] == '\\');
}

void CheckPrefixes(const std::string& path) {
  const std::vector<std::string> prefixes = installpath::FolderPrefixes(path);
  FUZZ_CHECK(prefixes == ExpectedPrefixes(path));
  for (std::size_t k = 0; k < prefixes.size(); ++k) {
    const std::string& p = prefixes[k];
    FUZZ_CHECK(!p.empty() && p.size() <= path.size());
    FUZZ_CHECK(path.compare(0, p.size(), p) == 0);
    if (k > 0) FUZZ_CHECK(p.size() > prefixes[k - 1].size());
    // The walk copies the path into a MAX_PATH buffer: a path within the
    // limit never yields a prefix that would not fit it.
    if (installpath::FitsFolderLimit(path)) FUZZ_CHECK(p.size() < 260);
  }
  FUZZ_CHECK(installpath::FitsFolderLimit(path) == (path.size() <= installpath::kMaxFolderPath));
}

void CheckPattern(const std::string& folder, const std::string& pattern) {
  const std::string s = installpath::SearchPattern(folder, pattern);
  FUZZ_CHECK(s.compare(0, folder.size(), folder) == 0);
  FUZZ_CHECK(s.size() >= pattern.size() && s.compare(s.size() - pattern.size(), pattern.size(), pattern) == 0);
  FUZZ_CHECK(s.size() - folder.size() - pattern.size() <= 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const std::string folder = in.Text(400);
  const std::string name = in.Text(300);
  CheckJoin(folder, name);
  CheckPrefixes(folder);
  CheckPrefixes(installpath::JoinPath(folder, name));
  CheckPattern(folder, name);
  return 0;
}
