#pragma once
// The install record Uninstall.log: the one place that knows its format.
// Setup's recorders append entries to the record text; Uninstall reads them
// back with NextEntry. Text in memory has LF line ends (CR LF on disk, by the
// text-mode file). An entry is a tag, its value, and LF:
//   "File Copy: " path   (kind 0)    "Made Dir: " path   (kind 1)
//   "Reg Ctrl: " path    (kind 2)    "RegDB Key: " root code "," sub-key (kind 3)
// A reader finds a tag anywhere (not only at a line start), never on the
// second byte of a double-byte character, and the value runs to the next LF
// or the end of the text.
#include <cstddef>
#include <optional>
#include <string>

namespace record {

enum Kind : int { kFileCopy = 0, kMadeDir = 1, kRegCtrl = 2, kRegKey = 3 };
constexpr int kKindCount = 4;

// The tag of a kind (with its trailing blank), or "" for an unknown kind.
const char* Tag(int kind);

// Root codes of kind 3: "0" HKEY_CLASSES_ROOT, "1" HKEY_CURRENT_USER,
// "2" HKEY_LOCAL_MACHINE, "3" HKEY_USERS, "4" any other root (read back as
// HKEY_CURRENT_CONFIG).
enum RootCode : int { kClassesRoot = 0, kCurrentUser = 1, kLocalMachine = 2, kUsers = 3, kOtherRoot = 4 };

// Appends one entry: tag, value, LF.
void Append(std::string& text, int kind, const std::string& value);
// Appends a kind-3 entry: tag, root code digit, comma, sub-key, LF.
void AppendKey(std::string& text, RootCode root, const std::string& subKey);

// Finds the next entry of the kind at or after position; on success sets
// start and length to the value's bytes, moves position past its LF and
// returns true. Returns false when the position lies beyond the text, the
// kind is unknown, or no further tag occurs. Position must be 0 or a value
// this function gave.
bool NextEntry(const std::string& text, int kind, std::size_t& position, std::size_t& start, std::size_t& length);

// Number of entries of the kind.
int CountEntries(const std::string& text, int kind);

// A kind-3 value split at its first comma. Without a comma there is no key.
struct KeyEntry {
  RootCode root;        // from the code text: "0".."3" exactly, anything else kOtherRoot
  std::string subKey;   // everything after the first comma
};
std::optional<KeyEntry> SplitKeyEntry(const std::string& value);

}  // namespace record
