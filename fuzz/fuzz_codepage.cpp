// Code page 936 helpers on arbitrary bytes: results stay inside the text,
// matches start on character boundaries, trimming and case folding keep sizes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/CodePage.h"

#define CHECK(c) \
  do {           \
    if (!(c)) std::abort(); \
  } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::size_t split = data[0] % (size + 1);
  const std::string text(reinterpret_cast<const char*>(data) + 1, split > 0 ? split - 1 : 0);
  const std::string needle(reinterpret_cast<const char*>(data) + (split > 0 ? split : 1),
                           size - (split > 0 ? split : 1));
  std::vector<bool> boundary(text.size() + 1, false);
  for (std::size_t i = 0; i < text.size(); i = cp936::NextChar(text, i)) boundary[i] = true;
  boundary[text.size()] = true;

  const std::size_t hit = cp936::Find(text, needle, 0);
  if (hit != cp936::npos) {
    CHECK(boundary[hit]);
    CHECK(text.compare(hit, needle.size(), needle) == 0);
  } else if (!needle.empty()) {
    for (std::size_t i = 0; i < text.size(); ++i)
      if (boundary[i]) CHECK(text.compare(i, needle.size(), needle) != 0);
  }
  const std::size_t slash = cp936::FindLastBackslash(text);
  if (slash != cp936::npos) CHECK(boundary[slash] && text[slash] == '\\');
  CHECK(cp936::EndsWithBackslashChar(text) == (slash != cp936::npos && slash + 1 == text.size()));
  const std::string withSlash = cp936::WithTrailingBackslash(text);
  // Appending to a text that ends in a lone lead byte pairs the two; paths
  // from the platform never end so.
  const bool loneLead = !text.empty() && boundary[text.size() - 1] && cp936::IsLeadByte(text.back());
  if (!loneLead) CHECK(cp936::EndsWithBackslashChar(withSlash));
  CHECK(cp936::Trim(text).size() <= text.size());
  CHECK(cp936::EqualsNoCase(text, text));
  CHECK(cp936::EqualsNoCase(text, needle) == cp936::EqualsNoCase(needle, text));
  return 0;
}
