#include "install/InstallRecord.h"

#include "framework/CodePage.h"

namespace record {
namespace {
const char* const kTags[kKindCount] = {"File Copy: ", "Made Dir: ", "Reg Ctrl: ", "RegDB Key: "};
}

const char* Tag(int kind) { return kind >= 0 && kind < kKindCount ? kTags[kind] : ""; }

void Append(std::string& text, int kind, const std::string& value) {
  text += Tag(kind);
  text += value;
  text += '\n';
}

void AppendKey(std::string& text, RootCode root, const std::string& subKey) {
  const int code = root >= kClassesRoot && root <= kUsers ? root : kOtherRoot;
  Append(text, kRegKey, std::string(1, static_cast<char>('0' + code)) + "," + subKey);
}

bool NextEntry(const std::string& text, int kind, std::size_t& position, std::size_t& start, std::size_t& length) {
  if (kind < 0 || kind >= kKindCount || position > text.size()) return false;
  const std::string tag = kTags[kind];
  const std::size_t match = cp936::Find(text, tag, position);
  if (match == cp936::npos) return false;
  start = match + tag.size();
  std::size_t end = cp936::FindChar(text, '\n', start);
  if (end == cp936::npos) end = text.size();
  length = end - start;
  position = end + 1;
  return true;
}

int CountEntries(const std::string& text, int kind) {
  int count = 0;
  std::size_t position = 0, start = 0, length = 0;
  while (NextEntry(text, kind, position, start, length)) ++count;
  return count;
}

std::optional<KeyEntry> SplitKeyEntry(const std::string& value) {
  const std::size_t comma = cp936::FindChar(value, ',');
  if (comma == cp936::npos) return std::nullopt;
  const std::string code = value.substr(0, comma);
  RootCode root = kOtherRoot;
  if (code.size() == 1 && code[0] >= '0' && code[0] <= '3') root = static_cast<RootCode>(code[0] - '0');
  return KeyEntry{root, value.substr(comma + 1)};
}

}  // namespace record
