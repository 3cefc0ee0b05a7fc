#pragma once
// Setup's application object: reads the command line, then runs the
// background dialog, which runs the whole wizard, or with /S the install
// without any window; the program ends with the exit code of the run.
#include "framework/ActionLog.h"
#include "framework/App.h"

class CSetupApp : public CWinApp {
 public:
  BOOL InitInstance() override;

 private:
  // The whole run after the command line was read; returns the exit code.
  int RunFromCommandLine();

  CActionLog log_;
};
