#pragma once
// Wizard position 2: the installation folder (dialog 135). Next accepts a
// folder on a drive and hands it on as a full path; "..." opens the shell's
// folder browser.
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
  // text here: made a full path when accepted, exactly as typed when not.
  std::string m_installFolder;

  // The full path of a typed folder on a drive, or empty when it is none.
  static std::string FullFolder(const std::string& typed);

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
