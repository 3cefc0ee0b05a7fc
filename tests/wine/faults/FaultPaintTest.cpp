// Handle leaks, shown the way Wine allows: its GetGuiResources always
// returns 0, but a process there has at most 16,384 GDI handles, so a paint
// that leaked even one would stop painting before 20,000 paints are done.
// Every skinned control, in its states, and the Setup background with its
// picture are painted 20,000 times; afterwards each still paints exactly as
// before (its pixels, repainted over a smear, compared with a capture from
// the start), and the process's memory stays within a bound.
#include <gtest/gtest.h>
#include <windows.h>
#include <psapi.h>

#include <string>
#include <vector>

#include "tests/wine/controls/ControlsDialog.h"
#include "tests/wine/setup/SetupDriver.h"

namespace {

constexpr int kPaints = 20000;
// Private bytes may grow this much over 20,000 paints: a leak of one DC or
// bitmap per paint would take several megabytes, besides stopping the paint.
constexpr SIZE_T kGrowthBound = 3u << 20;

SIZE_T PrivateBytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  return ::GetProcessMemoryInfo(process, &counters, sizeof counters) ? counters.PagefileUsage : 0;
}

// Smears the window's area on screen, then has it repaint itself.
void SmearAndRepaint(HWND window) {
  HDC dc = ::GetDC(window);
  RECT r{};
  ::GetClientRect(window, &r);
  HBRUSH magenta = ::CreateSolidBrush(RGB(255, 0, 255));
  ::FillRect(dc, &r, magenta);
  ::DeleteObject(magenta);
  ::ReleaseDC(window, dc);
  // Through the parent: a label paints no background of its own, the
  // dialog's shows under its letters.
  const HWND parent = ::GetParent(window);
  if (!parent) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    return;
  }
  ::MapWindowPoints(window, parent, reinterpret_cast<POINT*>(&r), 2);
  ::RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int Colours(const ui::Capture& c) {
  std::vector<COLORREF> seen;
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x) {
      const COLORREF p = c.At(x, y);
      bool known = false;
      for (COLORREF s : seen) known = known || s == p;
      if (!known && seen.size() < 64) seen.push_back(p);
    }
  return static_cast<int>(seen.size());
}

bool HasMagenta(const ui::Capture& c) {
  for (int y = 0; y < c.height; ++y)
    for (int x = 0; x < c.width; ++x)
      if (c.At(x, y) == RGB(255, 0, 255)) return true;
  return false;
}

// The window's pixels once what it painted has reached the screen (the
// display may lag behind a paint, more so when tests run side by side).
ui::Capture SettledCapture(HWND window) {
  ui::Capture c;
  ui::WaitUntil([&] {
    c = ui::CaptureWindow(window, true);
    return !HasMagenta(c) && Colours(c) > 1;
  }, 5000);
  return c;
}

