#pragma once
// The copy page as the benchmarks run it: Setup's own template (dialog 136)
// with the same controls, the same look and the same handling of
// WM_SETUP_FILE as CCopyPage (the status line through CStatusText, the bar
// stepped per entry), but hosting whatever worker the benchmark starts, so
// that the engine's folder and top-level stages can be timed on their own.
// It ends when the worker posts WM_SETUP_DONE or WM_SETUP_FAILED.
#include <functional>
#include <string>

#include "controls/ColorLabel.h"
#include "controls/PercentProgressCtrl.h"
#include "controls/ShadeButton.h"
#include "controls/StatusText.h"
#include "framework/Dialog.h"
#include "framework/WinThread.h"

namespace bench {

// A bar that counts its paints.
class CountingProgress : public CPercentProgressCtrl {
 public:
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
  int paints = 0;
};

class BenchCopyPage : public CDialog {
 public:
  // What the page does per WM_SETUP_FILE, as flags: Full is what the copy
  // page does; None tells the engine's own cost from the display's; the
  // text for every entry is how the status line was set before CStatusText.
  enum Display : unsigned { None = 0, Text = 1, Bar = 2, TextEveryEntry = 4, Full = Text | Bar };

  // start gets the page and starts the worker (it must end with
  // WM_SETUP_DONE); total sizes the bar as the copy page's pre-count does.
  BenchCopyPage(int total, unsigned display, std::function<void(CWnd&)> start, CWinThread& worker);

  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

  int BarPaints() const { return progress_.paints; }
  int BarWidth() const;
  int TextChanges() const { return status_.ShownCount() + directTexts_; }
  int Entries() const { return entries_; }

 protected:
  void DoDataExchange() override;

 private:
  void OnSetupFile(const char* target);

  int total_;
  unsigned display_;
  std::function<void(CWnd&)> start_;
  CWinThread& worker_;
  CShadeButton next_, back_, cancel_;
  CColorLabel heading_;
  CountingProgress progress_;
  CStatusText status_;
  int entries_ = 0;
  int directTexts_ = 0;
};

}  // namespace bench
