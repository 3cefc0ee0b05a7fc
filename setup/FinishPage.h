#pragma once
// Wizard position 4: the finish page (dialog 137), with the offer to open the
// product's readme file. No Back and no Cancel button.
#include <string>

#include "controls/ColorLabel.h"
#include "controls/ShadeButton.h"
#include "framework/Dialog.h"

class CFinishPage : public CDialog {
 public:
  explicit CFinishPage(CWnd* parent);

  BOOL OnInitDialog() override;
  bool OnCommand(int id, int code) override;

  std::string m_installFolder;  // handed in by the wizard loop

 protected:
  void DoDataExchange() override;

 private:
  // Opens install folder + "readme.txt" through the shell when the check box
  // is checked and the file exists.
  void OpenReadme();

  CColorLabel title_;
  CButton readme_;
  CShadeButton finish_;
};
