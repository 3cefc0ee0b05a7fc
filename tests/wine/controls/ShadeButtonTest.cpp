// The shaded button on a real dialog: its faces from the library's rand()
// sequence, and the looks a user sees on screen at rest, hovered, pressed,
// dragged off and back, disabled, focused and default; check-box and radio
// behaviour driven by real mouse and keyboard input.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "controls/ShadePattern.h"
#include "tests/wine/controls/ControlsDialog.h"

using namespace ctltest;

namespace {

// Away from the edges, the focus frame and the caption of a 75 × 23 button.
constexpr int kX = 10, kY = 5;
constexpr int kMidY = 12;

// The C library's sequence from its unseeded state.
class MsvcrtRand {
 public:
  int operator()() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t state_ = 1;
};

LRESULT GetCheck(HWND button) { return ::SendMessageA(button, BM_GETCHECK, 0, 0); }

// A draw request as the platform sends it, with the given state flags.
void DrawWithState(HWND dialog, CShadeButton& button, UINT state) {
  RunOnUi(dialog, [&] {
    ::UpdateWindow(dialog);
    HDC dc = ::GetDC(button.m_hWnd);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(::GetDlgCtrlID(button.m_hWnd));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state;
    dis.hwndItem = button.m_hWnd;
    dis.hDC = dc;
    ::GetClientRect(button.m_hWnd, &dis.rcItem);
    ::SendMessageA(dialog, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    ::ReleaseDC(button.m_hWnd, dc);
  });
}

// Presses and releases the left button over a control's centre, and waits
// until the click has been handled to its end: the button lets the mouse go
// only after it shows released, and tells its parent last, so the next
// press must wait for the notification (while the button still holds the
// mouse, the press would go to it). The unchecks a radio button posts to its
// group are handled before the click counts as done, too.
void ClickAt(ControlsDialog& dlg, HWND control) {
  const int id = ::GetDlgCtrlID(control);
  const int before = dlg.clicks[id];
  MoveMouseTo(control, kButtonWidth / 2, kMidY);
  LeftButton(true);
  EXPECT_TRUE(WaitFor([&] { return IsPushed(control); })) << "pressed, control " << id;
  LeftButton(false);
  EXPECT_TRUE(WaitFor([&] { return dlg.clicks[id] == before + 1; })) << "clicked, control " << id;
  EXPECT_TRUE(WaitForPostedMessages(::GetParent(control)));
}

bool CaptureReleased(HWND dialog) {
  HWND capture = nullptr;
  RunOnUi(dialog, [&] { capture = ::GetCapture(); });
  return capture == nullptr;
}

TEST(ShadeButton, TakesItsModeFromTheTemplateStyleAndBecomesOwnerDrawn) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND) {
    EXPECT_EQ(dlg.ok.GetMode(), CShadeButton::PushMode);
    EXPECT_TRUE(dlg.ok.IsPushLike()) << "push buttons are always push-like";
    EXPECT_TRUE(dlg.ok.HasBorder());
    EXPECT_EQ(dlg.check.GetMode(), CShadeButton::CheckBoxMode);
    EXPECT_FALSE(dlg.check.HasBorder()) << "a plain check box has no edges";
    EXPECT_EQ(dlg.pushCheck.GetMode(), CShadeButton::CheckBoxMode);
    EXPECT_TRUE(dlg.pushCheck.HasBorder()) << "BS_PUSHLIKE keeps the edges";
    EXPECT_EQ(dlg.radioB.GetMode(), CShadeButton::RadioMode);
    for (CShadeButton* b : {&dlg.ok, &dlg.check, &dlg.radioA, &dlg.flat})
      EXPECT_EQ(b->GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW)) << ::GetDlgCtrlID(b->m_hWnd);
    EXPECT_EQ(dlg.flat.GetStyle() & BS_FLAT, static_cast<DWORD>(BS_FLAT));
  }));
}

