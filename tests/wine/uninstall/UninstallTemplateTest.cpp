// Dialog template 102 as the program carries it, created here from the same
// resource script, and the installation folder read from the product key.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "tests/ui/UiTest.h"
#include "tests/wine/uninstall/ReplayHarness.h"
#include "tests/wine/uninstall/UninstallTestSupport.h"
#include "uninstall/UninstallDialog.h"

namespace {

INT_PTR CALLBACK PlainProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

struct Item {
  int id;
  const char* className;
  const char* text;
  RECT units;  // left, top, width, height in dialog units
  DWORD style;
};

TEST(UninstallTemplate, Dialog102HasItsStylesTextsRectanglesAndFont) {
  HWND dlg = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(CUninstallDialog::IDD), nullptr,
                                  &PlainProc, 0);
  ASSERT_NE(dlg, nullptr);
  char caption[64] = {};
  ::GetWindowTextA(dlg, caption, sizeof caption);
  EXPECT_STREQ(caption, "Gravo V6.0 卸载");
  const DWORD style = static_cast<DWORD>(::GetWindowLongA(dlg, GWL_STYLE));
  const DWORD wanted = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  EXPECT_EQ(style & wanted, wanted) << std::hex << style;
  const DWORD ex = static_cast<DWORD>(::GetWindowLongA(dlg, GWL_EXSTYLE));
  EXPECT_EQ(ex & (WS_EX_APPWINDOW | WS_EX_CLIENTEDGE), static_cast<DWORD>(WS_EX_APPWINDOW | WS_EX_CLIENTEDGE)) << ex;

  HFONT font = reinterpret_cast<HFONT>(::SendMessageA(dlg, WM_GETFONT, 0, 0));
  LOGFONTA lf{};
  ASSERT_TRUE(::GetObjectA(font, sizeof lf, &lf));
  EXPECT_STREQ(lf.lfFaceName, "宋体");
  HDC dc = ::GetDC(dlg);
  EXPECT_EQ(-lf.lfHeight, ::MulDiv(9, ::GetDeviceCaps(dc, LOGPIXELSY), 72)) << "9 points";
  ::ReleaseDC(dlg, dc);

  RECT client{0, 0, 249, 121};
  ::MapDialogRect(dlg, &client);
  RECT actual{};
  ::GetClientRect(dlg, &actual);
  EXPECT_EQ(actual.right, client.right) << "client width of 249 units";
  EXPECT_EQ(actual.bottom, client.bottom) << "client height of 121 units";

  const std::vector<Item> items = {
      {1002, "Static", "谢谢使用  土方工程量计算软件 Gravo V6.0 ", {10, 9, 160, 9}, 0},
      {1004, "Button", "删除文件", {9, 37, 233, 56}, BS_GROUPBOX},
      {1001, "Static", "", {16, 54, 219, 10}, 0},
      {1003, "Static", "卸载完成!", {99, 54, 51, 10}, 0},
      // The template gives the bar WS_BORDER; Wine's progress bar takes the
      // style off the window when it draws its own frame.
      {1000, "msctls_progress32", "", {15, 73, 219, 13}, 0},
      {IDOK, "Button", "完成", {130, 103, 52, 14}, 0},
      {IDCANCEL, "Button", "取消", {190, 103, 52, 14}, 0},
  };
  for (const auto& item : items) {
    HWND c = ::GetDlgItem(dlg, item.id);
    ASSERT_NE(c, nullptr) << item.id;
    char cls[64] = {}, text[128] = {};
    ::GetClassNameA(c, cls, sizeof cls);
    ::GetWindowTextA(c, text, sizeof text);
    EXPECT_STREQ(cls, item.className) << item.id;
    EXPECT_STREQ(text, item.text) << item.id;
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(c, GWL_STYLE)) & item.style, item.style) << item.id;
    // Position and size are converted separately, as the dialog manager does.
    RECT want = item.units;
    ::MapDialogRect(dlg, &want);
    RECT got{};
    ::GetWindowRect(c, &got);
    ::MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&got), 2);
    EXPECT_EQ(got.left, want.left) << item.id;
    EXPECT_EQ(got.top, want.top) << item.id;
    EXPECT_EQ(got.right - got.left, want.right) << item.id << " width";
    EXPECT_EQ(got.bottom - got.top, want.bottom) << item.id << " height";
  }

  // The two controls without an ID: the vendor's name (disabled) and the line.
  std::vector<HWND> unnamed;
  for (HWND c = ::GetWindow(dlg, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
    if (::GetDlgCtrlID(c) == -1 || ::GetDlgCtrlID(c) == 0xFFFF) unnamed.push_back(c);
  ASSERT_EQ(unnamed.size(), 2u);
  char vendor[64] = {};
  ::GetWindowTextA(unnamed[0], vendor, sizeof vendor);
  EXPECT_STREQ(vendor, "Halvgard 软件");
  EXPECT_FALSE(::IsWindowEnabled(unnamed[0])) << "drawn grey";
  EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(unnamed[1], GWL_STYLE)) & SS_TYPEMASK, static_cast<DWORD>(SS_ETCHEDHORZ));
  ::DestroyWindow(dlg);
}

