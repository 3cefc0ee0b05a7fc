// The helpers of tests/ui against a message box of this process's own: its
// icon painted late is still recognised, and a wrong icon is still refused.
#include <gtest/gtest.h>

#include <thread>

#include "tests/ui/UiTest.h"

namespace {

const char kCaption[] = "Late paint";

// A message box run on a thread of its own; OK ends it at the end.
class BoxThread {
 public:
  explicit BoxThread(UINT icon)
      : thread_([icon] { ::MessageBoxA(nullptr, "The icon comes back late.", kCaption, MB_OK | icon); }) {}
  ~BoxThread() {
    if (HWND box = ::FindWindowA("#32770", kCaption)) ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    thread_.join();
  }

 private:
  std::thread thread_;
};

BOOL CALLBACK FindIcon(HWND w, LPARAM lp) {
  char cls[16] = {};
  ::GetClassNameA(w, cls, sizeof cls);
  if (lstrcmpiA(cls, "Static") != 0 || (::GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) return TRUE;
  *reinterpret_cast<HWND*>(lp) = w;
  return FALSE;
}

bool AllOneColour(const ui::Capture& c, COLORREF colour) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x)
      if (c.At(x, y) != colour) return false;
  return c.width > 0;
}

TEST(UiHelpers, AMessageBoxIconPaintedLateIsWaitedFor) {
  BoxThread thread(MB_ICONQUESTION);
  const ui::MessageBoxInfo box = ui::WaitForMessageBox(::GetCurrentProcessId());
  ASSERT_NE(box.window, nullptr);
  ASSERT_TRUE(ui::MessageBoxShowsIcon(box, IDI_QUESTION)) << "as first painted";

  // Wiped by drawing, which leaves nothing to repaint: the box paints it
  // again only when told to, a second after the helper has started looking.
  HWND icon = nullptr;
  ::EnumChildWindows(box.window, &FindIcon, reinterpret_cast<LPARAM>(&icon));
  ASSERT_NE(icon, nullptr);
  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  {
    HDC dc = ::GetDC(icon);
    RECT all{};
    ::GetClientRect(icon, &all);
    HBRUSH brush = ::CreateSolidBrush(face);
    ::FillRect(dc, &all, brush);
    ::DeleteObject(brush);
    ::ReleaseDC(icon, dc);
  }
  ::PostMessageA(box.window, WM_NULL, 0, 0);  // the box's thread puts the drawing on screen
  ASSERT_TRUE(ui::WaitUntil([&] { return AllOneColour(ui::CaptureWindow(icon, true), face); }, 5000))
      << "the icon is wiped off the screen";
  std::thread repaint([icon] {
    ::Sleep(1000);
    ::InvalidateRect(icon, nullptr, TRUE);
  });
  EXPECT_TRUE(ui::MessageBoxShowsIcon(box, IDI_QUESTION)) << "painted again a second later";
  repaint.join();
  EXPECT_FALSE(ui::MessageBoxShowsIcon(box, IDI_HAND)) << "another icon is not taken for it";
}

}  // namespace
