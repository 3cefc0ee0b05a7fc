#pragma once
// A file read and written in text mode: LF in memory, CR LF on disk. Failures
// raise CFileException, which carries the path and the system's error code.
#include <windows.h>

#include <string>

#include "framework/Handles.h"

class CFileException {
 public:
  enum Cause { none, genericException, fileNotFound, badPath, tooManyOpenFiles, accessDenied, invalidFile,
               removeCurrentDir, directoryFull, badSeek, hardIO, sharingViolation, lockViolation, diskFull,
               endOfFile };

  CFileException(DWORD osError, const std::string& fileName);

  // The standard error box: the path and the system's text for the error,
  // OK button, owned by the given window.
  int ReportError(HWND owner, UINT type = MB_OK | MB_ICONEXCLAMATION) const;
  std::string ErrorText() const;

  static Cause CauseFromOsError(DWORD osError);

  Cause m_cause;
  DWORD m_lOsError;
  std::string m_strFileName;
};

class CStdioFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareDenyNone = 0x0040,
    modeCreate = 0x1000,
    typeText = 0x4000,
    typeBinary = 0x8000,
  };

  CStdioFile() = default;
  // Opens or raises CFileException.
  CStdioFile(const std::string& path, UINT flags);
  CStdioFile(const CStdioFile&) = delete;
  CStdioFile& operator=(const CStdioFile&) = delete;

  // Opens; on failure fills error (when given) and returns false.
  bool Open(const std::string& path, UINT flags, CFileException* error = nullptr);
  // Makes a new file for writing in text mode, failing when one is there
  // already; security as CreateFile takes it.
  bool OpenNew(const std::string& path, SECURITY_ATTRIBUTES* security, CFileException* error = nullptr);
  void Close();
  bool IsOpen() const { return static_cast<bool>(file_); }

  // Writes the text; in text mode every LF is written as CR LF.
  void WriteString(const std::string& text);
  // Has the system write what it holds of the file to the disk.
  void Flush();
  // Reads up to count characters; in text mode each CR LF reads as LF, so
  // fewer characters than bytes may come back.
  UINT Read(void* buffer, UINT count);
  ULONGLONG GetLength() const;

 private:
  UINT ReadRaw(char* buffer, UINT count);
  void WriteRaw(const char* data, size_t size);
  [[noreturn]] void Throw() const;

  ScopedFile file_;
  std::string path_;
  bool text_ = true;
};
