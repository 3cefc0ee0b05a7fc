#pragma once
// The uninstaller's application object: reads the command line, asks once,
// then runs the dialog; with /S it replays the record without any window.
// The program ends with the exit code of the run.
#include "framework/ActionLog.h"
#include "framework/App.h"

class CUninstallApp : public CWinApp {
 public:
  // Always FALSE: the program ends when the dialog has closed (or at No),
  // without running the application's message loop.
  BOOL InitInstance() override;

 private:
  int RunFromCommandLine();
  int RunWithDialog();
  int RunSilent();

  CActionLog log_;
};
