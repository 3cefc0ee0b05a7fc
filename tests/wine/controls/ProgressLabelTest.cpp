// The percentage bar and the colour label on a real dialog: filled widths and
// texts, repaint counts, the caption through the window text, resizing, empty
// ranges; the label's drop shadow read back from the screen.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "tests/wine/controls/ControlsDialog.h"

using namespace ctltest;

namespace {

// Pixels of the colour in the columns [x0, x1) of a capture.
int CountColour(const ui::Capture& shot, int x0, int x1, COLORREF colour) {
  int n = 0;
  for (int y = 0; y < shot.height; ++y)
    for (int x = x0; x < x1 && x < shot.width; ++x) n += shot.At(x, y) == colour;
  return n;
}

TEST(PercentProgress, RangeZeroToThreeOnA219PixelBar) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    HWND bar = dlg.progress.m_hWnd;
    ASSERT_EQ(dlg.progress.GetClientRect().right, kBarWidth);
    const COLORREF done = ::GetSysColor(COLOR_HIGHLIGHT), todo = ::GetSysColor(COLOR_WINDOW);
    RunOnUi(w, [&] {
      dlg.progress.SetRange(0, 3);
      dlg.progress.SetStep(1);
      EXPECT_EQ(dlg.progress.SetPos(0), 0) << "previous position";
    });
    const int widths[] = {73, 146, 219};
    const char* texts[] = {"33%", "66%", "100%"};
    for (int i = 0; i < 3; ++i) {
      int previous = -2;
      RunOnUi(w, [&] { previous = dlg.progress.StepIt(); });
      EXPECT_EQ(previous, i);
      EXPECT_EQ(dlg.progress.GetBarWidth(), widths[i]) << "step " << i + 1;
      EXPECT_EQ(dlg.progress.GetDisplayText(), texts[i]);
      const int x = widths[i];
      EXPECT_EQ(WaitForPixel(bar, x - 1, 1, done), done) << "last filled column, step " << i + 1;
      if (x < kBarWidth) {
        EXPECT_EQ(ui::ClientPixel(bar, x, 1), todo) << "first empty column, step " << i + 1;
      }
      const ui::Capture shot = ui::CaptureWindow(bar, true);
      if (i == 0) {
        EXPECT_GT(CountColour(shot, x, kBarWidth, done), 0) << "\"33%\" over the empty part in the bar colour";
      } else if (i == 1) {
        EXPECT_GT(CountColour(shot, 0, x, todo), 0) << "\"66%\" over the bar in the background colour";
      }
      Screenshot(w, std::string("progress_") + std::to_string(i + 1));
    }
  }));
}

// Fraction, width and percentage are worked out in double precision, the
// same in every build: the i686 build must not keep them in the x87's wider
// registers, where 29/100 × 100 rounds up to 29 instead of down to 28.
TEST(PercentProgress, ArithmeticIsDoublePrecisionOnTheDialogsThread) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    const struct { int pos; const char* text; } cases[] = {
        {29, "28%"}, {53, "53%"}, {57, "56%"}, {58, "57%"}, {59, "59%"}};
    for (const auto& c : cases) {
      std::string text;
      RunOnUi(w, [&] {
        dlg.progress.SetRange(0, 100);
        dlg.progress.SetPos(c.pos);
        text = dlg.progress.GetDisplayText();
      });
      EXPECT_EQ(text, c.text) << "position " << c.pos << " of 0 to 100";
    }
    int width = 0;
    RunOnUi(w, [&] {
      dlg.progress.SetRange(0, kBarWidth);
      dlg.progress.SetPos(29);
      width = dlg.progress.GetBarWidth();
    });
    EXPECT_EQ(width, 29) << "position 29 of 0 to 219 on a 219-pixel bar";
    // The screen may still show any earlier paint (0 or 63 to 129 pixels
    // filled): only this one fills column 28 and leaves column 29 empty.
    HWND bar = dlg.progress.m_hWnd;
    const COLORREF done = ::GetSysColor(COLOR_HIGHLIGHT), todo = ::GetSysColor(COLOR_WINDOW);
    WaitFor([&] { return ui::ClientPixel(bar, 28, 1) == done && ui::ClientPixel(bar, 29, 1) == todo; });
    EXPECT_EQ(ui::ClientPixel(bar, 28, 1), done) << "the 29th column is filled";
    EXPECT_EQ(ui::ClientPixel(bar, 29, 1), todo) << "the 30th column is empty";
  }));
}

