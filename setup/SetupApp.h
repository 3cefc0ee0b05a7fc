#pragma once
// Setup's application object: reads the command line, then runs the
// background dialog, which runs the whole wizard, or with /S the install
// without any window; the program ends with the exit code of the run.
#include <string>

#include "framework/ActionLog.h"
#include "framework/App.h"

class CSetupApp : public CWinApp {
 public:
  BOOL InitInstance() override;

 private:
  // The whole run after the command line was read; returns the exit code.
  int RunFromCommandLine();
  // Into folder (a full path, or empty for the default folder).
  int RunSilent(const std::string& folder);
  int RunWizard(const std::string& folder);

  CActionLog log_;
};
