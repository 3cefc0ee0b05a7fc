// The split of a "RegDB Key: " value on arbitrary bytes: no comma, no key;
// otherwise the root code is the text before the first comma (exactly "0" to
// "3", anything else the other root) and the sub-key everything after it.
// A key the recorder writes reads back as the same root and sub-key.
#include <cstdint>
#include <string>

#include "fuzz/FuzzInput.h"
#include "install/InstallRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  const int rootByte = in.Byte();
  const std::string value = in.Rest();

  // A comma (0x2C) is never the second byte of a double-byte character, so
  // the first comma byte is the first comma character.
  const std::size_t comma = value.find(',');
  const auto key = record::SplitKeyEntry(value);
  FUZZ_CHECK(key.has_value() == (comma != std::string::npos));
  if (key) {
    const std::string code = value.substr(0, comma);
    const bool known = code.size() == 1 && code[0] >= '0' && code[0] <= '3';
    FUZZ_CHECK(key->root == (known ? static_cast<record::RootCode>(code[0] - '0') : record::kOtherRoot));
    FUZZ_CHECK(key->subKey == value.substr(comma + 1));
  }

  // Round trip through the recorder, for sub-keys a key can have: no line
  // end, no tag inside, not ending in a lone lead byte.
  const auto root = static_cast<record::RootCode>(rootByte % 7 - 1);  // -1 ... 5: outside the table too
  std::string subKey = value;
  for (char& c : subKey)
    if (c == '\n' || c == ':') c = '_';
  std::string text;
  record::AppendKey(text, root, subKey);
  std::size_t position = 0, start = 0, length = 0;
  FUZZ_CHECK(record::NextEntry(text, record::kRegKey, position, start, length));
  const auto back = record::SplitKeyEntry(text.substr(start, length));
  FUZZ_CHECK(back.has_value());
  const record::RootCode written = root >= record::kClassesRoot && root <= record::kUsers ? root : record::kOtherRoot;
  FUZZ_CHECK(back->root == written);
  if (length == text.size() - start - 1) FUZZ_CHECK(back->subKey == subKey);
  FUZZ_CHECK(record::CountEntries(text, record::kRegKey) == 1);
  return 0;
}