TEST(ShadeButton, FacesComeFromTheLibraryRandomSequenceAndTheSystemColours) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    RunOnUi(w, [&] {
      std::srand(1);  // back to the unseeded state
      dlg.ok.SetShade(CShadeButton::BumpHard, 8, 10, 0, 0);
    });
    const ShadeSystemColours sys{::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNFACE),
                                 ::GetSysColor(COLOR_BTNHIGHLIGHT)};
    ShadeParameters p;
    p.effect = shade::kBumpHard;
    p.granularity = 8;
    p.highlight = 10;
    ShadeImages want;
    shade::BuildImages(want, kButtonWidth, kButtonHeight, 4, p, sys, MsvcrtRand());
    const CDibSurface& base = dlg.ok.Images().base;
    ASSERT_EQ(base.Width(), kButtonWidth);
    ASSERT_EQ(base.Height(), kButtonHeight);
    ASSERT_EQ(base.GetTotalSize(), want.base.GetTotalSize());
    // Pixels and tables; the padding bytes at the row ends are left as allocated.
    int differ = 0;
    for (int y = 0; y < kButtonHeight; ++y)
      for (int x = 0; x < kButtonWidth; ++x) differ += base.PixelIndex(x, y) != want.base.PixelIndex(x, y);
    EXPECT_EQ(differ, 0) << "the same pixels as the msvcrt sequence gives";
    for (unsigned i = 0; i < 256; ++i) {
      ASSERT_EQ(base.PaletteEntry(i), want.base.PaletteEntry(i)) << "base entry " << i;
      ASSERT_EQ(dlg.ok.Images().hover.PaletteEntry(i), want.hover.PaletteEntry(i)) << "hover entry " << i;
    }
    EXPECT_EQ(base.PaletteEntry(0), sys.shadow);
    EXPECT_EQ(base.PaletteEntry(255), sys.highlight);
  }));
}

TEST(ShadeButton, HoverIsLighterPressedIsShiftedAndDraggingToggles) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    HWND ok = dlg.ok.m_hWnd;
    const ShadeImages& im = dlg.ok.Images();
    const COLORREF rest = FaceColour(im.base, kX, kY);
    const COLORREF hover = FaceColour(im.hover, kX, kY);
    // The face at (kX, kY) may have the very colour the dialog shows there
    // before the button is painted at all (the button face colour); the
    // raised edge, drawn with it in one copy, tells that the paint is on screen.
    const COLORREF raised = ::GetSysColor(COLOR_3DLIGHT);
    EXPECT_EQ(WaitForPixel(ok, 0, kMidY, raised), raised) << "raised edge, outer ring";
    EXPECT_EQ(ui::ClientPixel(ok, kX, kY), rest) << "at rest";
    Screenshot(w, "rest");

    MoveMouseTo(ok, 37, kMidY);
    EXPECT_EQ(WaitForPixel(ok, kX, kY, hover), hover) << "hover face";
    EXPECT_GT(Brightness(hover), Brightness(rest)) << "hover is lighter than rest";
    Screenshot(w, "hover");

    MoveMouseAway();
    EXPECT_EQ(WaitForPixel(ok, kX, kY, rest), rest) << "the mouse left: rest again";

    MoveMouseTo(ok, 37, kMidY);
    WaitForPixel(ok, kX, kY, hover);
    LeftButton(true);
    EXPECT_TRUE(WaitFor([&] { return IsPushed(ok); })) << "pressed";
    const COLORREF pressed = FaceColour(im.pressed, kX, kY);
    // Likewise the sunken edge, not the face, tells that the new paint is on screen.
    const COLORREF sunken = ::GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(WaitForPixel(ok, 0, kMidY, sunken), sunken) << "sunken edge";
    EXPECT_EQ(ui::ClientPixel(ok, kX + 1, kY + 1), pressed) << "pressed face moved by one pixel";
    Screenshot(w, "pressed");

    auto dragTo = [&](int y, bool pushed) {
      MoveMouseTo(ok, 37, y);
      return WaitFor([&] { return IsPushed(ok) == pushed; });
    };
    for (int round = 0; round < 2; ++round) {
      EXPECT_TRUE(dragTo(-25, false)) << "dragged off over the label above, round " << round;
      EXPECT_EQ(WaitForPixel(ok, kX, kY, rest), rest) << "dragged off: the raised face, round " << round;
      EXPECT_TRUE(dragTo(kMidY, true)) << "back on, round " << round;
      EXPECT_EQ(WaitForPixel(ok, kX + 1, kY + 1, pressed), pressed) << "back on: pressed, round " << round;
    }
    LeftButton(false);
    EXPECT_TRUE(WaitFor([&] { return dlg.clicks[kOk] == 1; })) << "released on the button: one click";
    EXPECT_EQ(GetCheck(ok), BST_UNCHECKED);
    MoveMouseAway();
  }));
}

