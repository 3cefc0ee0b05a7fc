// A reinstallation and an uninstallation of the sample medium while a
// program holds one installed ARX module and one top-level file open without
// sharing, as a running AutoCAD does: both files are left to the restart,
// recorded, and the user is told once at the end. Also the folders typed on
// the folder page that are not full paths on a drive.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/Handles.h"
#include "tests/wine/setup/SetupDriver.h"

using namespace setuptest;

namespace {

const char kFolder[] = "D:\\Terrasum\\";
const char kArx[] = "D:\\Terrasum\\Support\\2004-06\\arx\\TerrasumR16.arx";
const char kProgram[] = "D:\\Terrasum\\Terrasum.exe";
const char kSetupRestartText[] = "部分文件正在被其他程序使用，无法立即替换。\n重新启动计算机后即可完成安装。";
const char kUninstallRestartText[] = "部分文件正在被其他程序使用，无法立即删除。\n重新启动计算机后即可完成卸载。";
constexpr DWORD kLongWait = 120000;
constexpr int kFinishText = 1003;  // the uninstaller's "卸载完成!"

std::string Slurp(const std::string& path) {
  ScopedFile file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return "<unreadable>";
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got) bytes.append(buffer, got);
  return bytes;
}

void CopyTree(const std::string& from, const std::string& to) {
  ::CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((from + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) CopyTree(from + "\\" + name, to + "\\" + name);
    else ::CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
}

// Every file under a folder, full paths.
void ListFiles(const std::string& folder, std::vector<std::string>& files) {
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ListFiles(folder + "\\" + name, files);
    else files.push_back(folder + "\\" + name);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
}

// The values of the record's "File Copy: " lines.
std::vector<std::string> RecordedFiles(const std::string& record) {
  std::vector<std::string> files;
  const std::string tag = "File Copy: ";
  for (std::size_t at = record.find(tag); at != std::string::npos; at = record.find(tag, at + 1))
    files.push_back(record.substr(at + tag.size(), record.find("\r\n", at) - at - tag.size()));
  return files;
}

std::size_t IndexOf(const std::vector<std::string>& list, const std::string& value) {
  return static_cast<std::size_t>(std::find(list.begin(), list.end(), value) - list.begin());
}

std::string Joined(const std::vector<std::string>& list) {
  std::string text;
  for (const std::string& entry : list) text += "[" + entry + "] ";
  return text;
}

class InUse : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteProductKey();
    ui::ClearPendingFileRenames();
    RemoveTree(kMedium);
    CopyTree(ui::BuildDir() + "testmedia\\medium", "E:");
    ASSERT_TRUE(FileExists("E:\\Support\\2004-06\\arx\\TerrasumR16.arx")) << "the sample medium on E:";
  }
  void TearDown() override { run.Kill(); }

  // The wizard through to its finish page; a Yes to the question about an
  // earlier installation when there is one.
  HWND InstallUpToFinish(bool reinstall) {
    if (!run.Start()) return nullptr;
    if (reinstall) {
      const ui::MessageBoxInfo box = run.WaitBox();
      if (box.text != "已经安装了本软件!\n是否重新安装?" || !ui::Answer(box, IDYES)) return nullptr;
    }
    HWND path = run.GoToPathPage();
    if (!path || !ui::SetEditText(path, kPath, kFolder) || !ui::Click(path, kNext)) return nullptr;
    HWND finish = nullptr;
    ui::MessageBoxInfo box;
    ui::WaitUntil([&] { return (finish = run.FindPage(Page::Finish)) || (box = run.WaitBox(200)).window; },
                  kLongWait);
    // The restart message comes over the page, which is shown by then.
    if (!finish && box.window) finish = run.FindPage(Page::Finish);
    EXPECT_TRUE(finish || !box.window) << "a box before the finish page: " << box.text;
    return finish;
  }
  // "完成" without the readme, and Setup's end.
  void Finish(HWND finish) {
    if (ui::IsChecked(finish, kReadme)) {
      ASSERT_TRUE(ui::Click(finish, kReadme));
    }
    ASSERT_TRUE(ui::WaitUntil([&] { return !ui::IsChecked(finish, kReadme); }, 5000));
    ASSERT_TRUE(ui::Click(finish, kNext));
    EXPECT_EQ(run.WaitExit(), expectedExit) << "3010: a restart completes the installation";
  }
  DWORD expectedExit = 0;

  SetupRun run;
};

