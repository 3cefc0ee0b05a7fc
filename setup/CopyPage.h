#pragma once
// Wizard position 3: the copy page (dialog 136). Counts the files to install,
// starts the install worker and follows its messages with a progress bar.
// Ends with WIZARD_NEXT when the worker is done, WIZARD_FINISH when it gave
// up or the user confirmed cancelling; never with IDOK, IDCANCEL or Back.
#include <string>

#include "controls/ColorLabel.h"
#include "controls/PercentProgressCtrl.h"
#include "controls/ShadeButton.h"
#include "controls/StatusText.h"
#include "framework/Dialog.h"
#include "install/SetupThread.h"

class CCopyPage : public CDialog {
 public:
  explicit CCopyPage(CWnd* parent);

  // Runs the page; returns only once the worker's thread has ended.
  INT_PTR DoModal() override;
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
  bool OnCommand(int id, int code) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  // Files of the five distribution folders (at any depth) and the files lying
  // directly in the source folder.
  int CountSourceFiles() const;
  // Plain files in folder; with recursive, those of its subfolders too.
  static int CountFiles(const std::string& folder, bool recursive);

  // Set by the wizard before the page runs; the source folder is taken back.
  std::string m_sourceFolder;
  std::string m_installFolder;
  // Taken back by the wizard: what the worker left for the next restart,
  // filled in once the worker has ended.
  RestartList m_restart;
  // The log of /LOG=, handed to the worker; null for none.
  const CActionLog* m_log = nullptr;
  // Once the page has run: the install worker's exit code (2 when it never
  // started).
  int ExitCode() const { return worker_.ExitCode(); }

 protected:
  void DoDataExchange() override;

 private:
  void StartWorker();
  void OnSetupFile(const char* target);
  void OnSetupFinishing();
  void OnSetupDone();
  void OnSetupFailed();

  CShadeButton next_;
  CShadeButton back_;
  CShadeButton cancel_;
  CColorLabel heading_;
  CPercentProgressCtrl progress_;
  // The name of the entry just copied: set at most every 30 ms, always
  // ending on the latest name.
  CStatusText status_;
  CJoinedThread<CSetupThread> worker_;
  // Set once the user confirmed cancelling: the page's end code is settled,
  // and the worker's late reports are no longer acted on.
  bool cancelConfirmed_ = false;
};
