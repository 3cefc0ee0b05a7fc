// The install path page's folder browser: the shell's browse dialog driven by
// its own controls (its tree view, status line and OK button).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "tests/wine/setup/SetupDriver.h"

using namespace setuptest;

namespace {

// Controls of the shell's browse dialog.
constexpr int kBrowseTree = 0x3741;
constexpr int kBrowseTitle = 0x3742;
constexpr int kBrowseStatus = 0x3743;

class Browse : public ::testing::Test {
 protected:
  void SetUp() override {
    Medium medium;
    medium.folders.clear();
    BuildMedium(medium);
    RemoveTree("D:\\Tools");
    ::CreateDirectoryA("D:\\Tools", nullptr);
    DeleteProductKey();
    ASSERT_TRUE(run.Start());
    path = run.GoToPathPage();
    ASSERT_NE(path, nullptr);
  }
  void TearDown() override { run.Kill(); }

  // Presses "..." and waits for the browse dialog.
  HWND OpenBrowser(const std::string& typed) {
    EXPECT_TRUE(ui::SetEditText(path, kPath, typed));
    EXPECT_TRUE(ui::Click(path, kBrowse));
    HWND browser = ui::WaitForDialogWithControl(kBrowseTree, run.Id());
    tree = ui::Control(browser, kBrowseTree);
    return browser;
  }
  std::string Status(HWND browser) const { return ui::ControlText(browser, kBrowseStatus); }
  HTREEITEM Item(UINT relation, HTREEITEM from = nullptr) const {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
  }
  // Selects an item as a click would; the page's callback then shows its path.
  void Select(HTREEITEM item) const { ::SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); }
  // The folder path of an item, read through the status line.
  std::string PathOf(HWND browser, HTREEITEM item) const {
    HTREEITEM parent = Item(TVGN_PARENT, item);
    if (Item(TVGN_CARET) == item && parent) Select(parent);
    Select(item);
    return Status(browser);
  }

  SetupRun run;
  HWND path = nullptr;
  HWND tree = nullptr;
};

TEST_F(Browse, OpensOnTheTypedFolderAndAppendsTheProductFolders) {
  HWND browser = OpenBrowser("D:\\Tools");
  ASSERT_NE(browser, nullptr) << "the browse dialog";
  EXPECT_EQ(ui::ControlText(browser, kBrowseTitle), "请选择安装路径:") << "instruction from string 102";
  EXPECT_EQ(Status(browser), "D:\\Tools") << "status line shows the initial folder";
  ::RedrawWindow(browser, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::Sleep(500);  // the tree view paints after the callback
  Shot(nullptr, "setup_browse_dialog");
  HTREEITEM initial = Item(TVGN_CARET);
  ASSERT_NE(initial, nullptr);
  EXPECT_EQ(PathOf(browser, initial), "D:\\Tools") << "the initial selection";
  ASSERT_TRUE(ui::Click(browser, IDOK));
  ASSERT_TRUE(ui::WaitUntil([&] { return !::IsWindow(browser); }, 5000));
  EXPECT_EQ(ui::ControlText(path, kPath), "D:\\Tools\\Kelvarin\\Terrasum");

  // Browsing fills only the edit: Back and Next show the folder handed in.
  ASSERT_TRUE(ui::Click(path, kBack));
  HWND agreement = run.WaitPage(Page::Agreement);
  ASSERT_NE(agreement, nullptr);
  ASSERT_TRUE(ui::Click(agreement, kNext));
  path = run.WaitPage(Page::Path);
  ASSERT_NE(path, nullptr);
  EXPECT_EQ(ui::ControlText(path, kPath), kDefaultFolder) << "browsing did not change the install folder";
}

TEST_F(Browse, TheRootOfADriveGetsNoDoubleBackslash) {
  HWND browser = OpenBrowser("D:\\Tools");
  ASSERT_NE(browser, nullptr);
  HTREEITEM drive = Item(TVGN_PARENT, Item(TVGN_CARET));
  ASSERT_NE(drive, nullptr);
  EXPECT_EQ(PathOf(browser, drive), "D:\\") << "the drive above the initial folder";
  // Its parent, the computer, is no file-system folder: an empty status line.
  HTREEITEM computer = Item(TVGN_PARENT, drive);
  ASSERT_NE(computer, nullptr);
  Select(computer);
  EXPECT_EQ(Status(browser), "") << "a virtual folder clears the status line";
  Select(drive);
  EXPECT_EQ(Status(browser), "D:\\");
  ASSERT_TRUE(ui::Click(browser, IDOK));
  ASSERT_TRUE(ui::WaitUntil([&] { return !::IsWindow(browser); }, 5000));
  EXPECT_EQ(ui::ControlText(path, kPath), "D:\\Kelvarin\\Terrasum");
}

TEST_F(Browse, CancelKeepsTheEditAndAMissingFolderStillShowsInTheStatus) {
  HWND browser = OpenBrowser("D:\\Missing\\Folder");
  ASSERT_NE(browser, nullptr);
  EXPECT_EQ(Status(browser), "D:\\Missing\\Folder") << "the status line shows the folder even when absent";
  ASSERT_TRUE(ui::Click(browser, IDCANCEL));
  ASSERT_TRUE(ui::WaitUntil([&] { return !::IsWindow(browser); }, 5000));
  EXPECT_EQ(ui::ControlText(path, kPath), "D:\\Missing\\Folder") << "cancelled: the edit keeps its text";
  EXPECT_EQ(run.FindPage(Page::Path), path) << "the page stays";

  // The browser can be opened again after a cancel.
  browser = OpenBrowser("D:\\Tools");
  ASSERT_NE(browser, nullptr);
  EXPECT_EQ(Status(browser), "D:\\Tools");
  ASSERT_TRUE(ui::Click(browser, IDCANCEL));
  ASSERT_TRUE(ui::WaitUntil([&] { return !::IsWindow(browser); }, 5000));
  EXPECT_TRUE(run.CancelAndAnswer(path, IDYES));
  EXPECT_EQ(run.WaitExit(), 2u);
}

}  // namespace
