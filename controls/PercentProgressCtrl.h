#pragma once
// A progress bar painted off-screen with a centred percentage (or caption)
// drawn in two colours across the split; repaints only when the filled width
// in pixels changes.
#include <string>

#include "framework/Wnd.h"

class CPercentProgressCtrl : public CProgressCtrl {
 public:
  CPercentProgressCtrl();
  void SetShowText(BOOL show);
  void SetRange(int lower, int upper);
  // Returns the previous position, or -1 without a window.
  int SetPos(int pos);
  int StepIt();
  void SetStep(int step);
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
};
