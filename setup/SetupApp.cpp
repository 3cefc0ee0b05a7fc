#include "setup/SetupApp.h"

#include "setup/PerUserStep.h"
#include "setup/SetupDialog.h"

CSetupApp theApp;

// Always FALSE: there is no message loop to run once the dialog has closed.
BOOL CSetupApp::InitInstance() {
  RunPerUserStepIfAsked();  // the per-user program's run ends the process there
  AfxEnableControlContainer();
  Enable3dControls();
  CSetupDialog dialog;
  m_pMainWnd = &dialog;
  dialog.DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}
