#pragma once
// The one place where the programs' 8-bit text meets the system's UTF-16.
// Every text inside the programs is code page 936 (the constants, the record,
// the paths the engine forms); the system is always called through its wide
// functions, with the text converted here by code page 936 itself, never by
// the system's current ANSI code page. So the programs behave the same on a
// Windows of any language.
#include <string>

namespace cp936 {

// Code page 936 to UTF-16. A byte sequence that is no character becomes the
// system's replacement for it; the conversion itself never fails.
std::wstring ToWide(const char* text);
std::wstring ToWide(const std::string& text);

// UTF-16 to code page 936; a character that code page 936 cannot hold
// becomes '?', which no file or folder name may contain, so such a name can
// never be made, found or recorded under another name.
std::string FromWide(const wchar_t* text);
std::string FromWide(const std::wstring& text);

// As FromWide, but false (and out as FromWide gives it) when some character
// has no code page 936 form.
bool FromWideExact(const std::wstring& text, std::string& out);

}  // namespace cp936
