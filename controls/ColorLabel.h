#pragma once
// A static text painted word-wrapped, optionally over a grey drop shadow
// RGB(208, 208, 208) offset by (3, 3). It paints no background of its own:
// the dialog's background shows around and under the letters.
#include "framework/Wnd.h"

class CColorLabel : public CStatic {
 public:
  CColorLabel();
  // Returns the previous flag; does not repaint.
  BOOL SetShadow(BOOL shadow);
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  static constexpr COLORREF kShadowColour = RGB(208, 208, 208);

 private:
  void OnPaint();

  BOOL shadow_ = FALSE;
  int shadowOffsetX_ = 3;
  int shadowOffsetY_ = 3;
  COLORREF shadowColour_ = kShadowColour;
  COLORREF textColour_ = RGB(0, 0, 0);
  HFONT font_ = nullptr;  // none: the font the dialog gave the control
};
