#include "uninstall/UninstallApp.h"

#include <memory>

#include "framework/Sys.h"
#include "uninstall/UninstallDialog.h"

namespace {
const char kQuestion[] = "真要卸载 Gravo V6.0吗?";
const char kQuestionCaption[] = "卸载软件";
}  // namespace

CUninstallApp theApp;

BOOL CUninstallApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();
  if (sys::MessageBox(nullptr, kQuestion, kQuestionCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return FALSE;
  auto dialog = std::make_unique<CUninstallDialog>();
  m_pMainWnd = dialog.get();
  dialog->DoModal();
  m_pMainWnd = nullptr;
  return FALSE;
}
