// The wizard's page sequence as a user drives it: the previous-installation
// question, the exit question on every page, the agreement page's choice and
// the install path page's rules.
// A run that ends without installing ends with exit code 2.
#include <gtest/gtest.h>

#include "tests/wine/setup/SetupDriver.h"

using namespace setuptest;

namespace {

class WizardFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    Medium medium;
    medium.folders.clear();  // an accepted path ends at the worker's first prompt
    medium.supportSubfolder = false;
    BuildMedium(medium);
    DeleteProductKey();
    ASSERT_TRUE(run.Start()) << "E:\\setup.exe starts";
  }
  void TearDown() override { run.Kill(); }

  // Ends a run that reached the copy page of a medium without folders: the
  // worker asks for the missing "Support"; Abort makes it give up.
  void AbortAtMissingFolder() {
    const ui::MessageBoxInfo prompt = run.WaitBox();
    ASSERT_NE(prompt.window, nullptr) << "the worker's prompt for the missing folder";
    EXPECT_NE(prompt.text.find("E:\\Support\\"), std::string::npos) << prompt.text;
    EXPECT_TRUE(ui::Answer(prompt, IDABORT));
    EXPECT_EQ(run.WaitExit(), 2u) << "Setup ends after the worker gave up";
  }

  SetupRun run;
};

TEST_F(WizardFlow, PreviousInstallationAnsweredNoEndsSetupWithoutAPage) {
  run.Kill();
  SetInstallPath("D:\\Old\\");
  ASSERT_TRUE(run.Start());
  const ui::MessageBoxInfo box = run.WaitBox();
  ASSERT_NE(box.window, nullptr) << "the previous-installation question";
  EXPECT_EQ(box.text, "已经安装了本软件!\n是否重新安装?");
  EXPECT_EQ(box.caption, "警告");
  EXPECT_TRUE(box.Has(IDYES) && box.Has(IDNO)) << "Yes and No";
  EXPECT_TRUE(ui::MessageBoxShowsIcon(box, IDI_QUESTION)) << "question icon";
  Shot(nullptr, "setup_previous_installation");
  // Every show is recorded, not polled for: the background up for an instant
  // only must fail this as surely as one that stays.
  ui::ShowRecorder shows(box.window);
  ASSERT_TRUE(shows.Active());
  EXPECT_TRUE(ui::Answer(box, IDNO));
  shows.WaitUntil([&] { return !run.Running(); }, 20000);
  EXPECT_EQ(run.WaitExit(), 2u) << "Setup ends";
  EXPECT_TRUE(shows.Shown().empty()) << "neither the background nor a page is shown; shown: " << shows.Describe();
}

TEST_F(WizardFlow, AnInstallPathTooLongToReadCountsAsNotInstalled) {
  run.Kill();
  SetInstallPath(std::string(3000, 'x'));
  ASSERT_TRUE(run.Start());
  HWND welcome = run.WaitPage(Page::Welcome);
  EXPECT_NE(welcome, nullptr) << "no question: the welcome page at once";
  EXPECT_TRUE(run.CancelAndAnswer(welcome, IDYES));
  EXPECT_EQ(run.WaitExit(), 2u);
}

TEST_F(WizardFlow, PreviousInstallationAnsweredYesStartsWithTheDefaultFolder) {
  run.Kill();
  SetInstallPath("");  // even an empty value counts as installed
  ASSERT_TRUE(run.Start());
  const ui::MessageBoxInfo box = run.WaitBox();
  ASSERT_EQ(box.text, "已经安装了本软件!\n是否重新安装?");
  ui::ShowRecorder shows(box.window);
  ASSERT_TRUE(shows.Active());
  EXPECT_TRUE(ui::Answer(box, IDYES));
  HWND path = run.GoToPathPage();
  ASSERT_NE(path, nullptr);
  HWND background = run.WaitBackground();
  EXPECT_TRUE(shows.WaitUntil([&] { return shows.WasShown(background); }, 5000))
      << "the background's show is recorded (what the answer No must not bring); shown: " << shows.Describe();
  EXPECT_EQ(ui::ControlText(path, kPath), kDefaultFolder) << "the default folder, not the recorded one";
  EXPECT_TRUE(run.CancelAndAnswer(path, IDYES));
  EXPECT_EQ(run.WaitExit(), 2u);
}

