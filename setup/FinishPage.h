#pragma once
// Wizard position 4: the finish page (dialog 137), with the offer to open the
// product's readme file. No Back and no Cancel button.
#include <string>

#include "controls/ColorLabel.h"
#include "controls/ShadeButton.h"
#include "framework/Dialog.h"
#include "framework/InUse.h"

class CFinishPage : public CDialog {
 public:
  explicit CFinishPage(CWnd* parent);

  BOOL OnInitDialog() override;
  bool OnCommand(int id, int code) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  std::string m_installFolder;  // handed in by the wizard loop
  // Handed in by the wizard loop: files the system replaces at the next
  // restart. When there are any, the page tells the user once it is shown.
  RestartList m_restart;

 protected:
  void DoDataExchange() override;

 private:
  // Opens install folder + "readme.txt" through the shell when the check box
  // is checked and the file exists.
  void OpenReadme();
  void TellRestartNeeded();

  CColorLabel title_;
  CButton readme_;
  CShadeButton finish_;
};