TEST(PercentProgress, ALongRunOfSmallStepsRepaintsAtMostOncePerPixel) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    int paints = 0;
    RunOnUi(w, [&] {
      dlg.progress.SetRange(0, 10000);
      dlg.progress.SetPos(0);
      dlg.progress.UpdateWindow();
      dlg.progress.paints = 0;
      for (int i = 0; i < 10000; ++i) dlg.progress.StepIt();
      paints = dlg.progress.paints;
    });
    EXPECT_LE(paints, kBarWidth) << "10000 steps over 219 pixels";
    EXPECT_EQ(paints, kBarWidth) << "one repaint for each new filled width";
    EXPECT_EQ(dlg.progress.GetPos(), 10000);
    EXPECT_EQ(dlg.progress.GetDisplayText(), "100%");
  }));
}

TEST(PercentProgress, CaptionReplacesThePercentageThroughTheWindowText) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    HWND bar = dlg.progress.m_hWnd;
    RunOnUi(w, [&] { dlg.progress.SetPos(50); });
    EXPECT_EQ(dlg.progress.GetDisplayText(), "50%");
    ::SetWindowTextA(bar, "正在复制文件");
    EXPECT_EQ(dlg.progress.GetCaption(), "正在复制文件");
    EXPECT_EQ(dlg.progress.GetDisplayText(), "正在复制文件") << "the caption replaces the percentage";
    char text[64] = "x";
    EXPECT_EQ(::GetWindowTextA(bar, text, sizeof text), 12);
    EXPECT_STREQ(text, "正在复制文件");
    // A short buffer gets whole characters and its terminating NUL.
    char shortText[8];
    std::memset(shortText, 'x', sizeof shortText);
    EXPECT_EQ(::SendMessageA(bar, WM_GETTEXT, 5, reinterpret_cast<LPARAM>(shortText)), 4);
    EXPECT_STREQ(shortText, "正在");
    std::memset(shortText, 'x', sizeof shortText);
    EXPECT_EQ(::SendMessageA(bar, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(shortText)), 2)
        << "a double-byte character is not split";
    EXPECT_STREQ(shortText, "正");
    EXPECT_EQ(shortText[3], 'x') << "nothing written past the buffer size";
    EXPECT_EQ(::SendMessageA(bar, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(shortText)), 0);
    RunOnUi(w, [&] { dlg.progress.UpdateWindow(); });
    ::Sleep(300);  // only so that the screenshot shows the caption
    Screenshot(w, "progress_caption");
    ::SetWindowTextA(bar, "");
    EXPECT_EQ(dlg.progress.GetDisplayText(), "50%") << "an empty caption brings the percentage back";
  }));
}

TEST(PercentProgress, ResizingForcesTheNextRepaint) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    int same = -1, afterResize = -1;
    RunOnUi(w, [&] {
      dlg.progress.SetPos(40);
      dlg.progress.UpdateWindow();
      dlg.progress.paints = 0;
      dlg.progress.SetPos(40);
      same = dlg.progress.paints;
      const RECT r = dlg.progress.GetWindowRect();
      ::SetWindowPos(dlg.progress.m_hWnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + 4,
                     SWP_NOMOVE | SWP_NOZORDER);
      dlg.progress.UpdateWindow();
      dlg.progress.paints = 0;
      dlg.progress.SetPos(40);
      afterResize = dlg.progress.paints;
    });
    EXPECT_EQ(same, 0) << "the same width does not repaint";
    EXPECT_EQ(afterResize, 1) << "after a resize the same width repaints";
    EXPECT_EQ(dlg.progress.GetBarWidth(), 87) << "40% of 219";
  }));
}

TEST(PercentProgress, EmptyRangeDrawsNothingAndHasNoBar) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    int previous = 0;
    RunOnUi(w, [&] {
      dlg.progress.SetRange(5, 5);
      previous = dlg.progress.SetPos(5);
      dlg.progress.Invalidate();
      dlg.progress.UpdateWindow();
    });
    EXPECT_EQ(previous, 0);
    EXPECT_EQ(dlg.progress.GetBarWidth(), 0) << "lower equal to upper";
    RunOnUi(w, [&] {
      dlg.progress.SetRange(7, 3);
      dlg.progress.SetPos(100);
      dlg.progress.Invalidate();
      dlg.progress.UpdateWindow();
    });
    EXPECT_EQ(dlg.progress.GetBarWidth(), 0) << "lower above upper";
    EXPECT_TRUE(::IsWindow(dlg.progress.m_hWnd));
  }));
}