TEST(ShadeButton, FlatButtonShowsItsFrameOnlyWhileHovered) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND) {
    HWND flat = dlg.flat.m_hWnd;
    const COLORREF face = FaceColour(dlg.flat.Images().base, 0, kMidY);
    EXPECT_EQ(WaitForPixel(flat, 0, kMidY, face), face) << "no frame at rest";
    MoveMouseTo(flat, 37, kMidY);
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    EXPECT_EQ(WaitForPixel(flat, 0, kMidY, light), light) << "one-pixel frame, light at the left";
    const COLORREF dark = ::GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(ui::ClientPixel(flat, kButtonWidth - 1, kMidY), dark) << "dark at the right";
    MoveMouseAway();
    EXPECT_EQ(WaitForPixel(flat, 0, kMidY, face), face);
  }));
}

TEST(ShadeButton, DisabledHasNoFocusFrameAndDefaultHasTheDoubleFrame) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    HWND ok = dlg.ok.m_hWnd;
    const ShadeImages& im = dlg.ok.Images();
    // The focus line across runs from x = 5 at y = 4: odd pixels light, even dark.
    DrawWithState(w, dlg.ok, ODS_FOCUS);
    const COLORREF light = im.focusAcross.PaletteEntry(255), dark = im.focusAcross.PaletteEntry(0);
    EXPECT_EQ(WaitForPixel(ok, 10, 4, light), light) << "focus dot";
    EXPECT_EQ(ui::ClientPixel(ok, 9, 4), dark) << "focus gap";
    EXPECT_EQ(ui::ClientPixel(ok, 4, 10), im.focusDown.PaletteEntry(im.focusDown.PixelIndex(0, 5)))
        << "focus line down at x = 4";

    HWND off = dlg.disabled.m_hWnd;
    const CDibSurface& face = dlg.disabled.Images().disabled;
    DrawWithState(w, dlg.disabled, ODS_DISABLED | ODS_FOCUS);
    EXPECT_EQ(WaitForPixel(off, 10, 4, FaceColour(face, 10, 4)), FaceColour(face, 10, 4)) << "no focus frame";
    EXPECT_EQ(ui::ClientPixel(off, 9, 4), FaceColour(face, 9, 4));
    EXPECT_EQ(ui::ClientPixel(off, 0, kMidY), ::GetSysColor(COLOR_3DLIGHT)) << "raised edge";
    // The embossed caption: grey text with a light copy one pixel down and right.
    const ui::Capture shot = ui::CaptureWindow(off, true);
    int grey = 0;
    for (int y = 0; y < shot.height; ++y)
      for (int x = 0; x < shot.width; ++x) grey += shot.At(x, y) == ::GetSysColor(COLOR_GRAYTEXT);
    EXPECT_GT(grey, 0) << "caption in the grey-text colour";
    MoveMouseTo(off, 37, kMidY);
    ::Sleep(200);  // nothing should come; a hover would change the face
    EXPECT_EQ(ui::ClientPixel(off, kX, kY), FaceColour(face, kX, kY)) << "a disabled button ignores hover";
    MoveMouseAway();
    Screenshot(w, "disabled_focus");

    DrawWithState(w, dlg.ok, ODS_DEFAULT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(WaitForPixel(ok, 0, kMidY, shadow), shadow) << "outer sunken ring";
    EXPECT_EQ(ui::ClientPixel(ok, 1, kMidY), ::GetSysColor(COLOR_3DLIGHT)) << "raised ring inside it";
    EXPECT_EQ(ui::ClientPixel(ok, 2, kMidY), ::GetSysColor(COLOR_BTNHIGHLIGHT)) << "raised inner ring";
    EXPECT_EQ(ui::ClientPixel(ok, 3, kMidY), FaceColour(im.base, 3, kMidY)) << "then the face";
    Screenshot(w, "default");
    DrawWithState(w, dlg.ok, 0);
    const COLORREF plain = ::GetSysColor(COLOR_3DLIGHT);
    EXPECT_EQ(WaitForPixel(ok, 0, kMidY, plain), plain) << "not default: a single raised edge";
    EXPECT_EQ(ui::ClientPixel(ok, 2, kMidY), FaceColour(im.base, 2, kMidY));
  }));
}

