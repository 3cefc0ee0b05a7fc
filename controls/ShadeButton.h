#pragma once
// A push button (or check box / radio button) drawn from precomputed shaded
// surfaces: lighter while hovered, sunken and shifted while pressed, embossed
// while disabled, with a dotted focus frame and a double default frame.
#include <string>

#include "controls/DibSurface.h"
#include "controls/ShadePattern.h"
#include "framework/Wnd.h"

class CShadeButton : public CButton {
 public:
  enum Effect : unsigned {
    ShadeNoise = 0, ShadeDiagonal = 1, ShadeDown = 2, ShadeAcross = 3, BumpRows = 4,
    BumpColumns = 5, BumpSoft = 6, BumpHard = 7, BrushedStreaks = 8,
  };
  enum Mode : unsigned { PushMode = 0, CheckBoxMode = 2, RadioMode = 4 };
  // Posted to the other buttons of a radio group when one becomes checked.
  static constexpr UINT WM_SHADE_UNCHECK = WM_USER + 256;

  CShadeButton();
  ~CShadeButton() override;

  // Builds the face images for the window's present size; call after the
  // button is bound to its window, and again to rebuild.
  void SetShade(unsigned effect, unsigned granularity, unsigned highlight, unsigned colouring, COLORREF colour);

  void PreSubclassWindow() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void DrawItem(LPDRAWITEMSTRUCT dis) override;

  // Read access for the owning dialog and for tests.
  unsigned GetMode() const { return mode_; }
  bool IsChecked() const { return checked_; }
  bool IsHover() const { return hover_; }
  bool IsPushLike() const { return pushLike_; }
  bool HasBorder() const { return border_ != 0; }
  const ShadeImages& Images() const { return images_; }

 private:
  struct Frame;  // the off-screen drawing of one paint

  void OnMouseMove();
  void OnLeftButtonDown();
  void OnLeftButtonUp(LPARAM lp);
  void ToggleByUser();
  void OnSetCheck(bool flag);
  void UncheckGroup();
  bool CursorOverSelf() const;
  bool IsPushed() const;
  // Draw step 1: follows the cursor while held; true when a new paint follows.
  bool TrackPushedWhileHeld();

  void DrawDisabled(Frame& f);
  void DrawPressed(Frame& f);
  void DrawAtRest(Frame& f, bool isDefault);
  void DrawFocus(Frame& f);
  void DrawCaption(Frame& f, const RECT& rect, COLORREF colour);

  bool checked_ = false;
  bool pushLike_ = false;
  unsigned mode_ = PushMode;
  ShadeImages images_;  // base, pressed, disabled, hover and the two focus lines
  bool hover_ = false;
  bool held_ = false;
  short focusInset_ = 4;
  COLORREF textColour_;
  BOOL border_ = TRUE;
  UINT textFormat_ = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
  bool flat_ = false;
};
