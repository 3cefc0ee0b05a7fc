#pragma once
// The uninstaller's application object: asks once, then runs the dialog.
#include "framework/App.h"

class CUninstallApp : public CWinApp {
 public:
  // Always FALSE: the program ends when the dialog has closed (or at No),
  // without running the application's message loop.
  BOOL InitInstance() override;
};
