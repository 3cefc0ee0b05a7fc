#pragma once
// The install worker: copies the five distribution folders and the top-level
// files, registers the controls, writes the registry, makes the shortcuts and
// writes the install record, reporting to its main window (the copy page).
//
// The owner sets m_sourceFolder, m_installFolder, m_perUserProgram,
// m_pMainWnd and m_bAutoDelete = FALSE, starts the thread and waits for it (WaitForEnd)
// before the object dies. After the start the only shared datum is the
// cancel flag.
//
// The stages live in several files: SetupThread.cpp (the run, the messages
// and the prompts), CopyStages.cpp (folder and top-level copy, EnsureFolder,
// FindFiles, JoinPath), RecordStage.cpp (the recorders and WriteRecord),
// ControlStage.cpp (control registration), RegistryStage.cpp (the product's
// registry values and AutoCAD profiles), ProgramsEntry.cpp (the Add/Remove
// Programs entry's details), PerUserStage.cpp (the per-user program and its
// component for every user), ShortcutStage.cpp (the shortcuts).
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "framework/ActionLog.h"
#include "framework/FileFind.h"
#include "framework/ProcessAccount.h"
#include "framework/WinThread.h"
#include "framework/InUse.h"
#include "install/SetupMessages.h"

class CSetupThread : public CWinThread {
 public:
  CSetupThread() = default;

  // The runtime class name of the worker.
  static constexpr const char* kClassName = "CSetupThread";

  // The folder list of the folder stage, in copy order; the copy page's
  // pre-count uses the same list.
  static const std::vector<std::string>& Folders();

  // Called on the page's thread.
  void RequestCancel() { cancel_ = true; }
  // Called on the worker.
  bool IsCancelled() const { return cancel_; }

  BOOL InitInstance() override { return TRUE; }
  // The stage sequence; then the base message loop, which takes the WM_QUIT
  // posted to itself and returns ExitInstance's result.
  int Run() override;
  int ExitInstance() override { return CWinThread::ExitInstance(); }

  // Both end with a backslash when the worker runs; set before it starts.
  std::string m_sourceFolder;
  std::string m_installFolder;
  // The program left in the install folder as the per-user program (Setup's
  // own file, ModuleFileName(nullptr)); set by the owner before the start.
  // Empty: no per-user program and no component for the other users.
  std::string m_perUserProgram;
  // Run as the local SYSTEM account (a deployment tool): shortcuts go to the
  // all-users folders, and this account gets no AutoCAD profile, since no
  // user ever signs in as it; every user gets his at his next sign-in.
  // Taken from the process's token; tests set it.
  bool m_asSystem = RunsAsLocalSystem();
  // The log of /LOG=, owned by the application; null for none. Set before
  // the worker starts.
  const CActionLog* m_log = nullptr;
  // Set before the worker starts, for a run without windows (/S): no page
  // to report to, and every prompt takes its documented answer (a missing
  // source folder: Ignore; a folder that cannot be made: Cancel; a notice:
  // OK) without showing anything.
  bool m_silent = false;

  // One line of the log (code page 936); nothing without a log.
  void Log(const std::string& line) const;

  // The run's outcome as the program's exit code; read once the thread has
  // ended. 2: the folder stage gave up (nothing installed, no record);
  // 3: installed, but some entry failed (each named in the log); 3010: a
  // restart completes the installation; 0: installed completely.
  int ExitCode() const;

  // The stages, in the order Run calls them after the folder stage (public
  // so that tests can run them one by one).
  bool CopyFolder(const std::string& source, const std::string& target);
  void CopyTopFiles();
  void RegisterControls();
  // The per-user program and its Active Setup component (PerUserStage.cpp).
  void RegisterPerUserStep();
  void WriteRegistry();
  // False when no shortcut was made: no pair of shell folders was found, or
  // the user cancelled the group folder's prompt (the run still goes on).
  bool CreateShortcuts();
  bool WriteRecord();

  // The control stage's step: true only when the file was loaded, exports
  // "DllRegisterServer", and that returned 0.
  bool RegisterControl(const std::string& path, std::string* why = nullptr);
  // A REG_SZ value under HKEY_LOCAL_MACHINE, logged with its result.
  bool WriteMachineValue(const std::string& key, const std::string& value, const std::string& data);
  // One shell link saved at linkPath; arguments and iconPath may be null
  // (the link then has none). True when the link file was saved.
  bool CreateShortcut(const std::string& workingFolder, const std::string& linkPath, const std::string& target,
                      const char* arguments, const char* iconPath);

  // Shared by the stages.
  bool EnsureFolder(const std::string& path);
  // Plain files of folder matching pattern, names only, in enumeration order.
  // A file whose name code page 936 cannot hold is left out of names and
  // put into skipped (full path, '?' where such a character stands).
  void FindFiles(const std::string& folder, const std::string& pattern, std::vector<std::string>& names,
                 std::vector<std::string>* skipped = nullptr);
  static std::string JoinPath(const std::string& folder, const std::string& name);

