#include "framework/CodePage.h"

#include <cstring>

namespace cp936 {
namespace {

bool IsSpace(unsigned char b) { return b == ' ' || (b >= '\t' && b <= '\r'); }

unsigned char FoldAscii(unsigned char b) { return (b >= 'A' && b <= 'Z') ? b + ('a' - 'A') : b; }

}  // namespace

std::size_t NextChar(const std::string& s, std::size_t i) {
  if (i >= s.size()) return s.size();
  if (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() &&
      IsTrailByte(static_cast<unsigned char>(s[i + 1])))
    return i + 2;
  return i + 1;
}

bool EndsWithBackslashChar(const std::string& s) {
  std::size_t last = npos;
  for (std::size_t i = 0; i < s.size(); i = NextChar(s, i)) last = i;
  return last != npos && last + 1 == s.size() && s[last] == '\\';
}

std::size_t FindLastBackslash(const std::string& s) {
  std::size_t found = npos;
  for (std::size_t i = 0; i < s.size(); i = NextChar(s, i))
    if (s[i] == '\\') found = i;
  return found;
}

std::size_t Find(const std::string& text, const std::string& needle, std::size_t from) {
  if (needle.empty()) return from <= text.size() ? from : npos;
  const std::size_t n = needle.size();
  const char first = needle[0];
  for (std::size_t i = from; i < text.size();) {
    // Jump straight to the next byte equal to the needle's first byte, then
    // walk characters up to it so that a trail byte is never a start.
    const void* hit = std::memchr(text.data() + i, first, text.size() - i);
    if (!hit) return npos;
    const std::size_t h = static_cast<const char*>(hit) - text.data();
    while (i < h) i = NextChar(text, i);
    if (i == h) {
      if (text.size() - i >= n && text.compare(i, n, needle) == 0) return i;
      i = NextChar(text, i);
    }
  }
  return npos;
}

std::size_t FindChar(const std::string& text, char c, std::size_t from) {
  return Find(text, std::string(1, c), from);
}

std::string TrimLeft(const std::string& s) {
  std::size_t b = 0;
  while (b < s.size() && IsSpace(static_cast<unsigned char>(s[b]))) ++b;
  return s.substr(b);
}

std::string TrimRight(const std::string& s) {
  std::size_t e = s.size();
  while (e > 0 && IsSpace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(0, e);
}

std::string Trim(const std::string& s) { return TrimLeft(TrimRight(s)); }

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    const std::size_t next = NextChar(a, i);
    if (next - i == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else if (FoldAscii(static_cast<unsigned char>(a[i])) != FoldAscii(static_cast<unsigned char>(b[i]))) {
      return false;
    }
    i = next;
  }
  return true;
}

std::string WithTrailingBackslash(const std::string& s) {
  return EndsWithBackslashChar(s) ? s : s + '\\';
}

}  // namespace cp936