TEST_F(InUse, HeldFilesAreReplacedAndThenDeletedAtTheRestart) {
  HWND finish = InstallUpToFinish(false);
  ASSERT_NE(finish, nullptr) << "first installation";
  EXPECT_EQ(run.WaitBox(1500).window, nullptr) << "nothing in use: no message";
  Finish(finish);
  EXPECT_TRUE(ui::PendingFileRenames().empty()) << Joined(ui::PendingFileRenames());
  const std::string firstArx = Slurp(kArx);

  // AutoCAD's hold on its module and on the product's program.
  ScopedFile arx(::CreateFileA(kArx, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ScopedFile program(::CreateFileA(kProgram, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(arx && program) << "both held";

  expectedExit = 3010;
  finish = InstallUpToFinish(true);
  ASSERT_NE(finish, nullptr) << "the reinstallation reaches its finish page";
  const ui::MessageBoxInfo told = run.WaitBox();
  ASSERT_NE(told.window, nullptr) << "the restart message";
  EXPECT_EQ(told.text, kSetupRestartText);
  EXPECT_EQ(told.buttons, std::vector<int>{IDOK});
  EXPECT_EQ(::GetWindow(told.window, GW_OWNER), finish) << "owned by the finish page";
  EXPECT_TRUE(ui::MessageBoxShowsIcon(told, IDI_ASTERISK));
  Shot(nullptr, "setup_restart_message");
  ASSERT_TRUE(ui::Answer(told, IDOK));
  ASSERT_TRUE(ui::WaitUntil([&] { return !::IsWindow(told.window); }));
  EXPECT_EQ(run.WaitBox(1000).window, nullptr) << "told once";
  Finish(finish);

  const std::string record = Slurp(std::string(kFolder) + "Uninstall.log");
  const std::vector<std::string> recorded = RecordedFiles(record);
  EXPECT_LT(IndexOf(recorded, kArx), recorded.size()) << "the held module is recorded:\n" << record;
  EXPECT_LT(IndexOf(recorded, kProgram), recorded.size()) << "the held program is recorded";
  for (const std::string& path : recorded)
    EXPECT_TRUE(path.size() > 3 && path[1] == ':' && path[2] == '\\') << "a full path: " << path;
  // Each held file has its new copy beside it, moved over it at the restart.
  const std::vector<std::string> pending = ui::PendingFileRenames();
  ASSERT_EQ(pending.size(), 4u) << Joined(pending);
  for (const char* held : {kArx, kProgram}) {
    const std::size_t at = IndexOf(pending, std::string("!\\??\\") + held);
    ASSERT_TRUE(at < pending.size() && at % 2 == 1) << held << " as a target: " << Joined(pending);
    const std::string copy = pending[at - 1].substr(4);  // without "\??\"
    const std::string folder = std::string(held).substr(0, std::string(held).rfind('\\') + 1);
    EXPECT_EQ(copy.compare(0, folder.size(), folder), 0) << "beside it: " << copy;
    EXPECT_LT(IndexOf(recorded, copy), recorded.size()) << "the waiting copy is recorded too: " << copy;
    const std::string medium = std::string("E:\\") + (held + std::string(kFolder).size());
    EXPECT_EQ(Slurp(copy), Slurp(medium)) << copy << " holds the medium's " << medium;
  }

  // The uninstaller in the same state.
  ui::Process uninstall;
  ASSERT_TRUE(uninstall.Start(std::string("\"") + kFolder + "Uninstall.exe\"", "D:\\"));
  const ui::MessageBoxInfo ask = ui::WaitForMessageBox(uninstall.Id());
  ASSERT_EQ(ask.text, "真要卸载 Gravo V6.0吗?");
  ASSERT_TRUE(ui::Answer(ask, IDYES));
  HWND dialog = ui::WaitForWindow("#32770", "Gravo V6.0 卸载", uninstall.Id());
  ASSERT_NE(dialog, nullptr);
  const ui::MessageBoxInfo removal = ui::WaitForMessageBox(uninstall.Id(), kLongWait);
  ASSERT_NE(removal.window, nullptr) << "the restart message of the removal";
  EXPECT_EQ(removal.text, kUninstallRestartText);
  EXPECT_EQ(removal.buttons, std::vector<int>{IDOK});
  EXPECT_EQ(::GetWindow(removal.window, GW_OWNER), dialog) << "owned by the uninstaller's dialog";
  EXPECT_TRUE(ui::IsVisible(dialog, kFinishText)) << "after 卸载完成!";
  Shot(nullptr, "uninstall_restart_message");
  ASSERT_TRUE(ui::Answer(removal, IDOK));
  ASSERT_TRUE(ui::WaitUntil([&] { return ui::IsEnabled(dialog, IDOK); }));
  ASSERT_TRUE(ui::Click(dialog, IDOK));
  EXPECT_EQ(uninstall.Wait(), 3010u) << "a restart completes the removal";

  // The deletions follow the replacements: files first, then the folders
  // they leave empty, inner to outer, the installation folder last.
  const std::vector<std::string> after = ui::PendingFileRenames();
  ASSERT_GE(after.size(), 4u);
  EXPECT_TRUE(std::equal(pending.begin(), pending.end(), after.begin())) << "the replacements stay first";
  const std::vector<std::string> deletions(after.begin() + 4, after.end());
  std::vector<std::string> expected;
  for (const char* path : {kArx, kProgram, "D:\\Terrasum\\Support\\2004-06\\arx", "D:\\Terrasum\\Support\\2004-06",
                           "D:\\Terrasum\\Support", "D:\\Terrasum"}) {
    expected.push_back(std::string("\\??\\") + path);
    expected.push_back("");
  }
  EXPECT_EQ(deletions, expected) << Joined(deletions);

  // Everything else is gone once the batch has taken the uninstaller.
  EXPECT_TRUE(ui::WaitUntil([&] { return !FileExists(std::string(kFolder) + "Uninstall.exe"); }, kLongWait));
  std::vector<std::string> left;
  ListFiles("D:\\Terrasum", left);
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{kArx, kProgram})) << Joined(left);
  EXPECT_FALSE(ProductKeyExists());

  arx.reset();
  program.reset();
  EXPECT_EQ(Slurp(kArx), firstArx) << "the held module itself was left untouched";

  // Wine's restart carries the entries out: nothing of the product is left.
  ui::Process restart;
  ASSERT_TRUE(restart.Start("wineboot.exe -r", "C:\\"));
  EXPECT_EQ(restart.Wait(kLongWait), 0u);
  EXPECT_FALSE(FileExists("D:\\Terrasum")) << "the installation folder is gone after the restart";
}

}  // namespace
