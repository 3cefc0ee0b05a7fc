#include "setup/SetupApp.h"

CSetupApp theApp;

BOOL CSetupApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  return FALSE;
}
