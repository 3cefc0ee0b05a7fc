#pragma once
// What an installation left on the machine, read back through the platform.
#include <string>
#include <vector>

namespace demo {

struct Shortcut {
  std::string link, target, itemListTarget, arguments, workingDir, icon;
  int iconIndex = 0;
};

std::vector<std::string> FilesUnder(const std::string& folder);
std::vector<std::string> ReadLines(const std::string& path);
std::string RegString(bool machine, const std::string& key, const std::string& value);
// The default value of a key under HKEY_CLASSES_ROOT, or "<none>".
std::string ClassesString(const std::string& key);
bool RegKeyExists(bool machine, const std::string& key);
// Profiles "<<...>>" under Profiles of every AutoCAD product key below HKCU.
std::vector<std::string> AcadProfiles();
bool ReadShortcut(const std::string& link, Shortcut& out);
std::vector<std::string> LinksUnder(const std::string& folder);

}  // namespace demo
