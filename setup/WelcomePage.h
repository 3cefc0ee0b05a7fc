#pragma once
// Wizard position 0: the welcome page (dialog 129). Next or Cancel.
#include "controls/ColorLabel.h"
#include "controls/ShadeButton.h"
#include "framework/Dialog.h"

class CWelcomePage : public CDialog {
 public:
  explicit CWelcomePage(CWnd* parent);

  BOOL OnInitDialog() override;
  bool OnCommand(int id, int code) override;

 protected:
  void DoDataExchange() override;

 private:
  CShadeButton cancel_;
  CShadeButton next_;
  CColorLabel instruction_;
  CColorLabel title_;
};
