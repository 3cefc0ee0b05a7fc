#include "framework/CommandLine.h"

#include "framework/CodePage.h"
#include "install/InstallPath.h"

namespace cmdline {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Whether text starts with prefix, single-byte letters compared without case.
bool StartsWithNoCase(const std::string& text, std::size_t at, const char* prefix) {
  for (std::size_t i = 0; prefix[i]; ++i)
    if (at + i >= text.size() || Upper(text[at + i]) != prefix[i]) return false;
  return true;
}

// One argument from at: up to the next blank outside quotes, the quotes
// themselves dropped, so /LOG="C:\my logs\a.log" gives /LOG=C:\my logs\a.log.
// A quote or blank byte never stands in a double-byte character of code page
// 936 (its trail bytes start at 0x40), so the line is walked byte by byte.
std::string NextArgument(const std::string& line, std::size_t& at) {
  std::string argument;
  bool quoted = false;
  for (; at < line.size(); ++at) {
    const char c = line[at];
    if (c == '"') quoted = !quoted;
    else if (IsBlank(c) && !quoted) break;
    else argument += c;
  }
  return argument;
}

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsAbsolute(const std::string& path) {
  if (path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && (path[2] == '\\' || path[2] == '/'))
    return true;
  // \\server\share: a server name and a share name at least.
  if (path.size() < 5 || path[0] != '\\' || path[1] != '\\') return false;
  const std::size_t slash = cp936::FindChar(path, '\\', 2);
  return slash != cp936::npos && slash > 2 && slash + 1 < path.size() && path[slash + 1] != '\\';
}

// By character: a trail byte may equal '|' (0x7C), which is part of its
// character, not the forbidden one.
bool HasForbiddenCharacter(const std::string& path) {
  for (std::size_t i = 0; i < path.size(); i = cp936::NextChar(path, i)) {
    const unsigned char c = static_cast<unsigned char>(path[i]);
    if (cp936::IsLeadByte(c) && i + 1 < path.size() && cp936::IsTrailByte(static_cast<unsigned char>(path[i + 1])))
      continue;
    if (c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*') return true;
    if (c == ':' && i != 1) return true;
    // A lead byte without its trail byte is no character at all.
    if (c >= 0x80) return true;
  }
  return false;
}

}  // namespace

std::string SkipProgramName(const std::string& commandLine) {
  std::size_t at = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const std::size_t close = commandLine.find('"', 1);
    at = close == std::string::npos ? commandLine.size() : close + 1;
  } else {
    while (at < commandLine.size() && !IsBlank(commandLine[at])) ++at;
  }
  while (at < commandLine.size() && IsBlank(commandLine[at])) ++at;
  return commandLine.substr(at);
}

bool IsInstallFolder(const std::string& folder, std::string& why) {
  if (folder.empty()) {
    why = "/D= 没有给出安装文件夹。";
    return false;
  }
  if (HasForbiddenCharacter(folder)) {
    why = "/D= 的安装文件夹 \"" + folder + "\" 含有路径中不能有的字符(引号、< > | ? * 或不能用简体中文字符集表示的字符)。";
    return false;
  }
  if (!IsAbsolute(folder)) {
    why = "/D= 的安装文件夹 \"" + folder + "\" 不是完整路径(例如 D:\\Terrasum)。";
    return false;
  }
  if (!installpath::FitsFolderLimit(cp936::WithTrailingBackslash(folder))) {
    why = "/D= 的安装文件夹太长(最多 " + std::to_string(installpath::kMaxFolderPath) + " 字节)。";
    return false;
  }
  return true;
}

Options Parse(const std::string& arguments, Program program) {
  Options options;
  std::size_t at = 0;
  for (;;) {
    while (at < arguments.size() && IsBlank(arguments[at])) ++at;
    if (at >= arguments.size()) break;
    if (program == Program::setup && StartsWithNoCase(arguments, at, "/D=")) {
      // The rest of the line, whatever it holds.
      const std::string folder = cp936::Trim(arguments.substr(at + 3));
      options.hasFolder = true;
      std::string why;
      if (!IsInstallFolder(folder, why)) {
        if (options.problem.empty()) options.problem = why;
        return options;
      }
      if (!options.problem.empty()) return options;
      options.folder = cp936::WithTrailingBackslash(folder);
      break;
    }
    const std::string argument = NextArgument(arguments, at);
    if (StartsWithNoCase(argument, 0, "/LOG=")) {
      options.hasLog = true;
      options.logPath = cp936::Trim(argument.substr(5));
      if (options.logPath.empty() && options.problem.empty()) options.problem = "/LOG= 没有给出日志文件名。";
    } else if (argument.size() == 2 && StartsWithNoCase(argument, 0, "/S")) {
      options.silent = true;
    } else if (argument == "/?") {
      options.help = true;
      if (options.problem.empty()) options.problem = "/? : 显示用法。";
    } else if (options.problem.empty()) {
      // Read on all the same: a /S or /LOG= further on still decides
      // whether the reason is shown or logged.
      options.problem = "不能识别的参数: " + argument;
    }
  }
  return options;
}

std::string Usage(Program program) {
  if (program == Program::uninstall)
    return "用法: Uninstall.exe [/S] [/LOG=日志文件]\n\n"
           "  /S\t静默卸载: 不提问, 不显示任何窗口。\n"
           "  /LOG=文件\t把卸载的每一步记入日志文件(UTF-8)。\n"
           "  /?\t显示本说明。\n\n"
           "退出代码: 0 已卸载; 1 命令行有误; 2 未卸载; 3 部分项目未能删除(见日志);\n"
           "3010 重新启动后完成卸载。";
  return "用法: setup.exe [/S] [/LOG=日志文件] [/D=安装文件夹]\n\n"
         "  /S\t静默安装: 不显示任何窗口; 使用本参数即表示接受许可协议。\n"
         "  /LOG=文件\t把安装的每一步记入日志文件(UTF-8)。\n"
         "  /D=文件夹\t安装文件夹, 完整路径, 必须放在最后, 不加引号, 可含空格。\n"
         "  /?\t显示本说明。\n\n"
         "退出代码: 0 安装完成; 1 命令行有误; 2 未安装; 3 部分项目失败(见日志);\n"
         "3010 重新启动后完成安装。";
}

int ExitCodeOf(bool completed, int failures, bool restartNeeded) {
  if (!completed) return exitNotDone;
  if (failures > 0) return exitSomeFailed;
  return restartNeeded ? exitRestart : exitDone;
}

}  // namespace cmdline
