#pragma once
// The replay worker: takes the install record Uninstall.log apart and undoes
// what it lists (controls, files, folders, registry keys), removes the
// product's AutoCAD profiles and starts the self-removal batch, reporting to
// its main window (the uninstaller's dialog) with the messages of
// UninstallMessages.h.
#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "framework/InUse.h"

#include "framework/ActionLog.h"
#include "framework/WinThread.h"
#include "uninstall/UninstallMessages.h"

class CUninstallThread : public CWinThread {
 public:
  // A record larger than this is not taken for an install record: a real one
  // lists a few thousand paths.
  static constexpr unsigned long long kMaxRecordBytes = 64ull * 1024 * 1024;

  CUninstallThread() = default;

  // The log of /LOG=, owned by the application; null for none. Set before
  // LoadRecord.
  const CActionLog* m_log = nullptr;
  // Set before LoadRecord for a run without windows (/S): no main window,
  // no message box; what would have been shown goes to the log.
  bool m_silent = false;

  // One line of the log (code page 936); nothing without a log.
  void Log(const std::string& line) const;

  // The replay's outcome as the program's exit code; read once the thread
  // has ended. 2: the replay did not run to its end (stopped, or never
  // started); 3: a recorded file could not be deleted (the uninstaller's own
  // program file aside) or a control could not be unregistered; 3010: a
  // restart completes the removal; 0: removed.
  int ExitCode() const;

  // On the dialog's thread, before the worker starts. Reads the whole file in
  // text mode. When it cannot be read whole (file error, too large, not text)
  // the user is told why, WM_UNINSTALL_FAILED is posted to the main window,
  // and the result is false.
  bool LoadRecord(const std::string& path);

  // Entry lookup in the record text; kinds are those of install/InstallRecord.h.
  bool NextEntry(int kind, std::size_t& position, std::size_t& start, std::size_t& length) const;
  int CountEntries(int kind) const;
  const std::string& RecordText() const { return record_; }

  // Raised by the dialog's thread: each stage ends at its next entry, and a
  // stopped replay leaves the profiles and the uninstaller in place.
  void RequestStop() { stop_ = true; }
  bool IsStopRequested() const { return stop_; }

  // The replay; returns FALSE, so the thread ends when it is done.
  BOOL InitInstance() override;

  // The stages, in the order the replay runs them; each returns true when
  // the stop flag is still down at its end.
  bool UnregisterControls();
  bool DeleteFiles();
  bool RemoveFolders();
  bool DeleteRegistryKeys();
  // Deletes the "<<Gravo V6>>" profiles of the AutoCAD releases.
  void RemoveAcadProfiles();
  // Writes and starts the self-removal batch for the running program file.
  virtual void WriteSelfRemovalBatch();

  // True only when the control's DllUnregisterServer was found and returned 0.
  static bool UnregisterControl(const std::string& path);

  // Recorded files that a running program held, which the system deletes at
  // the next restart (with the recorded folders they leave empty), and the
  // programs it names as holding them. Read once the worker has ended.
  bool RestartNeeded() const { return !restart_.files.empty(); }
  const RestartList& FilesPutOff() const { return restart_; }

 private:
  // The recorded folders that hold files left to the restart, innermost
  // first, and the record's own folder last, are removed at the restart
  // after those files, when they are empty by then.
  void RemoveFoldersAtRestart(const std::vector<std::string>& folders);
  void Replay();
  bool Fail();
  void LogFailure(const std::string& line);
  // A recorded file deleted (a read-only one too), left to the restart when
  // a running program holds it, or logged as left behind.
  void DeleteRecordedFile(const std::string& path);
  HWND MainWindow() const;
  LRESULT Send(UINT msg, LPARAM lp = 0) const;
  std::string Value(std::size_t start, std::size_t length) const { return record_.substr(start, length); }

  std::atomic<bool> stop_{false};
  // Written by the worker only; read by its owner after the thread ended.
  bool completed_ = false;
  int failures_ = 0;
  std::string record_;
  // The folder of the record file, without its trailing backslash.
  std::string recordFolder_;
  RestartList restart_;
};
