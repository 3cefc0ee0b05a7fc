// The framework under Wine: a modal dialog from a resource with Chinese
// texts, driven from another thread through the UI helpers; an owner-drawn
// subclassed button; a worker thread that posts and sends to a dialog.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "framework/Dialog.h"
#include "framework/WinThread.h"
#include "tests/ui/UiTest.h"

namespace {

constexpr UINT kDialog = 100;
constexpr UINT WM_TEST_POSTED = WM_APP + 1;
constexpr UINT WM_TEST_SENT = WM_APP + 2;

class CountingButton : public CButton {
 public:
  void PreSubclassWindow() override { SetStyle((GetStyle() & ~0xFu) | BS_OWNERDRAW); }
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    ++draws;
    HBRUSH brush = ::CreateSolidBrush(RGB(200, 0, 0));
    ::FillRect(dis->hDC, &dis->rcItem, brush);
    ::DeleteObject(brush);
  }
  int draws = 0;
};

class TestDialog : public CDialog {
 public:
  TestDialog() : CDialog(kDialog) {}
  bool OnCommand(int id, int code) override {
    if (id == 1000 && code == BN_CLICKED) {
      answer = MessageBox("真要退出安装程序吗?", "询问", MB_YESNO | MB_ICONQUESTION);
      EndDialog(answer == IDYES ? 4242 : 4343);
      return true;
    }
    return false;
  }
  CountingButton button;
  int answer = 0;

 protected:
  void DoDataExchange() override { DDX_Control(1001, button); }
};

TEST(Dialog, RunsModallyIsDrivenAndEndsWithItsCode) {
  TestDialog dlg;
  std::string seenText, seenCaption, seenTitle;
  bool question = false;
  std::thread driver([&] {
    HWND w = ui::WaitForWindow("#32770", "框架测试 窗口", ::GetCurrentProcessId());
    if (!w) return;
    seenTitle = ui::ControlText(w, 1002);
    ui::SaveScreenshot(w, ui::ScreenshotDir() + "framework_dialog.png");
    ui::Click(w, 1000);
    ui::MessageBoxInfo box = ui::WaitForMessageBox(::GetCurrentProcessId());
    seenText = box.text;
    seenCaption = box.caption;
    question = ui::MessageBoxShowsIcon(box, IDI_QUESTION);
    ui::Answer(box, IDYES);
  });
  const INT_PTR code = dlg.DoModal();
  driver.join();
  EXPECT_EQ(code, 4242) << "end code of the dialog";
  EXPECT_EQ(dlg.answer, IDYES);
  EXPECT_EQ(seenTitle, "欢迎使用 土方工程量计算软件");
  EXPECT_EQ(seenText, "真要退出安装程序吗?");
  EXPECT_EQ(seenCaption, "询问");
  EXPECT_TRUE(question) << "the question icon is shown";
  EXPECT_GT(dlg.button.draws, 0) << "owner-draw reflected to the button object";
  EXPECT_EQ(dlg.button.m_hWnd, nullptr) << "detached when the dialog was destroyed";
}

TEST(Dialog, CancelEndsWithIdCancelAndOwnerDrawPaintsRed) {
  TestDialog dlg;
  COLORREF pixel = CLR_INVALID;
  std::thread driver([&] {
    HWND w = ui::WaitForWindow("#32770", "框架测试 窗口", ::GetCurrentProcessId());
    if (!w) return;
    HWND b = ui::Control(w, 1001);
    ui::WaitUntil([&] { return ui::ClientPixel(b, 5, 5) == RGB(200, 0, 0); }, 3000);
    pixel = ui::ClientPixel(b, 5, 5);
    ui::Click(w, IDCANCEL);
  });
  EXPECT_EQ(dlg.DoModal(), IDCANCEL);
  driver.join();
  EXPECT_EQ(pixel, RGB(200, 0, 0)) << "the button's DrawItem painted it";
}

class Reporter : public CWinThread {
 public:
  BOOL InitInstance() override {
    HWND w = m_pMainWnd->m_hWnd;
    for (int i = 0; i < 5; ++i) sentResults += static_cast<int>(::SendMessageA(w, WM_TEST_SENT, i, 0));
    ::PostMessageA(w, WM_TEST_POSTED, 0, 0);
    return FALSE;
  }
  int sentResults = 0;
};

