#pragma once
#include "framework/App.h"

class CUninstallApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};
