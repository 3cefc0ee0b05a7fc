// The copy page with the real install worker: the progress bar and status
// line, the closing look, a worker that gives up, cancel answered No and Yes,
// Enter while copying, and the finish page that follows.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/wine/setup/SetupDriver.h"

using namespace setuptest;

namespace {

constexpr UINT WM_SETUP_FINISHING = 1013;
const char kCancelQuestion[] =
    "安装没有完成。 如果现在退出安装程序，则不会安装或卸载您请求添加/删除的组件。\n\n"
    "可以稍后再运行安装程序来完成此操作。\n\n真要退出安装程序吗？";

struct TitleSearch {
  std::string part;
  HWND found;
};

BOOL CALLBACK FindTitleProc(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<TitleSearch*>(lp);
  if (::IsWindowVisible(w) && ui::Text(w).find(s->part) != std::string::npos) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of any process whose caption contains part.
HWND FindWindowTitled(const std::string& part) {
  TitleSearch s{part, nullptr};
  ::EnumWindows(&FindTitleProc, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

// Filled width of the bar, read from its top rows on screen: the pixels of
// the highlight colour from the left edge.
int FilledWidth(HWND bar) {
  const ui::Capture shot = ui::CaptureWindow(bar, true);
  const COLORREF fill = ::GetSysColor(COLOR_HIGHLIGHT);
  int x = 0;
  while (x < shot.width && shot.At(x, 1) == fill) ++x;
  return x;
}

class CopyPage : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteProductKey();
    RemoveTree("D:\\Inst");
    RemoveTree("D:\\Blank dir");
  }
  void TearDown() override { run.Kill(); }

  // Builds the medium, starts Setup and types the folder on the path page.
  HWND StartCopy(const Medium& medium, const std::string& folder) {
    BuildMedium(medium);
    if (!run.Start()) return nullptr;
    HWND path = run.GoToPathPage();
    if (!path || !ui::SetEditText(path, kPath, folder) || !ui::Click(path, kNext)) return nullptr;
    return run.WaitPage(Page::Copy);
  }
  // Moves a message box out of the page's way, so that the page can be seen.
  static void MoveAside(HWND box) {
    ::SetWindowPos(box, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::Sleep(300);
  }

  SetupRun run;
};

TEST_F(CopyPage, StepsPerEntryShowsTheTargetAndLeadsToTheFinishPage) {
  Medium medium;
  medium.folders.pop_back();  // no "Temp": the worker stops to ask, so the page can be looked at
  HWND copy = StartCopy(medium, "D:\\Inst\\");
  ASSERT_NE(copy, nullptr) << "the copy page";
  EXPECT_FALSE(ui::IsEnabled(copy, kNext)) << "Next disabled while copying";
  EXPECT_FALSE(ui::IsEnabled(copy, kBack)) << "Back never enabled";
  EXPECT_TRUE(ui::IsEnabled(copy, IDCANCEL));
  EXPECT_FALSE(ui::IsVisible(copy, kConfiguring));
  EXPECT_EQ(ui::ControlText(copy, kCopyFrame), "复制文件");

  const ui::MessageBoxInfo prompt = run.WaitBox();
  ASSERT_NE(prompt.window, nullptr) << "the prompt for the missing Temp folder";
  EXPECT_NE(prompt.text.find("E:\\Temp\\"), std::string::npos) << prompt.text;
  EXPECT_FALSE(::IsWindowEnabled(copy)) << "the page is disabled under the worker's prompt";
  const std::string status = ui::ControlText(copy, kStatus);
  EXPECT_EQ(status.rfind("D:\\Inst\\Data\\Data", 0), 0u) << "the last entry's target: " << status;
  EXPECT_EQ(status.substr(status.size() - 4), " ...") << status;
  MoveAside(prompt.window);
  Shot(nullptr, "setup_copy_page");
  // 10 entries so far (7 files, the subfolder "sub", ... ) of 9 + 6 files
  // counted: the range is 0 to 15 + 15.
  HWND bar = ui::Control(copy, kProgress);
  const RECT rc = [&] { RECT r{}; ::GetClientRect(bar, &r); return r; }();
  const int expected = rc.right * 10 / 30;
  // The page stepped its bar before the prompt came; the paint may lag.
  int filled = 0;
  ui::WaitUntil([&] { return std::abs((filled = FilledWidth(bar)) - expected) <= 1; }, ui::kPaintTimeout);
  EXPECT_NEAR(filled, expected, 1) << "bar at 10 of 30 over " << rc.right << " pixels";

  ASSERT_TRUE(ui::Answer(prompt, IDIGNORE));
  HWND finish = run.WaitPage(Page::Finish, 30000);
  ASSERT_NE(finish, nullptr) << "the finish page after the worker finished";
  EXPECT_FALSE(::IsWindow(copy)) << "the copy page ended";
  EXPECT_TRUE(FileExists("D:\\Inst\\Uninstall.log")) << "the install record was written";
  EXPECT_TRUE(FileExists("D:\\Inst\\Support\\sub\\deep0.dat"));
  EXPECT_TRUE(FileExists("D:\\Inst\\Temp")) << "the ignored folder was made empty";
  EXPECT_EQ(ui::ControlText(finish, kNext), "完成");
  EXPECT_EQ(ui::ControlText(finish, kReadme), "阅读 readme.txt 文件。");
  EXPECT_TRUE(ui::IsChecked(finish, kReadme)) << "readme offered checked";
  EXPECT_EQ(ui::Control(finish, IDCANCEL), nullptr) << "no Cancel button";
  EXPECT_EQ(ui::Control(finish, kBack), nullptr) << "no Back button";
  Shot(nullptr, "setup_finish_page");

  // The close box asks the exit question; No shows the finish page again.
  ui::Close(finish);
  const ui::MessageBoxInfo exit = run.WaitBox();
  EXPECT_EQ(exit.text, "真要退出安装程序吗?");
  ASSERT_TRUE(ui::Answer(exit, IDNO));
  ASSERT_TRUE(ui::WaitUntil([&] { return !::IsWindow(finish); }, 5000));
  finish = run.WaitPage(Page::Finish);
  ASSERT_NE(finish, nullptr) << "the finish page again";

  // Without the check box nothing is opened.
  ASSERT_TRUE(ui::Click(finish, kReadme));
  ASSERT_TRUE(ui::WaitUntil([&] { return !ui::IsChecked(finish, kReadme); }, 5000));
  ASSERT_TRUE(ui::Click(finish, kNext));
  EXPECT_EQ(run.WaitExit(), 3u) << "完成 ends Setup; the ignored folder makes it an install with failures";
  ::Sleep(1000);
  EXPECT_EQ(FindWindowTitled("readme"), nullptr) << "no readme window";
}

// Windows maps ".txt" to the text editor; the test prefix has the editor's
// class but not the mapping (Wine's desktop integration makes it elsewhere).
void AssociateTextFiles() {
  HKEY key = nullptr;
  if (::RegCreateKeyA(HKEY_CLASSES_ROOT, ".txt", &key) != ERROR_SUCCESS) return;
  const char cls[] = "txtfile";
  ::RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(cls), sizeof cls);
  ::RegCloseKey(key);
}

TEST_F(CopyPage, TrimsTheTypedFolderAndTheFinishPageOpensTheReadme) {
  AssociateTextFiles();
  HWND copy = StartCopy(Medium{}, "D:\\Blank dir\\Terrasum   ");
  ASSERT_NE(copy, nullptr);
  HWND finish = run.WaitPage(Page::Finish, 30000);
  ASSERT_NE(finish, nullptr);
  EXPECT_TRUE(FileExists("D:\\Blank dir\\Terrasum\\Support\\Support0.dat")) << "installed into the trimmed folder";
  EXPECT_TRUE(FileExists("D:\\Blank dir\\Terrasum\\readme.txt"));
  ASSERT_TRUE(ui::Click(finish, kNext));
  EXPECT_EQ(run.WaitExit(), 0u);
  // The shell opens the readme in the text editor (notepad under Wine).
  HWND editor = nullptr;
  ui::WaitUntil([&] { return (editor = FindWindowTitled("readme")) != nullptr; }, 15000);
  ASSERT_NE(editor, nullptr) << "a window showing readme.txt";
  Shot(nullptr, "setup_readme_opened");
  ui::Close(editor);
}

TEST_F(CopyPage, ClosingLookAndAWorkerThatGivesUpEndSetup) {
  Medium medium;
  medium.folders.clear();  // the worker asks for "Support" at once
  medium.supportSubfolder = false;
  HWND copy = StartCopy(medium, "D:\\Inst\\");
  ASSERT_NE(copy, nullptr);
  const ui::MessageBoxInfo prompt = run.WaitBox();
  ASSERT_NE(prompt.window, nullptr);
  // The closing look, as the worker's message brings it.
  ::SendMessageA(copy, WM_SETUP_FINISHING, 0, 0);
  EXPECT_EQ(ui::ControlText(copy, kStatus), "") << "status line emptied";
  EXPECT_FALSE(ui::IsVisible(copy, kProgress)) << "bar hidden";
  EXPECT_FALSE(ui::IsVisible(copy, kCopyFrame)) << "frame hidden";
  EXPECT_TRUE(ui::IsVisible(copy, kConfiguring)) << "configuring text shown";
  EXPECT_EQ(ui::ControlText(copy, kConfiguring), "正在配置系统, 请稍候...");
  EXPECT_FALSE(ui::IsEnabled(copy, IDCANCEL)) << "Cancel disabled";
  MoveAside(prompt.window);
  Shot(nullptr, "setup_copy_page_closing");

  ASSERT_TRUE(ui::Answer(prompt, IDABORT));
  EXPECT_EQ(run.WaitExit(), 2u) << "the worker gave up: Setup ends, nothing installed";
  EXPECT_FALSE(FileExists("D:\\Inst\\Uninstall.log")) << "no record";
}

TEST_F(CopyPage, CancelAnsweredNoGoesOnAndYesEndsSetupWithoutTheFinishPage) {
  Medium medium;
  medium.folders = {{"Support", 3000}, {"Controls", 1}, {"图框", 1}, {"Data", 1}, {"Temp", 1}};
  HWND copy = StartCopy(medium, "D:\\Inst\\");
  ASSERT_NE(copy, nullptr);
  ASSERT_TRUE(ui::WaitUntil([&] { return !ui::ControlText(copy, kStatus).empty(); })) << "copying started";

  ASSERT_TRUE(ui::Click(copy, IDCANCEL));
  ui::MessageBoxInfo box = run.WaitBox();
  ASSERT_NE(box.window, nullptr) << "the cancel question";
  EXPECT_EQ(box.text, kCancelQuestion);
  EXPECT_EQ(box.caption, "setup") << "the application's name";
  EXPECT_TRUE(box.Has(IDYES) && box.Has(IDNO));
  EXPECT_TRUE(ui::MessageBoxShowsIcon(box, IDI_QUESTION));
  const std::string before = ui::ControlText(copy, kStatus);
  EXPECT_TRUE(ui::WaitUntil([&] { return ui::ControlText(copy, kStatus) != before; }, 5000))
      << "the worker goes on while the question is open";
  Shot(nullptr, "setup_copy_cancel_question");
  ASSERT_TRUE(ui::Answer(box, IDNO));
  ASSERT_TRUE(ui::WaitUntil([&] { return ::IsWindowEnabled(copy) != FALSE; }, 5000));
  EXPECT_EQ(run.FindPage(Page::Copy), copy) << "No: the page stays";
  const std::string after = ui::ControlText(copy, kStatus);
  EXPECT_TRUE(ui::WaitUntil([&] { return ui::ControlText(copy, kStatus) != after; }, 5000)) << "copying goes on";

  ASSERT_TRUE(ui::Click(copy, IDCANCEL));
  box = run.WaitBox();
  ASSERT_EQ(box.text, kCancelQuestion);
  ASSERT_TRUE(ui::Answer(box, IDYES));
  EXPECT_TRUE(ui::WaitUntil([&] { return !::IsWindowVisible(copy); }, 5000)) << "the page goes at once";
  bool finishSeen = false;
  ui::WaitUntil([&] {
    finishSeen = finishSeen || run.FindPage(Page::Finish) != nullptr;
    return !run.Running();
  }, 20000);
  EXPECT_FALSE(finishSeen) << "no finish page after a confirmed cancel";
  EXPECT_EQ(run.WaitExit(), 2u) << "Setup ends normally, its worker joined, nothing installed";
  EXPECT_EQ(ui::FindTopWindow("#32770", "真要退出安装程序吗?", 0), nullptr);
  EXPECT_FALSE(FileExists("D:\\Inst\\Uninstall.log")) << "no install record";
  EXPECT_LT(CountFilesUnder("D:\\Inst\\Support"), 3000) << "the worker stopped early";
  EXPECT_EQ(ProductKeyValueCount(), 0) << "no product values written";
}

TEST_F(CopyPage, EnterWhileCopyingNeitherEndsThePageNorStartsASecondWorker) {
  Medium medium;
  medium.folders = {{"Support", 1500}, {"Controls", 1}, {"图框", 1}, {"Data", 1}, {"Temp", 1}};
  HWND copy = StartCopy(medium, "D:\\Inst\\");
  ASSERT_NE(copy, nullptr);
  ASSERT_TRUE(ui::WaitUntil([&] { return !ui::ControlText(copy, kStatus).empty(); }));
  for (int i = 0; i < 5; ++i) {
    ui::PostCommand(copy, IDOK);
    ::Sleep(50);
  }
  bool otherCopyPage = false;
  HWND finish = nullptr;
  ui::WaitUntil([&] {
    HWND shown = run.FindPage(Page::Copy);
    otherCopyPage = otherCopyPage || (shown && shown != copy);
    return (finish = run.FindPage(Page::Finish)) != nullptr || !run.Running();
  }, 60000);
  EXPECT_FALSE(otherCopyPage) << "the copy page was never shown a second time";
  ASSERT_NE(finish, nullptr) << "the one worker finished";
  EXPECT_EQ(CountFilesUnder("D:\\Inst\\Support"), 1501);

  // Esc on the finish page asks the exit question; Yes ends Setup.
  ui::PostCommand(finish, IDCANCEL);
  const ui::MessageBoxInfo exit = run.WaitBox();
  EXPECT_EQ(exit.text, "真要退出安装程序吗?");
  ASSERT_TRUE(ui::Answer(exit, IDYES));
  EXPECT_EQ(run.WaitExit(), 0u);
}

}  // namespace
