// The install record reader on arbitrary bytes: every entry found lies inside
// the text, starts right after its tag, holds no LF, and the passes end.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "install/InstallRecord.h"

#define CHECK(c) \
  do {           \
    if (!(c)) std::abort(); \
  } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (int kind = -1; kind <= record::kKindCount; ++kind) {
    const std::string tag = record::Tag(kind);
    std::size_t position = 0, start = 0, length = 0;
    int count = 0;
    while (record::NextEntry(text, kind, position, start, length)) {
      CHECK(!tag.empty());
      CHECK(start >= tag.size() && start <= text.size());
      CHECK(text.compare(start - tag.size(), tag.size(), tag) == 0);
      CHECK(length <= text.size() - start);
      CHECK(text.find('\n', start) >= start + length);
      CHECK(position == start + length + 1);
      CHECK(++count <= static_cast<int>(text.size()));
      if (kind == record::kRegKey) {
        const auto key = record::SplitKeyEntry(text.substr(start, length));
        if (key) {
          CHECK(key->root >= record::kClassesRoot && key->root <= record::kOtherRoot);
          CHECK(key->subKey.size() < length);
        }
      }
    }
    CHECK(record::CountEntries(text, kind) == count);
  }
  // What the recorders write reads back as the same value.
  std::string value = text;
  for (char& c : value)
    if (c == '\n') c = ' ';
  if (value.find(':') == std::string::npos) {
    std::string rec;
    record::Append(rec, record::kMadeDir, value);
    std::size_t position = 0, start = 0, length = 0;
    CHECK(record::NextEntry(rec, record::kMadeDir, position, start, length));
    // A value ending in a lone lead byte would swallow the LF; paths never do.
    if (length == value.size()) CHECK(rec.compare(start, length, value) == 0);
  }
  return 0;
}
