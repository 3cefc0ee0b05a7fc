#include "framework/ActionLog.h"

#include <windows.h>

#include <vector>

#include "framework/Sys.h"
#include "framework/SystemError.h"
#include "framework/WideText.h"

namespace {

const char kVersionKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// Through a plain function pointer type, which converts without a warning.
template <typename Function>
Function Lookup(const char* module, const char* name) {
  const HMODULE handle = sys::GetModuleHandle(module);
  return handle ? reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(handle, name))) : nullptr;
}

std::string RegText(const char* value) {
  HKEY raw = nullptr;
  if (sys::RegOpenKeyEx(HKEY_LOCAL_MACHINE, kVersionKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return {};
  ScopedRegKey key(raw);
  char data[512] = {};
  DWORD size = sizeof data - 1;
  DWORD type = 0;
  if (sys::RegQueryValueEx(key.get(), value, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return {};
  return std::string(data, strnlen(data, size));
}

std::string Timestamp(const char* format) {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  return FormatText(format, t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

std::string OneLine(const std::string& text) {
  std::string line = text;
  for (char& c : line)
    if (c == '\r' || c == '\n') c = ' ';
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

std::string Utf8(const std::string& text) {
  const std::wstring wide = cp936::ToWide(text);
  if (wide.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                      nullptr);
  std::string out(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
  if (n > 0)
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

}  // namespace

namespace actionlog {

// RtlGetVersion tells the truth where GetVersionEx answers for the system
// the program declares itself made for; it is looked up, and GetVersionEx
// serves where it is missing.
std::string WindowsRelease() {
  OSVERSIONINFOEXW v{};
  v.dwOSVersionInfoSize = sizeof v;
  using RtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  const auto rtl = Lookup<RtlGetVersion>("ntdll.dll", "RtlGetVersion");
  if (!rtl || rtl(&v) != 0) {
    v.dwOSVersionInfoSize = sizeof v;
    if (!::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&v))) return "未知";
  }
  std::string text = RegText("ProductName");
  const std::string edition = RegText("EditionID");
  if (!edition.empty()) text += (text.empty() ? "" : ", ") + edition;
  const std::string servicePack = cp936::FromWide(v.szCSDVersion);
  if (!servicePack.empty()) text += " " + servicePack;
  text += FormatText(" (%lu.%lu.%lu, %s)", v.dwMajorVersion, v.dwMinorVersion, v.dwBuildNumber,
                     v.wProductType == VER_NT_WORKSTATION ? "工作站" : "服务器");
  return text;
}

std::string Bitness() {
#ifdef _WIN64
  return "64 位程序, 64 位 Windows";
#else
  // IsWow64Process came with Windows XP SP2; looked up, and its absence
  // means a 32-bit system.
  using IsWow64 = BOOL(WINAPI*)(HANDLE, BOOL*);
  const auto isWow64 = Lookup<IsWow64>("kernel32.dll", "IsWow64Process");
  BOOL wow64 = FALSE;
  if (isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64) return "32 位程序, 64 位 Windows (WOW64)";
  return "32 位程序, 32 位 Windows";
#endif
}

std::string AccountName() {
  wchar_t name[257] = {};
  DWORD size = 257;
  if (!::GetUserNameW(name, &size)) return "未知 (" + OneLine(SystemErrorText(::GetLastError())) + ")";
  return cp936::FromWide(name);
}

// The token's elevation is known from Windows Vista on; XP answers the
// query with an error, and then the membership of the Administrators group
// is what decides what the program may do.
std::string Elevation() {
  HANDLE raw = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return "未知";
  ScopedHandle token(raw);
  constexpr auto kTokenElevation = static_cast<TOKEN_INFORMATION_CLASS>(20);
  DWORD elevated = 0, size = 0;
  if (::GetTokenInformation(token.get(), kTokenElevation, &elevated, sizeof elevated, &size))
    return elevated ? "是" : "否";
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID admins = nullptr;
  BOOL member = FALSE;
  if (::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                 &admins)) {
    if (!::CheckTokenMembership(nullptr, admins, &member)) member = FALSE;
    ::FreeSid(admins);
  }
  return std::string("系统无此概念 (无用户帐户控制); 属于 Administrators 组: ") + (member ? "是" : "否");
}

}  // namespace actionlog

bool CActionLog::Open(const std::string& path, DWORD& error) {
  {
    // Created empty first, then opened for appending only: every write of
    // that handle lands at the end, whichever thread makes it.
    ScopedFile create(sys::CreateFile(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!create) {
      error = ::GetLastError();
      return false;
    }
    static const char kBom[] = "\xEF\xBB\xBF";
    DWORD written = 0;
    if (!::WriteFile(create.get(), kBom, 3, &written, nullptr)) {
      error = ::GetLastError();
      return false;
    }
  }
  file_.reset(sys::CreateFile(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file_) error = ::GetLastError();
  return IsOpen();
}

void CActionLog::Write(const std::string& line) const {
  if (!file_) return;
  const std::string bytes = Utf8(Timestamp("%04u-%02u-%02u %02u:%02u:%02u.%03u ") + OneLine(line)) + "\r\n";
  DWORD written = 0;
  ::WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void CActionLog::WriteHead(const std::string& program) const {
  if (!file_) return;
  Write("程序: " + program);
  Write("日期时间: " + Timestamp("%04u-%02u-%02u %02u:%02u:%02u"));
  Write("命令行: " + cp936::FromWide(::GetCommandLineW()));
  Write("Windows: " + actionlog::WindowsRelease());
  Write("位数: " + actionlog::Bitness());
  Write(FormatText("代码页: ANSI %u, OEM %u", ::GetACP(), ::GetOEMCP()));
  Write("帐户: " + actionlog::AccountName());
  Write("提升的权限(管理员): " + actionlog::Elevation());
}

void CActionLog::WriteExitCode(int code) const { Write(FormatText("退出代码: %d", code)); }

bool StartLogged(CActionLog& log, const cmdline::Options& options, std::string problem, cmdline::Program program,
                 const std::string& programText, const char* caption) {
  DWORD error = NO_ERROR;
  if (!options.logPath.empty() && !log.Open(options.logPath, error) && problem.empty())
    problem = "不能创建日志文件 " + options.logPath + ": " + SystemErrorLine(error);
  log.WriteHead(programText);
  if (problem.empty()) return true;
  // Nothing has been changed: the line is refused before anything runs.
  log.Write("命令行有误: " + problem);
  if (!options.silent)
    sys::MessageBox(nullptr, (problem + "\n\n" + cmdline::Usage(program)).c_str(), caption,
                    options.help ? MB_OK | MB_ICONINFORMATION : MB_OK | MB_ICONEXCLAMATION);
  return false;
}