  // The recorders: each appends one entry to the record text.
  void RecordFile(const std::string& path);
  void RecordFolder(const std::string& path);
  void RecordControl(const std::string& path);
  void RecordKey(HKEY root, const std::string& subKey);

  const std::string& RecordText() const { return record_; }

  // Files in use that the system replaces at the next restart (read once
  // the worker has ended): the product files that a running program held,
  // and the programs the system names as holding them (none where it cannot
  // tell).
  bool RestartNeeded() const { return !restart_.files.empty(); }
  const RestartList& FilesPutOff() const { return restart_; }

 private:
  // The folder stage: false when a CopyFolder gave up.
  bool CopyFolders();
  // Asks the system which programs hold the files left for the restart.
  void NameProgramsHoldingFiles();
  // Runs one later stage; an exception inside it never stops the run.
  template <typename Stage>
  void RunLaterStage(Stage stage);

  // The page's window, taken once when the run starts: the page's object
  // drops its handle when its window is destroyed, and the worker must not
  // read the object's members while the page's thread changes them.
  // Stages run outside Run (tests) take the main window's current handle.
  HWND Owner() const;
  // A message box owned by the page, with the application's name as caption.
  // Returns 0 without showing anything when the page's window is gone, so
  // that no prompt outlives the page and keeps its owner waiting.
  int Prompt(const std::string& text, UINT type) const;
  void SendToPage(UINT msg, const std::string* source = nullptr, const std::string* target = nullptr) const;
  void PostToPage(UINT msg) const;

  // A target file that a running program holds: the new file goes beside it
  // and is moved over it at the next restart. Records the target and the
  // waiting copy; false (nothing recorded) when the system refused that too.
  bool ReplaceAtRestart(const std::string& source, const std::string& target, DWORD attributes);
  // The record's write: a new file beside the old record, moved over it.
  void ReplaceRecordFile(const std::string& path);
  std::string WriteNewRecordFile(const std::string& path) const;

  // CopyFolder's pieces.
  bool FindSourceEntries(const std::string& source, CFileFind& finder, bool& found);
  // folderMadeNow: the target's folder did not exist before this run's
  // EnsureFolder, so no older file can lie at the target.
  // size: the source's, as its enumeration gave it, counted when copied.
  void CopyFolderFile(const std::string& source, const std::string& target, bool folderMadeNow, ULONGLONG size);
  // The shortcut stage's pieces. FindShellFolders: the desktop and Programs
  // folders of the first "Shell Folders" pair found, trimmed and ending with
  // a backslash. MakeShortcut: one row of the shortcut table (an older file
  // at the link path deleted first, the saved link recorded).
  // As SYSTEM only the all-users pairs are looked at.
  bool FindShellFolders(std::string& desktop, std::string& programs) const;
  bool MakeShortcut(const std::string& linkPath, const std::string& target, const char* arguments = nullptr,
                    const char* iconPath = nullptr);
  void MakeLaunchShortcuts();

  // EnsureFolder's pieces.
  // NO_ERROR when the folder exists afterwards, else the system's error code.
  DWORD MakeFolder(const std::string& prefix);
  // Gives an existing file or folder that the elevated programs will trust
  // (installpath::TrustOf) the descriptor that lets nobody else change it.
  void ProtectIfTrusted(const std::string& path, bool isFolder) const;
  // The "cannot create" prompt; true when the user chose Retry.
  bool AskRetryFolder(DWORD error, const std::string& prefix);
  // Tells the user that an entry of the medium is not copied because its
  // name has a character code page 936 cannot hold.
  void TellNotCopied(const std::string& path);

  // An entry that failed (each also logged), counted for the exit code.
  void LogFailure(const std::string& line);
  // The answer a prompt of type takes in a run without windows.
  static int SilentAnswer(UINT type);

  // The Add/Remove Programs entry's values beyond its name and command.
  void WriteProgramsEntryDetails(const std::string& key);
  // WriteMachineValue's REG_DWORD twin (ProgramsEntry.cpp).
  bool WriteMachineNumber(const std::string& key, const std::string& value, DWORD data);
  // The per-user stage's pieces (PerUserStage.cpp).
  bool LeavePerUserProgram(const std::string& target);
  void WritePerUserComponent(const std::string& program);
  // Bytes of the files the run has put into the install folder.
  void CountCopied(ULONGLONG bytes) { copiedBytes_ += bytes; }

  std::atomic<bool> cancel_{false};
  // Written by the worker only; read by its owner after the thread ended.
  bool completed_ = false;
  int failures_ = 0;
  std::string record_;
  ULONGLONG copiedBytes_ = 0;
  RestartList restart_;
  HWND owner_ = nullptr;
  bool ownerTaken_ = false;
};
