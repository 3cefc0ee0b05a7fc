#pragma once
// Wizard position 1: the licence agreement (dialog 134). Next is enabled only
// while "同意" is chosen; the choice is the page's agreed flag, handed in and
// taken back by the wizard loop.
#include "controls/ColorLabel.h"
#include "controls/ShadeButton.h"
#include "framework/Dialog.h"

class CAgreementPage : public CDialog {
 public:
  explicit CAgreementPage(CWnd* parent);

  BOOL OnInitDialog() override;
  bool OnCommand(int id, int code) override;

  int m_agreed = 0;  // 1 when the user agrees, else 0

 protected:
  void DoDataExchange() override;

 private:
  void OnAgreeClicked();
  void OnDisagreeClicked();
  // Checks the radio buttons and enables Next as the choice says.
  void ShowChoice(bool agreed);

  CColorLabel title_;
  CShadeButton cancel_;
  CEdit agreementText_;
  CShadeButton next_;
  CShadeButton back_;
  CButton disagree_;
  CButton agree_;
};