TEST(ShadeButton, CheckBoxTogglesByMouseAndSpaceButNotWhenReleasedOutside) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    HWND box = dlg.check.m_hWnd;
    const ShadeImages& im = dlg.check.Images();
    ClickAt(dlg, box);
    EXPECT_TRUE(WaitFor([&] { return GetCheck(box) == BST_CHECKED; })) << "first click checks";
    const COLORREF checked = FaceColour(im.pressed, kX, kY);
    EXPECT_EQ(WaitForPixel(box, kX, kY, checked), checked) << "checked: the pressed face, not moved";
    EXPECT_EQ(ui::ClientPixel(box, 0, kMidY), FaceColour(im.pressed, 0, kMidY)) << "no edges without push-like";
    EXPECT_EQ(dlg.clicks[kCheck], 1);
    Screenshot(w, "checkbox_checked");
    ClickAt(dlg, box);
    EXPECT_TRUE(WaitFor([&] { return GetCheck(box) == BST_UNCHECKED; })) << "second click unchecks";

    MoveMouseTo(box, 37, kMidY);
    LeftButton(true);
    WaitFor([&] { return IsPushed(box); });
    MoveMouseTo(box, 37, 60);  // below the button
    WaitFor([&] { return !IsPushed(box); });
    LeftButton(false);
    EXPECT_TRUE(WaitFor([&] { return CaptureReleased(w); }));
    EXPECT_EQ(GetCheck(box), BST_UNCHECKED) << "released outside: no change";
    MoveMouseAway();

    RunOnUi(w, [&] { dlg.check.SetFocus(); });
    PressKey(VK_SPACE);
    EXPECT_TRUE(WaitFor([&] { return GetCheck(box) == BST_CHECKED; })) << "space bar checks";
    PressKey(VK_SPACE);
    EXPECT_TRUE(WaitFor([&] { return GetCheck(box) == BST_UNCHECKED; })) << "and unchecks";

    HWND pushBox = dlg.pushCheck.m_hWnd;
    ClickAt(dlg, pushBox);
    EXPECT_TRUE(WaitFor([&] { return GetCheck(pushBox) == BST_CHECKED; }));
    MoveMouseAway();
    const COLORREF sunk = FaceColour(dlg.pushCheck.Images().pressed, kX, kY);
    EXPECT_EQ(WaitForPixel(pushBox, kX + 1, kY + 1, sunk), sunk) << "push-like checked: moved by one pixel";
    EXPECT_EQ(ui::ClientPixel(pushBox, 0, kMidY), ::GetSysColor(COLOR_BTNSHADOW)) << "sunken edge";
    Screenshot(w, "pushlike_checked");
  }));
}

