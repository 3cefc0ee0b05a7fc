#pragma once
// A static text painted word-wrapped, optionally over a grey drop shadow
// RGB(208, 208, 208) offset by (3, 3).
#include "framework/Wnd.h"

class CColorLabel : public CStatic {
 public:
  CColorLabel();
  // Returns the previous flag; does not repaint.
  BOOL SetShadow(BOOL shadow);
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};
