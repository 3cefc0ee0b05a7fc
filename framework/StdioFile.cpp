#include "framework/StdioFile.h"

#include "framework/App.h"
#include "framework/Sys.h"
#include "framework/SystemError.h"

CFileException::CFileException(DWORD osError, const std::string& fileName)
    : m_cause(CauseFromOsError(osError)), m_lOsError(osError), m_strFileName(fileName) {}

CFileException::Cause CFileException::CauseFromOsError(DWORD e) {
  switch (e) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_CANNOT_MAKE: return directoryFull;
    case ERROR_SEEK: return badSeek;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
  }
}

std::string CFileException::ErrorText() const {
  std::string reason = SystemErrorText(m_lOsError);
  if (reason.empty()) reason = FormatText("错误代码 %lu", static_cast<unsigned long>(m_lOsError));
  return FormatText("访问文件 %s 时出错:\n%s", m_strFileName.c_str(), reason.c_str());
}

int CFileException::ReportError(HWND owner, UINT type) const {
  return sys::MessageBox(owner, ErrorText().c_str(), AfxGetAppName(), type);
}

CStdioFile::CStdioFile(const std::string& path, UINT flags) {
  CFileException error(NO_ERROR, path);
  if (!Open(path, flags, &error)) throw error;
}

bool CStdioFile::Open(const std::string& path, UINT flags, CFileException* error) {
  Close();
  path_ = path;
  text_ = (flags & typeBinary) == 0;
  DWORD access = GENERIC_READ;
  if ((flags & 3) == modeWrite) access = GENERIC_WRITE;
  if ((flags & 3) == modeReadWrite) access = GENERIC_READ | GENERIC_WRITE;
  const DWORD share = (flags & shareDenyNone) ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
  const DWORD disposition = (flags & modeCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
  HANDLE h = sys::CreateFile(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (error) *error = CFileException(::GetLastError(), path);
    return false;
  }
  file_.reset(h);
  return true;
}

bool CStdioFile::OpenNew(const std::string& path, SECURITY_ATTRIBUTES* security, CFileException* error) {
  Close();
  path_ = path;
  text_ = true;
  HANDLE h = sys::CreateFile(path.c_str(), GENERIC_WRITE, 0, security, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (error) *error = CFileException(::GetLastError(), path);
    return false;
  }
  file_.reset(h);
  return true;
}

void CStdioFile::Flush() {
  if (!file_) ::SetLastError(ERROR_INVALID_HANDLE);
  if (!file_ || !::FlushFileBuffers(file_.get())) Throw();
}

void CStdioFile::Close() { file_.reset(); }

void CStdioFile::Throw() const { throw CFileException(::GetLastError(), path_); }

void CStdioFile::WriteRaw(const char* data, size_t size) {
  while (size > 0) {
    const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!::WriteFile(file_.get(), data, chunk, &written, nullptr)) Throw();
    if (written != chunk) {
      ::SetLastError(ERROR_DISK_FULL);
      Throw();
    }
    data += written;
    size -= written;
  }
}

void CStdioFile::WriteString(const std::string& text) {
  if (!file_) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    Throw();
  }
  if (!text_) return WriteRaw(text.data(), text.size());
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  WriteRaw(out.data(), out.size());
}

UINT CStdioFile::ReadRaw(char* buffer, UINT count) {
  DWORD got = 0;
  if (!::ReadFile(file_.get(), buffer, count, &got, nullptr)) Throw();
  return got;
}

UINT CStdioFile::Read(void* buffer, UINT count) {
  if (!file_) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    Throw();
  }
  char* out = static_cast<char*>(buffer);
  const UINT got = ReadRaw(out, count);
  if (!text_ || got == 0) return got;
  UINT n = 0;
  for (UINT i = 0; i < got; ++i) {
    if (out[i] == '\r' && i + 1 < got && out[i + 1] == '\n') continue;
    out[n++] = out[i];
  }
  // A CR that ends this read pairs with an LF that starts the next bytes.
  if (out[got - 1] == '\r') {
    char next = 0;
    if (ReadRaw(&next, 1) == 1) {
      if (next == '\n') out[n - 1] = '\n';
      else ::SetFilePointer(file_.get(), -1, nullptr, FILE_CURRENT);
    }
  }
  return n;
}

ULONGLONG CStdioFile::GetLength() const {
  LARGE_INTEGER size{};
  if (!file_ || !::GetFileSizeEx(file_.get(), &size)) Throw();
  return static_cast<ULONGLONG>(size.QuadPart);
}
