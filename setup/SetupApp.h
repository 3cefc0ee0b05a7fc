#pragma once
// Setup's application object: runs the background dialog, which runs the
// whole wizard; the program ends when that dialog has closed.
#include "framework/App.h"

class CSetupApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};