const char kProductKey[] = "SOFTWARE\\Halvgard\\Gravo\\V6";

TEST(UninstallTemplate, ReadInstallPathTakesTheProductKeysFolderWithABackslash) {
  ut::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Halvgard");
  std::string path = "unchanged";
  EXPECT_FALSE(CUninstallDialog::ReadInstallPath(path)) << "no product key";
  EXPECT_FALSE(ut::KeyExists(HKEY_LOCAL_MACHINE, kProductKey)) << "reading must not create the key";
  ut::MakeKey(HKEY_LOCAL_MACHINE, kProductKey);
  EXPECT_FALSE(CUninstallDialog::ReadInstallPath(path)) << "no installPath";
  ut::SetString(HKEY_LOCAL_MACHINE, kProductKey, "installPath", "D:\\Gravo 六");
  ASSERT_TRUE(CUninstallDialog::ReadInstallPath(path));
  EXPECT_EQ(path, "D:\\Gravo 六\\");
  ut::SetString(HKEY_LOCAL_MACHINE, kProductKey, "installPath", "D:\\G\\");
  ASSERT_TRUE(CUninstallDialog::ReadInstallPath(path));
  EXPECT_EQ(path, "D:\\G\\");
  ut::SetString(HKEY_LOCAL_MACHINE, kProductKey, "installPath", "");
  EXPECT_FALSE(CUninstallDialog::ReadInstallPath(path)) << "an empty value names no folder";
  ut::SetString(HKEY_LOCAL_MACHINE, kProductKey, "installPath", "D:\\" + std::string(1100, 'x'));
  EXPECT_FALSE(CUninstallDialog::ReadInstallPath(path)) << "longer than the 1024-byte buffer";
  ut::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Halvgard");
}

// The real dialog, pointed at a "record" that is a folder: its loading fails,
// and while the boxes are up the dialog answers for its icons.
TEST(UninstallTemplate, TheDialogShowsIcon128AndEndsAfterTheFailureBox) {
  const std::string dir = ut::FreshFolder("icon");
  ut::MakeFolders(dir + "\\Uninstall.log");
  ut::SetString(HKEY_LOCAL_MACHINE, kProductKey, "installPath", dir);
  HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(128));
  ASSERT_NE(icon, nullptr);
  LRESULT big = 0, small = 0, drag = 0;
  std::string first, second;
  bool failureOwnedByDialog = false;
  std::thread driver([&] {
    const ui::MessageBoxInfo error = ui::WaitForMessageBox(::GetCurrentProcessId());
    first = error.text;
    // Messages that return a handle reach only windows of the same process under Wine.
    HWND dlg = ::FindWindowA("#32770", "Gravo V6.0 卸载");
    big = ::SendMessageA(dlg, WM_GETICON, ICON_BIG, 0);
    small = ::SendMessageA(dlg, WM_GETICON, ICON_SMALL, 0);
    drag = ::SendMessageA(dlg, WM_QUERYDRAGICON, 0, 0);
    ui::Answer(error, IDOK);
    ui::WaitUntil([&] { return !::IsWindow(error.window); });
    const ui::MessageBoxInfo failed = ui::WaitForMessageBox(::GetCurrentProcessId());
    second = failed.text;
    failureOwnedByDialog = ::GetWindow(failed.window, GW_OWNER) == dlg;
    ui::Answer(failed, IDOK);
  });
  CUninstallDialog dialog;
  const INT_PTR code = dialog.DoModal();
  driver.join();
  EXPECT_EQ(code, IDCANCEL);
  EXPECT_EQ(first.find("访问文件 " + dir + "\\Uninstall.log 时出错"), 0u) << first;
  EXPECT_EQ(second, "Gravo V6.0 卸载未能完成!");
  EXPECT_TRUE(failureOwnedByDialog) << "the failure box is owned by the dialog";
  EXPECT_EQ(big, reinterpret_cast<LRESULT>(icon)) << "large icon";
  EXPECT_EQ(small, reinterpret_cast<LRESULT>(icon)) << "small icon";
  EXPECT_EQ(drag, reinterpret_cast<LRESULT>(icon)) << "drag icon";
  ut::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Halvgard");
}

TEST(UninstallTemplate, TheProgramFolderEndsWithABackslash) {
  char module[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, module, MAX_PATH);
  std::string expected = module;
  expected.resize(expected.rfind('\\') + 1);
  EXPECT_EQ(CUninstallDialog::ProgramFolder(), expected);
}

}  // namespace