TEST_F(WizardFlow, CancelOnTheWelcomePageLeavesTheEmptyProductKeyBehind) {
  HWND welcome = run.WaitPage(Page::Welcome);
  ASSERT_NE(welcome, nullptr);
  EXPECT_EQ(ui::Text(welcome), kCaption);
  EXPECT_EQ(ui::ControlText(welcome, kTitle), "欢迎使用 Terrasum V8.0 土方工程量计算软件");
  EXPECT_EQ(ui::ControlText(welcome, kWelcomeText), "单击 “下一步” 按钮继续安装 , \n单击 “取  消” 按钮退出安装程序。");
  HWND background = run.WaitBackground();
  ASSERT_NE(background, nullptr);
  EXPECT_EQ(ui::Text(background), kCaption) << "the background's taskbar caption";
  EXPECT_TRUE(::IsZoomed(background)) << "the background is maximised";
  EXPECT_FALSE(::IsWindowEnabled(background)) << "disabled while a page is modal";
  Shot(nullptr, "setup_welcome_page");

  ASSERT_TRUE(ui::Click(welcome, IDCANCEL));
  const ui::MessageBoxInfo box = run.WaitBox();
  EXPECT_EQ(box.text, "真要退出安装程序吗?");
  EXPECT_EQ(box.caption, kCaption);
  EXPECT_TRUE(box.Has(IDYES) && box.Has(IDNO));
  EXPECT_TRUE(ui::MessageBoxShowsIcon(box, IDI_QUESTION));
  Shot(nullptr, "setup_exit_question");
  EXPECT_TRUE(ui::Answer(box, IDYES));
  EXPECT_EQ(run.WaitExit(), 2u);
  EXPECT_TRUE(ProductKeyExists()) << "the check opened the key with create semantics";
  EXPECT_EQ(ProductKeyValueCount(), 0) << "and left it empty";
}

TEST_F(WizardFlow, CancelAnsweredNoShowsEachPageAgainWithItsData) {
  HWND welcome = run.WaitPage(Page::Welcome);
  ASSERT_NE(welcome, nullptr);
  ASSERT_TRUE(run.CancelAndAnswer(welcome, IDNO));
  welcome = run.WaitPage(Page::Welcome);
  ASSERT_NE(welcome, nullptr) << "the welcome page again";
  ASSERT_TRUE(ui::Click(welcome, kNext));

  HWND agreement = run.WaitPage(Page::Agreement);
  ASSERT_NE(agreement, nullptr);
  ASSERT_TRUE(ui::Click(agreement, kAgree));
  ASSERT_TRUE(ui::WaitUntil([&] { return ui::IsEnabled(agreement, kNext); }, 5000));
  ASSERT_TRUE(run.CancelAndAnswer(agreement, IDNO));
  ASSERT_TRUE(ui::WaitUntil([&] { return !::IsWindow(agreement); }, 5000)) << "the page ended";
  agreement = run.WaitPage(Page::Agreement);
  ASSERT_NE(agreement, nullptr) << "the agreement page again";
  EXPECT_TRUE(ui::IsChecked(agreement, kAgree)) << "the choice survived the refused cancel";
  EXPECT_FALSE(ui::IsChecked(agreement, kDisagree));
  EXPECT_TRUE(ui::IsEnabled(agreement, kNext));
  ASSERT_TRUE(ui::Click(agreement, kNext));

  HWND path = run.WaitPage(Page::Path);
  ASSERT_NE(path, nullptr);
  ASSERT_TRUE(ui::SetEditText(path, kPath, "D:\\Typed\\"));
  ASSERT_TRUE(run.CancelAndAnswer(path, IDNO));
  ASSERT_TRUE(ui::WaitUntil([&] { return !::IsWindow(path); }, 5000));
  path = run.WaitPage(Page::Path);
  ASSERT_NE(path, nullptr) << "the install path page again";
  EXPECT_EQ(ui::ControlText(path, kPath), kDefaultFolder) << "cancel does not store the edit";

  ASSERT_TRUE(run.CancelAndAnswer(path, IDYES));
  EXPECT_EQ(run.WaitExit(), 2u) << "Yes ends Setup";
}

