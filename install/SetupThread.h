#pragma once
// The install worker: copies the five distribution folders and the top-level
// files, registers the controls, writes the registry, makes the shortcuts and
// writes the install record, reporting to its main window (the copy page).
#include <atomic>
#include <string>
#include <vector>

#include "framework/WinThread.h"
#include "install/SetupMessages.h"

class CSetupThread : public CWinThread {
 public:
  CSetupThread() = default;

  // Called on the page's thread.
  void RequestCancel() { cancel_ = true; }
  bool IsCancelled() const { return cancel_; }

  BOOL InitInstance() override { return TRUE; }
  int Run() override;
  int ExitInstance() override { return CWinThread::ExitInstance(); }

  // Both end with a backslash when the worker runs; set before it starts.
  std::string m_sourceFolder;
  std::string m_installFolder;

  // The stages (public so that tests can run them one by one).
  bool CopyFolder(const std::string& source, const std::string& target);
  void CopyTopFiles();
  void RegisterControls();
  void WriteRegistry();
  bool CreateShortcuts();
  bool WriteRecord();

  // (the implementation adds the recorders, EnsureFolder, FindFiles, JoinPath ...)
  const std::string& RecordText() const { return record_; }

 private:
  std::atomic<bool> cancel_{false};
  std::string record_;
};
