// The Add/Remove Programs entry beyond its name and command: what Windows'
// list of programs shows (publisher, version, size, date, icon, web site),
// where the product lies, that it can be neither changed nor repaired, and
// the command that removes it without a question.
#include "acad/AcadRegistry.h"
#include "framework/Handles.h"
#include "framework/Sys.h"
#include "install/PerUserText.h"
#include "install/SetupThread.h"

namespace {

const char kDisplayVersion[] = "8.0";
const char kIcon[] = "TerrasumV8.0.ICO";
const char kUninstaller[] = "Uninstall.exe";
const char kWebSite[] = "Kelvarin.url";

peruser::Moment AsMoment(const SYSTEMTIME& t) {
  return peruser::Moment{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// The web address of the medium's Internet shortcut, or empty. Only a file
// of a shortcut's size is read at all: the medium is not ours to trust, and
// a large or binary file gives no address rather than part of one.
std::string WebSiteOf(const std::string& path) {
  const ScopedFile file(sys::CreateFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::string();
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      size.QuadPart > static_cast<LONGLONG>(peruser::kMaxShortcutBytes))
    return std::string();
  std::string text(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!text.empty() && !::ReadFile(file.get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr))
    return std::string();
  text.resize(read);
  std::string url;
  return peruser::InternetShortcutUrl(text, url) ? url : std::string();
}

}  // namespace

void CSetupThread::WriteProgramsEntryDetails(const std::string& key) {
  // As the entry's other values: one that cannot be written is logged and
  // skipped.
  SYSTEMTIME today{};
  ::GetLocalTime(&today);
  WriteMachineValue(key, "DisplayVersion", kDisplayVersion);
  WriteMachineValue(key, "Publisher", kSetupIdentity.company);
  WriteMachineValue(key, "DisplayIcon", JoinPath(m_installFolder, kIcon));
  WriteMachineValue(key, "InstallLocation", m_installFolder);
  WriteMachineNumber(key, "EstimatedSize", peruser::KiB(copiedBytes_));
  WriteMachineValue(key, "InstallDate", peruser::DateText(AsMoment(today)));
  WriteMachineNumber(key, "NoModify", 1);
  WriteMachineNumber(key, "NoRepair", 1);
  // Always quoted: a path with blanks taken bare would be started as a
  // program named by its first word.
  WriteMachineValue(key, "QuietUninstallString", "\"" + JoinPath(m_installFolder, kUninstaller) + "\" /S");
  const std::string webSite = m_sourceFolder.empty() ? std::string() : WebSiteOf(JoinPath(m_sourceFolder, kWebSite));
  if (!webSite.empty()) WriteMachineValue(key, "URLInfoAbout", webSite);
}

bool CSetupThread::WriteMachineNumber(const std::string& key, const std::string& value, DWORD data) {
  const std::string what = "HKEY_LOCAL_MACHINE\\" + key + " " + value + " = " + std::to_string(data) + " (REG_DWORD)";
  if (WriteRegDwordLM(key, value, data)) {
    Log("写注册表 " + what);
    return true;
  }
  LogFailure("未能写注册表 " + what);
  return false;
}
