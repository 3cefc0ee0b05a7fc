// The throttled status line on a real static control: the first text and
// every text after a quiet interval show at once, a burst ends on its latest
// text, a text set directly wins over a waiting one.
#include <gtest/gtest.h>

#include <string>

#include "controls/StatusText.h"
#include "tests/ui/UiTest.h"

namespace {

// A visible popup with one static child bound to a CStatusText.
class StatusLine : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = ::CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 20, 20, 400, 60, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(parent_, nullptr);
    HWND child = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 5, 5, 380, 20, parent_,
                                   nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(status.SubclassWindow(child));
  }
  void TearDown() override {
    if (status.m_hWnd) status.UnsubclassWindow();
    if (parent_) ::DestroyWindow(parent_);
  }
  // Serves the thread's messages (the control's timer among them) for a while.
  static void Pump(DWORD ms) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < ms) {
      MSG msg;
      while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&msg);
      ::Sleep(5);
    }
  }
  std::string Shown() const { return status.GetWindowText(); }
  // Waits until the interval since the line's last change is over, on the
  // control's own clock: GetTickCount, which under Wine the server advances
  // and which under load can lag behind Sleep. Called after the change.
  static void WaitOutTheInterval() {
    const DWORD from = ::GetTickCount();
    ui::WaitUntil([&] { return ::GetTickCount() - from >= CStatusText::kIntervalMs; });
  }
  // Once the interval is over, shows first and at once second, and tells
  // whether both calls fell within one interval, as the checks that follow
  // need. A thread held up for a whole interval in between (load) rightly
  // shows second at once too; the pair is then made again, a few times.
  bool ShowTwoWithinOneInterval(const std::string& first, const std::string& second) {
    for (int attempt = 0; attempt < 5; ++attempt) {
      WaitOutTheInterval();
      const DWORD start = ::GetTickCount();
      status.ShowText(first);
      status.ShowText(second);
      if (::GetTickCount() - start < CStatusText::kIntervalMs) return true;
      status.Flush();
    }
    return false;
  }

  CStatusText status;
  HWND parent_ = nullptr;
};

TEST_F(StatusLine, ABurstOfTextsEndsOnTheLatestWithFewChanges) {
  const DWORD start = ::GetTickCount();
  for (int i = 0; i < 3000; ++i) status.ShowText("D:\\Inst\\Data\\文件" + std::to_string(i) + ".dat ...");
  const DWORD elapsed = ::GetTickCount() - start;
  EXPECT_EQ(Shown().rfind("D:\\Inst\\Data\\文件", 0), 0u) << "a text of the burst is shown: " << Shown();
  // The control's timer shows the waiting text once the interval is over.
  EXPECT_TRUE(ui::WaitUntil([&] {
    Pump(CStatusText::kIntervalMs);
    return !status.HasWaitingText();
  })) << "the waiting text is shown in the end";
  EXPECT_EQ(Shown(), "D:\\Inst\\Data\\文件2999.dat ...") << "the latest text, once the interval is over";
  EXPECT_LE(status.ShownCount(), static_cast<int>(elapsed / CStatusText::kIntervalMs) + 2)
      << "at most one change per interval over " << elapsed << " ms, and the last one";
  EXPECT_GE(status.ShownCount(), 2) << "the first text and the last one";
}

TEST_F(StatusLine, TheFirstTextAndOneAfterAQuietIntervalShowAtOnce) {
  status.ShowText("first");
  EXPECT_EQ(Shown(), "first");
  EXPECT_FALSE(status.HasWaitingText());
  ASSERT_TRUE(ShowTwoWithinOneInterval("after a pause", "soon after"));
  EXPECT_EQ(Shown(), "after a pause") << "no wait once the interval is over";
  EXPECT_TRUE(status.HasWaitingText()) << "within the interval the text waits";
  EXPECT_EQ(Shown(), "after a pause");
  status.Flush();
  EXPECT_EQ(Shown(), "soon after") << "Flush shows the waiting text";
  EXPECT_FALSE(status.HasWaitingText());
  status.Flush();
  EXPECT_EQ(Shown(), "soon after") << "a Flush with nothing waiting changes nothing";
}

TEST_F(StatusLine, ATextSetDirectlyReplacesTheWaitingOne) {
  ASSERT_TRUE(ShowTwoWithinOneInterval("one", "two"));
  ASSERT_TRUE(status.HasWaitingText());
  ::SetWindowTextA(status.m_hWnd, "");
  EXPECT_FALSE(status.HasWaitingText()) << "dropped by the direct text";
  Pump(4 * CStatusText::kIntervalMs);
  EXPECT_EQ(Shown(), "") << "the waiting text does not come back over the direct one";
}

TEST_F(StatusLine, ADestroyedControlDropsItsText) {
  status.ShowText("one");
  status.ShowText("two");
  ::DestroyWindow(parent_);
  parent_ = nullptr;
  EXPECT_FALSE(status.HasWaitingText());
  status.ShowText("no window");  // nothing to show it in, and no crash
  status.Flush();
  EXPECT_FALSE(status.HasWaitingText());
}

}  // namespace