TEST(ShadeButton, RadioButtonsOfAGroupAreExclusive) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    HWND a = dlg.radioA.m_hWnd, b = dlg.radioB.m_hWnd, c = dlg.radioC.m_hWnd;
    ClickAt(dlg, a);
    EXPECT_TRUE(WaitFor([&] { return GetCheck(a) == BST_CHECKED; }));
    ClickAt(dlg, b);
    EXPECT_TRUE(WaitFor([&] { return GetCheck(b) == BST_CHECKED; }));
    EXPECT_TRUE(WaitFor([&] { return GetCheck(a) == BST_UNCHECKED; })) << "the other one is unchecked";
    ClickAt(dlg, b);
    EXPECT_EQ(GetCheck(b), BST_CHECKED) << "clicking a checked radio keeps it checked";
    ::SendMessageA(c, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(WaitFor([&] { return GetCheck(b) == BST_UNCHECKED; })) << "BM_SETCHECK also clears the group";
    EXPECT_EQ(GetCheck(a), BST_UNCHECKED);
    EXPECT_EQ(GetCheck(c), BST_CHECKED);
    EXPECT_EQ(GetCheck(dlg.check.m_hWnd), BST_UNCHECKED) << "outside the group";
    MoveMouseAway();
    const COLORREF checked = FaceColour(dlg.radioC.Images().pressed, kX, kY);
    EXPECT_EQ(WaitForPixel(c, kX, kY, checked), checked) << "checked radio drawn pressed";
    const COLORREF rest = FaceColour(dlg.radioB.Images().base, kX, kY);
    EXPECT_EQ(WaitForPixel(b, kX, kY, rest), rest) << "unchecked radio at rest";
    Screenshot(w, "radio");
  }));
}

TEST(ShadeButton, PushModeNeverLooksChecked) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND) {
    HWND ok = dlg.ok.m_hWnd;
    ::SendMessageA(ok, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(GetCheck(ok), BST_UNCHECKED);
    EXPECT_FALSE(dlg.ok.IsChecked());
    const COLORREF rest = FaceColour(dlg.ok.Images().base, kX, kY);
    EXPECT_EQ(WaitForPixel(ok, kX, kY, rest), rest) << "still the face at rest";
  }));
}

TEST(ShadeButton, GroupWalkEndsWhenTheCheckedRadioIsDisabled) {
  // The platform's group walk skips disabled buttons, so from a disabled one
  // it never comes back to where it started.
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    HWND a = dlg.radioA.m_hWnd, b = dlg.radioB.m_hWnd;
    ::SendMessageA(b, BM_SETCHECK, BST_CHECKED, 0);
    // b's uncheck messages to the group are posted: one still on its way to
    // a would undo the check below.
    ASSERT_TRUE(WaitForPostedMessages(w));
    ::EnableWindow(a, FALSE);
    EXPECT_EQ(::SendMessageA(a, BM_SETCHECK, BST_CHECKED, 0), 0) << "returns at all";
    EXPECT_TRUE(WaitFor([&] { return GetCheck(b) == BST_UNCHECKED; })) << "the others were still told";
    EXPECT_EQ(GetCheck(a), BST_CHECKED);
  }));
}

TEST(ShadeButton, AnyButtonTypeBecomesAValidOwnerDrawButton) {
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    CShadeButton plainRadio;  // BS_RADIOBUTTON (4): or-ing 0xB would give the invalid type 0xF
    RunOnUi(w, [&] {
      HWND made = ::CreateWindowExA(0, "BUTTON", "单选", WS_CHILD | WS_VISIBLE | BS_RADIOBUTTON, 350, 105,
                                    kButtonWidth, kButtonHeight, w, reinterpret_cast<HMENU>(1020), nullptr, nullptr);
      plainRadio.SubclassWindow(made);
      plainRadio.SetShade(CShadeButton::BumpHard, 8, 10, 0, 0);
      ::UpdateWindow(made);
    });
    EXPECT_EQ(plainRadio.GetStyle() & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(plainRadio.GetMode(), CShadeButton::PushMode) << "type 4 matches neither 3 nor 9";
    const COLORREF face = FaceColour(plainRadio.Images().base, kX, kY);
    EXPECT_EQ(WaitForPixel(plainRadio.m_hWnd, kX, kY, face), face) << "painted from its face";
    RunOnUi(w, [&] { ::DestroyWindow(plainRadio.m_hWnd); });
  }));
}

}  // namespace
