#include "install/InstallPath.h"

#include "framework/CodePage.h"

namespace installpath {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.size() <= 2) return name;
  if (IsSeparator(folder.back())) return folder + name;
  return folder + "\\" + name;
}

std::vector<std::string> FolderPrefixes(const std::string& path) {
  std::vector<std::string> prefixes;
  // Walked by character: the second byte of a double-byte character may be
  // 0x5C and must not cut the path in two.
  std::size_t previous = cp936::npos;
  auto checkPoint = [&](std::size_t end) {
    if (end == 0 || (previous != cp936::npos && path[previous] == ':')) return;
    prefixes.push_back(path.substr(0, end));
  };
  for (std::size_t i = 0; i < path.size(); i = cp936::NextChar(path, i)) {
    if (IsSeparator(path[i])) checkPoint(i);
    previous = i;
  }
  if (path.empty() || !IsSeparator(path[previous])) checkPoint(path.size());
  return prefixes;
}

std::string SearchPattern(const std::string& folder, const std::string& pattern) {
  if (folder.empty()) return pattern;
  const char last = folder.back();
  if (IsSeparator(last) || last == ':') return folder + pattern;
  return folder + "\\" + pattern;
}

}  // namespace installpath
