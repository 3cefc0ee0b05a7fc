#pragma once
// A real dialog holding each skinned control, run modally on the test's main
// thread while a driver thread works it from outside like a user: mouse and
// keyboard input, screen pixels, screenshots. Work that must run on the
// dialog's own thread goes through RunOnUi.
#include <functional>
#include <string>

#include "controls/ColorLabel.h"
#include "controls/PercentProgressCtrl.h"
#include "controls/ShadeButton.h"
#include "framework/Dialog.h"
#include "tests/ui/UiTest.h"

namespace ctltest {

enum ControlId : int {
  kOk = 1001, kCancel = IDCANCEL, kDisabled = 1003, kFlat = 1013, kCheck = 1004, kPushCheck = 1005,
  kRadioA = 1006, kRadioB = 1007, kRadioC = 1008, kShadowLabel = 1010, kPlainLabel = 1011, kProgress = 1012,
};

// Pixel sizes the dialog gives its controls at start-up.
constexpr int kButtonWidth = 75, kButtonHeight = 23;
constexpr int kBarWidth = 219, kBarHeight = 20;

// A progress bar that counts its paints.
class CountingProgress : public CPercentProgressCtrl {
 public:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg == WM_PAINT) ++paints;
    return CPercentProgressCtrl::WindowProc(msg, wp, lp);
  }
  int paints = 0;
};

class ControlsDialog : public CDialog {
 public:
  ControlsDialog() : CDialog(200) {}
  BOOL OnInitDialog() override;
  bool OnCommand(int id, int code) override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  CShadeButton ok, cancel, disabled, flat, check, pushCheck, radioA, radioB, radioC;
  CColorLabel shadowLabel, plainLabel;
  CountingProgress progress;
  int clicks[2000] = {};  // BN_CLICKED per control ID

 protected:
  void DoDataExchange() override;

 private:
  void Layout();
};

// Runs the dialog; script runs on a driver thread with the dialog's window,
// then the dialog is closed. Returns false when the dialog did not appear.
// Meanwhile the only mouse input is the test's own (SendInput, SetCursorPos):
// see OnlyInjectedMouseInput in ControlsDialog.cpp.
bool RunWithDialog(ControlsDialog& dialog, const std::function<void(HWND)>& script);
// Runs fn on the dialog's thread and waits for it.
void RunOnUi(HWND dialog, const std::function<void()>& fn);
// Waits until the dialog's thread has handled every message posted to its
// windows so far.
bool WaitForPostedMessages(HWND dialog);

// Input as a user gives it.
void MoveMouseTo(HWND window, int x, int y);  // client coordinates
void MoveMouseAway();
void LeftButton(bool down);
void PressKey(WORD vk);

// The pixel on screen, once it shows want (or the last value seen after a wait).
COLORREF WaitForPixel(HWND window, int x, int y, COLORREF want);
// Waits until the condition holds (false after the usual timeout).
bool WaitFor(const std::function<bool()>& condition);
bool IsPushed(HWND button);
// Brightness as the sum of the three channels.
int Brightness(COLORREF c);
// A face image's colour at a pixel of the image.
COLORREF FaceColour(const CDibSurface& image, int x, int y);
void Screenshot(HWND dialog, const std::string& name);

}  // namespace ctltest
