#include "install/PerUserText.h"

#include "framework/CodePage.h"

namespace peruser {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Days since 1 January 2000 of a proleptic Gregorian date.
long DaysSince2000(int year, int month, int day) {
  // Counted from March, so that the leap day ends a year.
  const int y = month <= 2 ? year - 1 : year;
  const int m = month <= 2 ? month + 9 : month - 3;
  const long days = 365L * y + y / 4 - y / 100 + y / 400 + (153 * m + 2) / 5 + day - 1;
  const long epoch = 365L * 1999 + 1999 / 4 - 1999 / 100 + 1999 / 400 + (153 * 10 + 2) / 5;  // 2000-01-01
  return days - epoch;
}

std::string Digits(long value, int width) {
  std::string text = std::to_string(value);
  while (static_cast<int>(text.size()) < width) text.insert(text.begin(), '0');
  return text;
}

// ASCII letters only, by hand: the C runtime's tolower depends on its
// locale, and Windows XP's msvcrt does not export it to every program.
std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

}  // namespace

bool IsPerUserCommandLine(const std::string& commandLine) {
  std::size_t i = 0;
  while (i < commandLine.size() && IsBlank(commandLine[i])) ++i;
  // The program's name: up to the closing quote, or to the first blank.
  if (i < commandLine.size() && commandLine[i] == '"') {
    const std::size_t close = commandLine.find('"', i + 1);
    if (close == std::string::npos) return false;
    i = close + 1;
  } else {
    while (i < commandLine.size() && !IsBlank(commandLine[i])) ++i;
  }
  return cp936::EqualsNoCase(cp936::Trim(commandLine.substr(i)), kSwitch);
}

std::string ComponentVersion(const Moment& utc) {
  const long days = utc.year < 2000 ? 0 : DaysSince2000(utc.year, utc.month, utc.day);
  const long halves = utc.year < 2000 ? 0 : (utc.hour * 3600L + utc.minute * 60L + utc.second) / 2;
  return "8,0," + std::to_string(days) + "," + std::to_string(halves);
}

std::string DateText(const Moment& local) {
  return Digits(local.year, 4) + Digits(local.month, 2) + Digits(local.day, 2);
}

std::uint32_t KiB(std::uint64_t bytes) {
  const std::uint64_t kib = bytes / 1024 + (bytes % 1024 ? 1 : 0);
  return kib > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(kib);
}

bool InternetShortcutUrl(const std::string& text, std::string& url) {
  url.clear();
  if (text.size() > kMaxShortcutBytes) return false;
  bool inSection = false;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = cp936::Trim(line);
    if (!line.empty() && line.front() == '[') {
      inSection = Lower(line) == "[internetshortcut]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!inSection || equals == std::string::npos) continue;
    if (Lower(cp936::Trim(line.substr(0, equals))) != "url") continue;
    const std::string value = cp936::Trim(line.substr(equals + 1));
    if (value.empty() || value.size() > 2047) return false;
    for (unsigned char c : value)
      if (c < 0x20 || c == 0x7F) return false;
    url = value;
    return true;
  }
  return false;
}

bool InvokerManifest(const std::string& manifest, std::string& out) {
  static const std::string kAdministrator = "level=\"requireAdministrator\"";
  const std::size_t at = manifest.find(kAdministrator);
  if (at == std::string::npos) return false;
  out = manifest;
  out.replace(at, kAdministrator.size(), "level=\"asInvoker\"");
  return true;
}

}  // namespace peruser