TEST_F(WizardFlow, AgreementStartsDisagreedAndTheChoiceSurvivesBackAndOk) {
  HWND welcome = run.WaitPage(Page::Welcome);
  ASSERT_NE(welcome, nullptr);
  ASSERT_TRUE(ui::Click(welcome, kNext));
  HWND agreement = run.WaitPage(Page::Agreement);
  ASSERT_NE(agreement, nullptr);
  EXPECT_TRUE(ui::IsChecked(agreement, kDisagree)) << "first shown: 不同意 checked";
  EXPECT_FALSE(ui::IsChecked(agreement, kAgree));
  EXPECT_FALSE(ui::IsEnabled(agreement, kNext)) << "Next disabled";
  const std::string text = ui::ControlText(agreement, kAgreementText);
  EXPECT_GT(text.size(), 1500u) << "about a thousand characters of agreement";
  EXPECT_NE(text.find("\r\n\r\n"), std::string::npos) << "paragraphs in CR LF lines";
  EXPECT_EQ(ui::ControlText(agreement, kAgree), "同意");
  EXPECT_EQ(ui::ControlText(agreement, kDisagree), "不同意");
  Shot(nullptr, "setup_agreement_page");

  ASSERT_TRUE(ui::Click(agreement, kAgree));
  ASSERT_TRUE(ui::WaitUntil([&] { return ui::IsEnabled(agreement, kNext); }, 5000)) << "agreeing enables Next";
  EXPECT_FALSE(ui::IsChecked(agreement, kDisagree)) << "the page keeps the two exclusive";
  ASSERT_TRUE(ui::Click(agreement, kDisagree));
  ASSERT_TRUE(ui::WaitUntil([&] { return !ui::IsEnabled(agreement, kNext); }, 5000)) << "disagreeing disables it";
  EXPECT_FALSE(ui::IsChecked(agreement, kAgree));
  ASSERT_TRUE(ui::Click(agreement, kAgree));
  ASSERT_TRUE(ui::WaitUntil([&] { return ui::IsEnabled(agreement, kNext); }, 5000));

  ASSERT_TRUE(ui::Click(agreement, kBack));
  welcome = run.WaitPage(Page::Welcome);
  ASSERT_NE(welcome, nullptr) << "Back leads to the welcome page";
  ASSERT_TRUE(ui::Click(welcome, kNext));
  agreement = run.WaitPage(Page::Agreement);
  ASSERT_NE(agreement, nullptr);
  EXPECT_TRUE(ui::IsChecked(agreement, kAgree)) << "the choice survived Back and Next";
  EXPECT_TRUE(ui::IsEnabled(agreement, kNext));

  // The dialog's OK command (Enter) shows the page again as it stood.
  ui::PostCommand(agreement, IDOK);
  ASSERT_TRUE(ui::WaitUntil([&] { return !::IsWindow(agreement); }, 5000)) << "IDOK ended the page";
  agreement = run.WaitPage(Page::Agreement);
  ASSERT_NE(agreement, nullptr) << "and it is shown again";
  EXPECT_TRUE(ui::IsChecked(agreement, kAgree));
  EXPECT_TRUE(run.CancelAndAnswer(agreement, IDYES));
  EXPECT_EQ(run.WaitExit(), 2u);
}

