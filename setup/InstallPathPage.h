#pragma once
// Wizard position 2: the installation folder (dialog 135). Next accepts any
// text that holds a backslash; "..." opens the shell's folder browser.
#include <string>

#include "controls/ColorLabel.h"
#include "controls/ShadeButton.h"
#include "framework/Dialog.h"

class CInstallPathPage : public CDialog {
 public:
  explicit CInstallPathPage(CWnd* parent);

  BOOL OnInitDialog() override;
  bool OnCommand(int id, int code) override;

  // Handed in and taken back by the wizard loop; only Next stores the edit's
  // text here, exactly as typed.
  std::string m_installFolder;

 protected:
  void DoDataExchange() override;

 private:
  void OnBrowse();
  void OnNext();

  CShadeButton cancel_;
  CColorLabel title_;
  CEdit pathEdit_;
  CShadeButton next_;
  CButton browse_;
  CShadeButton back_;
};