void Repaint(HWND w) { ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

TEST(FaultPaint, EverySkinnedControlPaints20000TimesWithoutLeaking) {
  using namespace ctltest;
  ControlsDialog dlg;
  ASSERT_TRUE(RunWithDialog(dlg, [&](HWND w) {
    struct Item {
      const char* name;
      HWND window;
      ui::Capture before;
    };
    std::vector<Item> items{{"push button", dlg.ok.m_hWnd, {}},        {"cancel button", dlg.cancel.m_hWnd, {}},
                            {"disabled button", dlg.disabled.m_hWnd, {}}, {"check box", dlg.check.m_hWnd, {}},
                            {"radio button", dlg.radioA.m_hWnd, {}},      {"progress bar", dlg.progress.m_hWnd, {}},
                            {"shadowed label", dlg.shadowLabel.m_hWnd, {}}};
    RunOnUi(w, [&] {
      dlg.progress.SetRange(0, 100);
      dlg.progress.SetPos(40);
    });
    MoveMouseAway();
    for (Item& item : items) {
      RunOnUi(w, [&] { SmearAndRepaint(item.window); });
      item.before = SettledCapture(item.window);
      ASSERT_FALSE(HasMagenta(item.before)) << item.name << " painted itself";
      ASSERT_GT(Colours(item.before), 1) << item.name << " shows more than one colour";
    }
    // The buttons paint through their DrawItem, as the dialog's reflected
    // WM_DRAWITEM calls it, into a memory context, in every state in turn
    // (each draw makes and frees its own off-screen bitmap); the bar and the
    // label paint on screen through WM_PAINT.
    struct Face {
      ctltest::ControlId id;
      UINT state;
      ui::Capture first;
    };
    std::vector<Face> faces{{kOk, 0, {}}, {kOk, ODS_SELECTED, {}}, {kOk, ODS_FOCUS, {}}, {kOk, ODS_DEFAULT, {}},
                            {kOk, ODS_DISABLED, {}}, {kOk, ODS_SELECTED | ODS_FOCUS, {}}, {kCancel, ODS_FOCUS, {}},
                            {kCheck, 0, {}}, {kRadioA, ODS_FOCUS, {}}};
    SIZE_T start = 0, end = 0;
    DWORD ticks[3] = {};
    RunOnUi(w, [&] {
      ticks[2] = ::GetTickCount();
      HDC screen = ::GetDC(w);
      HDC memory = ::CreateCompatibleDC(screen);
      HBITMAP canvas = ::CreateCompatibleBitmap(screen, 200, 100);
      HGDIOBJ old = ::SelectObject(memory, canvas);
      const auto drawFace = [&](const Face& face) {
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = face.id;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = face.state;
        item.hwndItem = ::GetDlgItem(w, face.id);
        item.hDC = memory;
        ::GetClientRect(item.hwndItem, &item.rcItem);
        ::SendMessageA(w, WM_DRAWITEM, face.id, reinterpret_cast<LPARAM>(&item));
      };
      const auto grab = [&](int width, int height) {
        ui::Capture c;
        c.width = width, c.height = height;
        for (int y = 0; y < height; ++y)
          for (int x = 0; x < width; ++x) {
            const COLORREF p = ::GetPixel(memory, x, y);
            c.rgb.push_back(GetRValue(p)), c.rgb.push_back(GetGValue(p)), c.rgb.push_back(GetBValue(p));
          }
        return c;
      };
      for (int i = 0; i < kPaints; ++i) {
        if (i == 1000) start = PrivateBytes(::GetCurrentProcess());  // after the caches have filled
        // The first round keeps every face for the comparison at the end;
        // then the push button goes through its six states in turn and the
        // check box between checked and unchecked.
        if (i == 0) {
          for (Face& face : faces) {
            drawFace(face);
            face.first = grab(kButtonWidth, kButtonHeight);
          }
        }
        drawFace(faces[i % 6]);
        ::SendMessageA(dlg.check.m_hWnd, BM_SETCHECK, i % 2 ? BST_CHECKED : 0, 0);
        drawFace(faces[7]);
        dlg.progress.SetPos(i % 101);  // a new width repaints at once
        Repaint(dlg.progress.m_hWnd);
        Repaint(dlg.shadowLabel.m_hWnd);
        if (i == 1999) ticks[0] = ::GetTickCount();
      }
      ticks[1] = ::GetTickCount();
      end = PrivateBytes(::GetCurrentProcess());
      ::SendMessageA(dlg.check.m_hWnd, BM_SETCHECK, 0, 0);
      for (Face& face : faces) {
        ::PatBlt(memory, 0, 0, 200, 100, BLACKNESS);
        drawFace(face);
        const ui::Capture last = grab(kButtonWidth, kButtonHeight);
        EXPECT_EQ(last.rgb, face.first.rgb) << "button " << face.id << " in state " << face.state
                                             << ": its last face differs from its first";
        EXPECT_GT(Colours(last), 2) << "button " << face.id << " in state " << face.state << " drew a face";
      }
      ::SelectObject(memory, old);
      ::DeleteObject(canvas);
      ::DeleteDC(memory);
      ::ReleaseDC(w, screen);
      dlg.progress.SetPos(40);
    });
    for (Item& item : items) {
      RunOnUi(w, [&] { SmearAndRepaint(item.window); });
      const ui::Capture after = SettledCapture(item.window);
      EXPECT_FALSE(HasMagenta(after)) << item.name << " still paints after " << kPaints << " paints";
      ASSERT_EQ(after.rgb.size(), item.before.rgb.size()) << item.name;
      int differing = 0;
      for (std::size_t k = 0; k < after.rgb.size(); ++k) differing += after.rgb[k] != item.before.rgb[k];
      EXPECT_EQ(differing, 0) << item.name << ": channel values that differ from the first paint";
    }
    Screenshot(w, "faults_paint_controls");
    EXPECT_GT(start, 0u);
    EXPECT_LT(end, start + kGrowthBound) << "private bytes " << start << " -> " << end;
    std::printf("controls: %d rounds of 2 button faces and 2 window paints, private bytes %lu -> %lu (%lu ms, first 2000 rounds %lu ms)\n", kPaints,
                static_cast<unsigned long>(start), static_cast<unsigned long>(end),
                static_cast<unsigned long>(ticks[1] - ticks[2]), static_cast<unsigned long>(ticks[0] - ticks[2]));
  }));
}

}  // namespace
