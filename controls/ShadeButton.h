#pragma once
// A push button (or check box / radio button) drawn from precomputed shaded
// surfaces: lighter while hovered, sunken and shifted while pressed, embossed
// while disabled, with a dotted focus frame and a double default frame.
#include "controls/DibSurface.h"
#include "framework/Wnd.h"

class CShadeButton : public CButton {
 public:
  enum Effect : unsigned {
    ShadeNoise = 0, ShadeDiagonal = 1, ShadeDown = 2, ShadeAcross = 3, BumpRows = 4,
    BumpColumns = 5, BumpSoft = 6, BumpHard = 7, BrushedStreaks = 8,
  };

  CShadeButton();
  ~CShadeButton() override;

  // Builds the face images for the window's present size; call after the
  // button is bound to its window, and again to rebuild.
  void SetShade(unsigned effect, unsigned granularity, unsigned highlight, unsigned colouring, COLORREF colour);

  void PreSubclassWindow() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;

  // Filled in by the implementation (mode, images, hover and held state ...).
};
