#include "install/InstallPath.h"

#include "framework/CodePage.h"

namespace installpath {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// By character: a folder such as "忠誠" ends with the trail byte 0x5C, and
// taking that for a separator would glue the name onto the folder's own name.
// A forward slash is never a trail byte, so its last byte is enough.
bool EndsWithSeparator(const std::string& folder) {
  return cp936::EndsWithBackslashChar(folder) || (!folder.empty() && folder.back() == '/');
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.size() <= 2) return name;
  if (EndsWithSeparator(folder)) return folder + name;
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
  if (EndsWithSeparator(folder) || folder.back() == ':') return folder + pattern;
  return folder + "\\" + pattern;
}

std::string DriveFolderText(const std::string& typed) {
  std::string text = cp936::Trim(typed);
  // A slash is never the trail byte of a double-byte character.
  for (char& c : text)
    if (c == '/') c = '\\';
  const auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
  if (text.size() < 3 || !letter(text[0]) || text[1] != ':' || text[2] != '\\') return std::string();
  for (std::size_t i = 2; i < text.size(); i = cp936::NextChar(text, i)) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x20 || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
      return std::string();
  }
  return text;
}

std::string CommandLineOf(const std::string& program) {
  return program.find(' ') == std::string::npos ? program : "\"" + program + "\"";
}

Trust TrustOf(const std::string& installFolder, const std::string& path, bool isFolder) {
  if (installFolder.empty() || path.size() <= installFolder.size() ||
      !cp936::EqualsNoCase(path.substr(0, installFolder.size()), installFolder))
    return Trust::none;
  const std::string rest = path.substr(installFolder.size());
  const Trust kind = isFolder ? Trust::folder : Trust::file;
  if (!isFolder && (cp936::EqualsNoCase(rest, "Uninstall.exe") || cp936::EqualsNoCase(rest, "Uninstall.log")))
    return Trust::file;
  const std::string controls = "Controls";
  if (rest.size() < controls.size() || !cp936::EqualsNoCase(rest.substr(0, controls.size()), controls))
    return Trust::none;
  if (rest.size() == controls.size()) return isFolder ? Trust::folder : Trust::none;
  return rest[controls.size()] == '\\' ? kind : Trust::none;
}

}  // namespace installpath
