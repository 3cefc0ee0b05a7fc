// The recorders and the last stage, which writes the install record. The
// record's format lives in InstallRecord.h.
#include <io.h>

#include "framework/Security.h"
#include "framework/StdioFile.h"
#include "framework/Sys.h"
#include "framework/SystemError.h"
#include "install/InstallRecord.h"
#include "install/SetupThread.h"

namespace {
const char kRecordName[] = "Uninstall.log";
// The text-mode file writes a copy of what it is given with CR LF line
// ends; handed the whole record at once, that copy would double the memory
// a large record takes. Pieces of this size keep the copy small.
constexpr std::size_t kWritePiece = 64 * 1024;

void WriteInPieces(CStdioFile& file, const std::string& text) {
  for (std::size_t start = 0; start < text.size(); start += kWritePiece)
    file.WriteString(text.substr(start, kWritePiece));
}
}  // namespace

void CSetupThread::RecordFile(const std::string& path) { record::Append(record_, record::kFileCopy, path); }

void CSetupThread::RecordFolder(const std::string& path) { record::Append(record_, record::kMadeDir, path); }

void CSetupThread::RecordControl(const std::string& path) { record::Append(record_, record::kRegCtrl, path); }

void CSetupThread::RecordKey(HKEY root, const std::string& subKey) {
  record::RootCode code = record::kOtherRoot;
  if (root == HKEY_CLASSES_ROOT) code = record::kClassesRoot;
  else if (root == HKEY_CURRENT_USER) code = record::kCurrentUser;
  else if (root == HKEY_LOCAL_MACHINE) code = record::kLocalMachine;
  else if (root == HKEY_USERS) code = record::kUsers;
  record::AppendKey(record_, code, subKey);
}

bool CSetupThread::WriteRecord() {
  const std::string path = JoinPath(m_installFolder, kRecordName);
  RecordFile(path);  // the record lists itself, so that the replay deletes it
  // A hidden file cannot be opened for creation over; the old record goes first.
  if (sys::FileExists(path.c_str())) sys::DeleteFile(path.c_str());
  // Made with the descriptor that lets nobody else change it; the text file
  // opened over it below keeps that descriptor.
  bool made = false;
  security::MakeProtectedFile(path, security::Kind::trustedFile, &made);
  CStdioFile file;
  try {
    CFileException error(NO_ERROR, path);
    if (!file.Open(path, CStdioFile::modeCreate | CStdioFile::modeWrite | CStdioFile::typeText, &error)) throw error;
    WriteInPieces(file, record_);
    file.Close();
  } catch (const CFileException& e) {
    // A torn record would have the uninstaller remove only part of the
    // installation; no record at all is the outcome for a failed write.
    const bool created = file.IsOpen() || made;
    file.Close();
    if (created) sys::DeleteFile(path.c_str());
    LogFailure("未能写入安装记录 " + path + ": " + SystemErrorLine(e.m_lOsError));
    const HWND owner = Owner();
    if (!m_silent && owner && ::IsWindow(owner)) e.ReportError(owner);
    return false;
  }
  sys::SetFileAttributes(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
  Log("写入安装记录 " + path);
  return true;
}
