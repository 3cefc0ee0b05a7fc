#pragma once
#include <windows.h>

#include <string>

// The system's text for an error code (from the system table in the
// user's default language), as the system gives it, line end included.
std::string SystemErrorText(DWORD code);

// The same on one line, with the code: "<text> (错误 <code>)", for a log.
std::string SystemErrorLine(DWORD code);

// printf-style formatting into a std::string.
std::string FormatText(const char* format, ...);
