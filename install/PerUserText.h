#pragma once
// The texts of the per-user step and of the complete Add/Remove Programs
// entry that need no Windows API: the component's version, the install date,
// the per-user switch, the web address of an Internet shortcut, and the
// manifest of the per-user program.
#include <cstddef>
#include <cstdint>
#include <string>

namespace peruser {

// The switch that runs only the per-user part of Setup.
constexpr char kSwitch[] = "/PERUSER";

// Whether a process's command line (program name first, quoted or not) holds
// exactly the per-user switch, letter case ignored, blanks around it allowed.
bool IsPerUserCommandLine(const std::string& commandLine);

// A calendar moment, as the system's clock gives it.
struct Moment {
  int year, month, day, hour, minute, second;
};

// The component version that Windows compares with each user's mark:
// "8,0,D,T" with D the days since 1 January 2000 and T the seconds of that
// day halved, both from the universal clock, so that every installation has a
// larger version than the one before (each part stays below 65536 until
// the year 2179). Moments before 2000 give "8,0,0,0".
std::string ComponentVersion(const Moment& utc);

// "YYYYMMDD" of a date.
std::string DateText(const Moment& local);

// KiB of a byte count, rounded up, at most 0xFFFFFFFF.
std::uint32_t KiB(std::uint64_t bytes);

// The largest Internet shortcut read: a real one is a few hundred bytes.
constexpr std::size_t kMaxShortcutBytes = 64 * 1024;

// The value of the "URL=" line of the [InternetShortcut] section of an
// Internet shortcut's text (lines ending in CR LF or LF; the key's letter
// case ignored, blanks around it and the value trimmed). False, with url
// empty, when the text has no such line, the value is empty, longer than 2047
// bytes, or holds a control character (a binary file, a truncated line).
bool InternetShortcutUrl(const std::string& text, std::string& url);

// The manifest with its requested execution level "requireAdministrator"
// changed to "asInvoker"; false (and out unchanged) when it asks for none.
bool InvokerManifest(const std::string& manifest, std::string& out);

}  // namespace peruser

namespace peruser {

// The per-user program's file name in the install folder.
constexpr char kProgramName[] = "TerrasumUser.exe";
// The Active Setup component of the product, under HKEY_LOCAL_MACHINE for
// every user; a user's mark of the version done lies under the same path in
// his HKEY_CURRENT_USER.
constexpr char kComponentKey[] = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\Kelvarin.Terrasum.V8";

}  // namespace peruser
