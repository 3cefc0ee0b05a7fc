// The whole round: the install engine copies a small medium to drive D: and
// writes its record; then the real Uninstall.exe, left in the install folder
// by the engine, takes everything away again, the folder included.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "framework/Handles.h"
#include "framework/Wnd.h"
#include "install/SetupThread.h"
#include "medium/control/ControlIdentity.h"
#include "tests/ui/UiTest.h"
#include "tests/wine/uninstall/UninstallTestSupport.h"

namespace {

const char kSource[] = "C:\\安装 介质\\";
const char kInstall[] = "D:\\Terrasum V8\\";
const char kProductKey[] = "SOFTWARE\\Kelvarin\\Terrasum\\V8";
const char kArpKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Terrasum V8";
constexpr DWORD kLongWait = 120000;

// A hidden window standing in for Setup's copy page.
class Page : public CWnd {
 public:
  Page() { SubclassWindow(::CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr)); }
  ~Page() override {
    HWND w = UnsubclassWindow();
    if (w) ::DestroyWindow(w);
  }
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
    if (msg >= WM_SETUP_FILE && msg <= WM_SETUP_FAILED) return 0;
    return CWnd::WindowProc(msg, wp, lp);
  }
};

void Put(const std::string& path, const std::string& bytes, DWORD attributes = 0) {
  ut::MakeFolders(path.substr(0, path.rfind('\\')));
  ut::WriteBytes(path, bytes);
  if (attributes) ::SetFileAttributesA(path.c_str(), attributes);
}

void MakeMedium() {
  const std::string s = kSource;
  ut::RemoveTree(s.substr(0, s.size() - 1));
  Put(s + "setup.exe", "not copied");
  ASSERT_TRUE(::CopyFileA((ui::BuildDir() + "bin\\Uninstall.exe").c_str(), (s + "Uninstall.exe").c_str(), FALSE));
  Put(s + "Terrasum.exe", "program");
  Put(s + "readme.txt", "read me", FILE_ATTRIBUTE_READONLY);
  Put(s + "Support\\a.arx", "arx");
  Put(s + "Support\\菜单\\b.mnu", "menu", FILE_ATTRIBUTE_READONLY);
  ut::MakeFolders(s + "Controls");
  ASSERT_TRUE(::CopyFileA((ui::BuildDir() + "bin\\TerrasumGrid.ocx").c_str(), (s + "Controls\\TerrasumGrid.ocx").c_str(), FALSE));
  Put(s + "图框\\A3.dwg", "frame");
  Put(s + "Data\\d.dat", "data");
  ut::MakeFolders(s + "Temp");
}

// Runs the engine; any box it shows is answered and recorded.
std::vector<std::string> Install() {
  std::vector<std::string> boxes;
  std::atomic<bool> done{false};
  std::thread answerer([&] {
    while (!done) {
      const ui::MessageBoxInfo box = ui::WaitForMessageBox(::GetCurrentProcessId(), 300);
      if (!box.window) continue;
      boxes.push_back(box.text);
      ui::Answer(box, box.buttons.empty() ? IDOK : box.buttons.front());
      ui::WaitUntil([&] { return !::IsWindow(box.window); });
    }
  });
  CSetupThread worker;
  Page page;
  worker.m_sourceFolder = kSource;
  worker.m_installFolder = kInstall;
  worker.m_pMainWnd = &page;
  worker.m_bAutoDelete = FALSE;
  if (worker.CreateThread()) worker.WaitForEnd(true);
  done = true;
  answerer.join();
  return boxes;
}

TEST(UninstallAfterInstall, TheEnginesRecordIsReplayedAndTheInstallFolderGoesAway) {
  MakeMedium();
  ut::RemoveTree(std::string(kInstall, sizeof kInstall - 2));
  const std::vector<std::string> boxes = Install();
  EXPECT_TRUE(boxes.empty()) << "the install asked: " << (boxes.empty() ? "" : boxes.front());
  const std::string f = kInstall, log = f + "Uninstall.log";
  ASSERT_TRUE(ut::Exists(log)) << "the engine wrote its record";
  const std::string record = ut::ReadBytes(log);
  const std::string classKey = std::string("CLSID\\") + medium::kGridControl.clsid;
  ASSERT_TRUE(ut::KeyExists(HKEY_CLASSES_ROOT, classKey)) << "the engine registered the control";
  ASSERT_TRUE(ut::KeyExists(HKEY_LOCAL_MACHINE, kProductKey));
  ASSERT_TRUE(ut::Exists(f + "Uninstall.exe"));
  // The shortcut files and the group folder the engine recorded.
  std::vector<std::string> shortcuts;
  for (std::size_t at = record.find("File Copy: "); at != std::string::npos; at = record.find("File Copy: ", at + 1)) {
    const std::string value = record.substr(at + 11, record.find("\r\n", at) - at - 11);
    if (value.compare(0, f.size(), f) != 0) shortcuts.push_back(value);
  }
  EXPECT_FALSE(shortcuts.empty()) << "no shortcut entries in the record:\n" << record;

  ui::Process process;
  ASSERT_TRUE(process.Start("\"" + f + "Uninstall.exe\"", "D:\\"));
  const ui::MessageBoxInfo ask = ui::WaitForMessageBox(process.Id());
  ASSERT_EQ(ask.text, "真要卸载 Gravo V6.0吗?");
  ASSERT_TRUE(ui::Answer(ask, IDYES));
  HWND dlg = ui::WaitForWindow("#32770", "Gravo V6.0 卸载", process.Id());
  ASSERT_TRUE(dlg);
  ASSERT_TRUE(ui::WaitUntil([&] { return ui::IsEnabled(dlg, IDOK); }, kLongWait)) << "the replay finished";
  ASSERT_TRUE(ui::Click(dlg, IDOK));
  EXPECT_EQ(process.Wait(), 0u);

  EXPECT_FALSE(ut::KeyExists(HKEY_CLASSES_ROOT, classKey)) << "control unregistered";
  EXPECT_FALSE(ut::KeyExists(HKEY_CLASSES_ROOT, medium::kGridControl.versionIndependentProgId));
  EXPECT_FALSE(ut::KeyExists(HKEY_LOCAL_MACHINE, kProductKey));
  EXPECT_FALSE(ut::KeyExists(HKEY_LOCAL_MACHINE, kArpKey));
  for (const auto& s : shortcuts) EXPECT_FALSE(ut::Exists(s)) << s;
  // Read-only files and all; the batch takes the program and the folder.
  EXPECT_TRUE(ui::WaitUntil([&] { return !ut::Exists(f.substr(0, f.size() - 1)); }, kLongWait))
      << "install folder left with: " << (ut::Exists(f + "Uninstall.exe") ? "Uninstall.exe " : "")
      << (ut::Exists(f + "readme.txt") ? "readme.txt " : "") << (ut::Exists(f + "Support") ? "Support " : "");
  EXPECT_TRUE(ui::WaitUntil([&] { return ut::BatchFolders().empty(); }, kLongWait)) << "the batch and its folder";
  EXPECT_FALSE(ut::Exists("D:\\DelUS.bat"));
}

}  // namespace