class WorkerDialog : public CDialog {
 public:
  WorkerDialog() : CDialog(kDialog) {}
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    worker.m_pMainWnd = this;
    worker.m_bAutoDelete = FALSE;
    worker.CreateThread();
    return TRUE;
  }
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
    if (msg == WM_TEST_SENT) {
      EXPECT_EQ(::GetCurrentThreadId(), uiThread) << "sent message handled on the dialog's thread";
      ++sent;
      result = static_cast<LRESULT>(wp) * 10;
      return true;
    }
    if (msg == WM_TEST_POSTED) {
      worker.WaitForEnd(true);
      EndDialog(777);
      result = 0;
      return true;
    }
    return CDialog::OnMessage(msg, wp, lp, result);
  }
  Reporter worker;
  DWORD uiThread = ::GetCurrentThreadId();
  int sent = 0;
};

TEST(WinThread, WorkerSendsAndPostsToItsDialogAndIsWaitedFor) {
  WorkerDialog dlg;
  EXPECT_EQ(dlg.DoModal(), 777);
  EXPECT_EQ(dlg.sent, 5);
  EXPECT_EQ(dlg.worker.sentResults, 0 + 10 + 20 + 30 + 40) << "results of the sent messages";
  EXPECT_FALSE(dlg.worker.IsRunning());
}

class Looping : public CWinThread {
 public:
  BOOL InitInstance() override { return TRUE; }
  int ExitInstance() override {
    exited = true;
    return 55;
  }
  std::atomic<bool> exited{false};
};

TEST(WinThread, MessageLoopEndsAtQuitWithExitInstanceResult) {
  Looping t;
  t.m_bAutoDelete = FALSE;
  ASSERT_TRUE(t.CreateThread());
  ASSERT_TRUE(ui::WaitUntil([&] { return ::PostThreadMessageA(t.m_nThreadID, WM_QUIT, 0, 0) != FALSE; }, 3000));
  t.WaitForEnd(false);
  DWORD code = 0;
  ::GetExitCodeThread(t.ThreadHandle(), &code);
  EXPECT_TRUE(t.exited);
  EXPECT_EQ(code, 55u);
}

// What a worker destroyed while it runs saw; outlives the worker.
struct Probe {
  std::atomic<bool> stop{false};
  std::atomic<int> beats{0};
  std::atomic<bool> sawHalfDestroyed{false};
  std::atomic<bool> endedBeforeItsDestructor{false};
};

// Keeps reading a member and calling one of its virtual functions until the
// probe's stop flag is raised.
class Beating : public CWinThread {
 public:
  static constexpr int kWhole = 4711;
  explicit Beating(Probe& probe) : probe_(probe) {}
  ~Beating() override {
    probe_.endedBeforeItsDestructor = !IsRunning();
    alive_ = 0;  // what the destruction of its members would leave
  }
  BOOL InitInstance() override { return TRUE; }
  int Run() override {
    while (!probe_.stop) {
      if (alive_ != 1 || ExitInstance() != kWhole) probe_.sawHalfDestroyed = true;
      ++probe_.beats;
    }
    return 0;
  }
  int ExitInstance() override { return kWhole; }

 private:
  Probe& probe_;
  std::atomic<int> alive_{1};
};

TEST(WinThread, AWorkerDestroyedWhileRunningIsWaitedForWhole) {
  Probe probe;
  std::thread stopper;
  {
    CJoinedThread<Beating> worker(probe);
    worker.m_bAutoDelete = FALSE;
    ASSERT_TRUE(worker.CreateThread());
    ASSERT_TRUE(ui::WaitUntil([&] { return probe.beats > 0; }, 5000)) << "the worker runs";
    // Raised only once the destruction below has begun.
    stopper = std::thread([&] {
      ::Sleep(300);
      probe.stop = true;
    });
  }
  stopper.join();
  EXPECT_TRUE(probe.endedBeforeItsDestructor) << "the thread had ended before the worker's destructor ran";
  EXPECT_FALSE(probe.sawHalfDestroyed) << "a destroyed member or the base's virtual function was seen";
  EXPECT_GT(probe.beats, 0);
}

}  // namespace
