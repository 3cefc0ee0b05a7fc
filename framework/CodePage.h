#pragma once
// Helpers for 8-bit text in code page 936 held in std::string. A lead byte
// (0x81..0xFE) pairs with the trail byte after it, so a trail byte that
// happens to be 0x5C is never taken for a backslash. Positions passed in as
// "from" must lie on a character boundary (0, or a position these helpers
// returned); every byte below 0x80 is such a boundary after it.
#include <cstddef>
#include <string>

namespace cp936 {

constexpr std::size_t npos = std::string::npos;

constexpr bool IsLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
// A lead byte pairs only with a byte that can follow it (0x40..0x7E,
// 0x80..0xFE): a stray lead byte before a line end never swallows it.
constexpr bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }

// Index of the character after the one that starts at i (never past size).
std::size_t NextChar(const std::string& s, std::size_t i);

// "Ends with a backslash" by the last character (a trail byte 0x5C is not one).
bool EndsWithBackslashChar(const std::string& s);

// Index of the last backslash character, or npos.
std::size_t FindLastBackslash(const std::string& s);
// Index of the first occurrence of needle at or after from that starts on a
// character boundary, or npos.
std::size_t Find(const std::string& text, const std::string& needle, std::size_t from = 0);
// Index of the first single-byte character c at or after from, or npos.
std::size_t FindChar(const std::string& text, char c, std::size_t from = 0);

std::string TrimLeft(const std::string& s);
std::string TrimRight(const std::string& s);
std::string Trim(const std::string& s);

// Letter case ignored for single-byte letters only; double-byte characters
// compare exactly.
bool EqualsNoCase(const std::string& a, const std::string& b);

// Appends a backslash unless the last character already is one.
std::string WithTrailingBackslash(const std::string& s);

}  // namespace cp936