TEST_F(WizardFlow, InstallPathPageRefusesAPathWithoutBackslashAndForgetsOnBack) {
  HWND path = run.GoToPathPage();
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(ui::ControlText(path, kPath), kDefaultFolder);
  Shot(nullptr, "setup_install_path_page");

  // A typed path is not kept by Back.
  ASSERT_TRUE(ui::SetEditText(path, kPath, "D:\\Typed\\"));
  ASSERT_TRUE(ui::Click(path, kBack));
  HWND agreement = run.WaitPage(Page::Agreement);
  ASSERT_NE(agreement, nullptr) << "Back leads to the agreement page";
  ASSERT_TRUE(ui::Click(agreement, kNext));
  path = run.WaitPage(Page::Path);
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(ui::ControlText(path, kPath), kDefaultFolder) << "the previous folder again";

  // "C:" is refused with the whole text selected and the edit focused.
  HWND edit = ui::Control(path, kPath);
  auto selection = [&] { return static_cast<DWORD>(::SendMessageA(edit, EM_GETSEL, 0, 0)); };
  ASSERT_TRUE(ui::SetEditText(path, kPath, "C:"));
  ::SendMessageA(edit, EM_SETSEL, 1, 1);
  ASSERT_TRUE(ui::Click(path, kNext));
  // The click moves the focus to Next; the refusal brings it back.
  ASSERT_TRUE(ui::WaitUntil([&] { return FocusOf(path) == edit && selection() == MAKELONG(0, 2); }, 5000))
      << "the edit got the focus with all of C: selected; selection " << LOWORD(selection()) << ".."
      << HIWORD(selection());
  EXPECT_EQ(run.FindPage(Page::Path), path) << "the page stays";
  EXPECT_EQ(run.FindPage(Page::Copy), nullptr);
  ASSERT_TRUE(ui::SetEditText(path, kPath, ""));
  ASSERT_TRUE(ui::Click(path, kNext));
  ::Sleep(300);
  EXPECT_EQ(run.FindPage(Page::Path), path) << "an empty path is refused too";

  // A refused Next still stored the text: Back and Next show it.
  ASSERT_TRUE(ui::SetEditText(path, kPath, "C:"));
  ::SendMessageA(edit, EM_SETSEL, 1, 1);
  ASSERT_TRUE(ui::Click(path, kNext));
  ASSERT_TRUE(ui::WaitUntil([&] { return selection() == MAKELONG(0, 2); }, 5000)) << "refused again";
  ASSERT_TRUE(ui::Click(path, kBack));
  agreement = run.WaitPage(Page::Agreement);
  ASSERT_NE(agreement, nullptr);
  ASSERT_TRUE(ui::Click(agreement, kNext));
  path = run.WaitPage(Page::Path);
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(ui::ControlText(path, kPath), "C:") << "kept by the refused Next";

  // A full path on a drive is accepted: the copy page follows.
  ASSERT_TRUE(ui::SetEditText(path, kPath, "D:\\abc\\"));
  ASSERT_TRUE(ui::Click(path, kNext));
  HWND copy = run.WaitPage(Page::Copy);
  EXPECT_NE(copy, nullptr) << "D:\\abc\\ accepted";
  AbortAtMissingFolder();
}

TEST_F(WizardFlow, OkOnThePathPageShowsItAgain) {
  HWND path = run.GoToPathPage();
  ASSERT_NE(path, nullptr);
  ASSERT_TRUE(ui::SetEditText(path, kPath, "D:\\Typed\\"));
  ui::PostCommand(path, IDOK);
  ASSERT_TRUE(ui::WaitUntil([&] { return !::IsWindow(path); }, 5000));
  path = run.WaitPage(Page::Path);
  ASSERT_NE(path, nullptr) << "shown again after IDOK";
  EXPECT_EQ(ui::ControlText(path, kPath), kDefaultFolder) << "IDOK does not store the edit";
  EXPECT_TRUE(run.CancelAndAnswer(path, IDYES));
  EXPECT_EQ(run.WaitExit(), 2u);
}

}  // namespace