TEST(PercentProgress, PositionBelowTheRangeAndTextSwitchedOff) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    HWND bar = dlg.progress.m_hWnd;
    const COLORREF done = ::GetSysColor(COLOR_HIGHLIGHT), todo = ::GetSysColor(COLOR_WINDOW);
    RunOnUi(w, [&] { dlg.progress.SetPos(-50); });
    EXPECT_EQ(dlg.progress.GetBarWidth(), -109) << "trunc(-0.5 x 219)";
    EXPECT_EQ(dlg.progress.GetDisplayText(), "-50%");
    EXPECT_EQ(WaitForPixel(bar, 0, 1, todo), todo) << "no bar at all";

    RunOnUi(w, [&] {
      dlg.progress.SetPos(100);
      dlg.progress.SetShowText(FALSE);
      dlg.progress.UpdateWindow();
    });
    EXPECT_EQ(WaitForPixel(bar, kBarWidth - 1, 1, done), done);
    ui::WaitUntil([&] { return CountColour(ui::CaptureWindow(bar, true), 0, kBarWidth, todo) == 0; }, 3000);
    EXPECT_EQ(CountColour(ui::CaptureWindow(bar, true), 0, kBarWidth, todo), 0) << "a full bar without text";
    EXPECT_EQ(dlg.progress.SetPos(100), 100);
  }));
}

TEST(PercentProgress, StepsStopAtTheEndOfInt) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    RunOnUi(w, [&] {
      dlg.progress.SetRange(0, 100);
      dlg.progress.SetPos(INT_MAX - 1);
      dlg.progress.SetStep(5);
      dlg.progress.StepIt();
    });
    EXPECT_EQ(dlg.progress.GetPos(), INT_MAX) << "no wrap to a negative position";
    EXPECT_EQ(dlg.progress.GetBarWidth(), INT_MAX) << "far past the end, kept inside int";
  }));
}

TEST(PercentProgress, WithoutAWindowSetPosReturnsMinusOne) {
  CPercentProgressCtrl bar;
  EXPECT_EQ(bar.SetPos(5), -1);
  EXPECT_EQ(bar.GetPos(), 0) << "nothing changed";
  bar.SetShowText(FALSE);  // no window: nothing to invalidate
}

TEST(ColorLabel, ShadowIsLightGreyThreePixelsDownAndRight) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    EXPECT_EQ(dlg.plainLabel.SetShadow(FALSE), FALSE) << "off at construction";
    EXPECT_NE(::SendMessageA(dlg.shadowLabel.m_hWnd, WM_ERASEBKGND, 0, 0), 0);
    RunOnUi(w, [&] { ::UpdateWindow(w); });
    const COLORREF black = RGB(0, 0, 0), grey = CColorLabel::kShadowColour, face = ::GetSysColor(COLOR_BTNFACE);
    ui::Capture plain, shadow;
    ui::WaitUntil([&] {
      plain = ui::CaptureWindow(dlg.plainLabel.m_hWnd, true);
      shadow = ui::CaptureWindow(dlg.shadowLabel.m_hWnd, true);
      return CountColour(shadow, 0, shadow.width, grey) > 0 && CountColour(plain, 0, plain.width, black) > 0;
    });
    ASSERT_EQ(plain.width, shadow.width);
    int checked = 0, shadowed = 0, covered = 0, onTop = 0;
    for (int y = 0; y + 3 < plain.height; ++y)
      for (int x = 0; x + 3 < plain.width; ++x) {
        if (plain.At(x, y) != black) continue;
        ++onTop;
        covered += shadow.At(x, y) == black;
        if (plain.At(x + 3, y + 3) != face) continue;
        ++checked;
        shadowed += shadow.At(x + 3, y + 3) == grey;
      }
    EXPECT_GT(onTop, 50);
    EXPECT_EQ(covered, onTop) << "the text itself is drawn over its shadow";
    EXPECT_GT(checked, 20) << "the plain label shows bare background where a shadow would fall";
    EXPECT_EQ(shadowed, checked) << "every solid letter pixel casts a grey one at (+3, +3)";
    // The text wraps: letters on a second line, the same in both labels.
    int secondLine = 0;
    for (int y = 20; y < plain.height; ++y)
      for (int x = 0; x < plain.width; ++x) secondLine += plain.At(x, y) == black;
    EXPECT_GT(secondLine, 0) << "the long text wraps onto a second line";
    EXPECT_EQ(plain.At(plain.width - 1, plain.height - 1), face) << "no background of its own";
    Screenshot(w, "labels");
  }));
}

}  // namespace
