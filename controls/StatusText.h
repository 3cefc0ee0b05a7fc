#pragma once
// A plain static text for a name that changes faster than anyone can read
// it: the copy page's status line and the uninstaller's current-file line,
// which get a new path for every entry, thousands a second.
//
// Each change of a static's text costs a trip to the window manager and an
// immediate repaint, which in a run of small files costs more than copying
// them. ShowText therefore sets the text at once only when the last change
// is at least kIntervalMs old; a text arriving sooner waits, replacing any
// text that was already waiting, and is set by the control's own timer when
// the interval is over. So the line changes at most about 33 times a second,
// always shows a name that was handed to it within the last interval, and
// always ends on the latest one. A text set directly (SetWindowText,
// SetDlgItemText, WM_SETTEXT) is shown at once and drops any waiting one.
#include <string>

#include "framework/Wnd.h"

class CStatusText : public CStatic {
 public:
  static constexpr DWORD kIntervalMs = 30;
  static constexpr UINT_PTR kTimerId = 0x5354;  // "ST"

  // Shows the text now, or within kIntervalMs when the line changed less
  // than that long ago. Without a window the text is dropped.
  void ShowText(const std::string& text);
  // Sets a waiting text at once (a no-op when none waits).
  void Flush();
  bool HasWaitingText() const { return waiting_; }
  // Times the window's text was actually changed through ShowText or Flush.
  int ShownCount() const { return shown_; }

  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

 private:
  void SetNow(std::string text);
  void DropWaiting();

  std::string text_;        // the text waiting to be shown
  bool waiting_ = false;
  bool timerSet_ = false;
  bool settingOwn_ = false;  // the WM_SETTEXT under way is the control's own
  bool everSet_ = false;
  DWORD lastChange_ = 0;    // tick count of the last change of the text
  int shown_ = 0;
};
