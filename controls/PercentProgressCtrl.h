#pragma once
// A progress bar painted off-screen with a centred percentage (or caption)
// drawn in two colours across the split; repaints only when the filled width
// in pixels changes. It keeps its own position, range and step: the
// standard control underneath is only its window.
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

  // Read access for the owning dialog and for tests.
  int GetPos() const { return position_; }
  // The filled width stored at the last position change (−1: repaint due).
  int GetBarWidth() const { return barWidth_; }
  // The text a paint shows now: the caption, else the percentage.
  std::string GetDisplayText() const;
  const std::string& GetCaption() const { return caption_; }

 private:
  void OnPaint();
  void PaintBar(HDC dc);
  LRESULT OnSetText(LPARAM lp);
  LRESULT OnGetText(WPARAM size, LPARAM buffer) const;
  bool HasRange() const { return lower_ < upper_; }
  // (position − lower) / (upper − lower); 0 for an empty range.
  double Fraction() const;
  int ComputeBarWidth() const;

  int position_ = 0;
  int step_ = 1;
  int upper_ = 100;
  int lower_ = 0;
  std::string caption_;
  BOOL showText_ = TRUE;
  int barWidth_ = -1;
  COLORREF barColour_;
  COLORREF backgroundColour_;
  COLORREF textOverBackground_;
  COLORREF textOverBar_;
};
