// The recorders and the last stage, which writes the install record. The
// record's format lives in InstallRecord.h.
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

// Windows refuses to move a file over one that anybody has open, and a
// virus scanner or the search indexer may be reading the earlier record just
// then; such a refusal is tried again for a second before it counts.
bool MoveOver(const std::string& fresh, const std::string& path) {
  constexpr int kTries = 20;
  constexpr DWORD kPauseMs = 50;
  for (int i = 1;; ++i) {
    if (sys::MoveFileEx(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    const DWORD error = ::GetLastError();
    if (i >= kTries || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED)) return false;
    ::Sleep(kPauseMs);
    ::SetLastError(error);
  }
}

// The one place the record's file is made: new, for writing in text mode,
// with the descriptor that lets nobody else change what the elevated
// uninstaller obeys (the move over the old record keeps it). A process that
// may not name the administrators owner makes it with the default one.
bool CreateRecordFile(CStdioFile& file, const std::string& path, const std::string& record, CFileException& error) {
  security::Attributes attributes = security::ProtectedFileAttributes();
  if (file.OpenNew(path, attributes.get(), &error)) {
    // The file becomes the record once moved over it, descriptor and all.
    if (attributes.get()) security::ApplyLog::Note(record, security::Kind::trustedFile, true);
    return true;
  }
  if (error.m_lOsError != ERROR_INVALID_OWNER || !attributes.get()) return false;
  return file.OpenNew(path, nullptr, &error);
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
  try {
    ReplaceRecordFile(path);
  } catch (const CFileException& e) {
    // The user knows the record by its own name, not by the new file's.
    const CFileException shown(e.m_lOsError, path);
    LogFailure("未能写入安装记录 " + path + ": " + SystemErrorLine(e.m_lOsError));
    const HWND owner = Owner();
    if (!m_silent && owner && ::IsWindow(owner)) shown.ReportError(owner);
    return false;
  }
  Log("写入安装记录 " + path);
  return true;
}

// The new record is written in full beside the old one, flushed to the disk,
// and only then moved over it in one step: a full disk, a failing write or a
// power cut leaves the earlier record as it was (without one, the product
// could never be uninstalled), never an empty or torn one.
void CSetupThread::ReplaceRecordFile(const std::string& path) {
  const std::string fresh = WriteNewRecordFile(path);
  // Windows refuses to move a file over a read-only one, and the old record
  // may have been made read-only; it is cleared for the move and, should the
  // move fail, set again.
  const DWORD old = sys::GetFileAttributes(path.c_str());
  const bool unprotect = old != INVALID_FILE_ATTRIBUTES && !(old & FILE_ATTRIBUTE_DIRECTORY) &&
                         (old & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
  if (unprotect) sys::SetFileAttributes(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!MoveOver(fresh, path)) {
    const CFileException error(::GetLastError(), path);
    if (unprotect) sys::SetFileAttributes(path.c_str(), old);
    sys::DeleteFile(fresh.c_str());
    throw error;
  }
  sys::SetFileAttributes(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
}

// Writes the whole record into a new file beside path and returns its name;
// on failure no such file is left and the file exception is raised.
std::string CSetupThread::WriteNewRecordFile(const std::string& path) const {
  CStdioFile file;
  std::string fresh;
  try {
    for (unsigned n = 0;; ++n) {
      // "Uninstall.~0" and on: no longer than the record's own name.
      fresh = path.substr(0, path.size() - 4) + FormatText(".~%u", n);
      CFileException error(NO_ERROR, fresh);
      if (CreateRecordFile(file, fresh, path, error)) break;
      // Left by an earlier run that was cut off: another name.
      if (error.m_lOsError != ERROR_FILE_EXISTS || n >= 100) {
        fresh.clear();
        throw error;
      }
    }
    WriteInPieces(file, record_);
    file.Flush();
    file.Close();
  } catch (const CFileException&) {
    file.Close();
    if (!fresh.empty()) sys::DeleteFile(fresh.c_str());
    throw;
  }
  return fresh;
}
