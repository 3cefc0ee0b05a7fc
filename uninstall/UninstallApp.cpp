#include "uninstall/UninstallApp.h"

CUninstallApp theApp;

BOOL CUninstallApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  return FALSE;
}
