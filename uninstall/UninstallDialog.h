#pragma once
// The uninstaller's one dialog (template 102): finds and loads the install
// record, runs the replay worker, shows the current file and the progress,
// and offers the finish button once the replay is done.
#include <string>

#include "controls/ColorLabel.h"
#include "controls/PercentProgressCtrl.h"
#include "controls/ShadeButton.h"
#include "controls/StatusText.h"
#include "framework/Dialog.h"
#include "uninstall/UninstallThread.h"

class CUninstallDialog : public CDialog {
 public:
  enum { IDD = 102 };
  enum ControlId : int {
    IDC_PROGRESS = 1000, IDC_CURRENT_FILE = 1001, IDC_THANKS = 1002, IDC_FINISH_TEXT = 1003, IDC_FILE_GROUP = 1004,
  };

  explicit CUninstallDialog(CWnd* parent = nullptr);

  // The installation folder from the product key's "installPath", with a
  // trailing backslash; false when the key or the value is missing or empty.
  static bool ReadInstallPath(std::string& path);
  // The running program's folder, up to and including the last backslash.
  static std::string ProgramFolder();
  // The install record's path: in the folder of "installPath", else in the
  // program's own folder.
  static std::string RecordPath();

  // Set before the dialog runs: the log of /LOG=, null for none.
  const CActionLog* m_log = nullptr;
  // After the run: the program's exit code; 2 unless the replay finished.
  int ExitCode() const { return finished_ ? m_worker.ExitCode() : 2; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  void OnDestroy() override;
  void DoDataExchange() override;

 private:
  void SetUpControls();
  bool StartReplay();
  void OnUninstallFile(const char* path);
  void OnUninstallFilesDone();
  void OnUninstallDone();
  void OnUninstallFailed();
  // Tells the user, once the worker has ended, that a restart completes the
  // removal when files in use were left to it.
  void TellRestartNeeded();
  bool OnPaint();
  // Raises the worker's stop flag and waits for its thread, serving the
  // messages it sends meanwhile; returns at once when none runs.
  void StopWorker();

  CStatic m_finishText;
  CButton m_fileGroup;
  CColorLabel m_thanks;
  CShadeButton m_finish;
  CShadeButton m_cancel;
  // Set at most every 30 ms, always ending on the latest path.
  CStatusText m_currentFile;
  CPercentProgressCtrl m_progress;
  HICON m_hIcon;
  bool finished_ = false;
  // Last, so that it is destroyed (and its thread waited for) first.
  CJoinedThread<CUninstallThread> m_worker;
};
