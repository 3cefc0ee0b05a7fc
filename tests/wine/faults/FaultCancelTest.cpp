// The real Setup.exe, cancelled at 20 different points of its copy: early
// and late in each of the five distribution folders. Every time the cancel
// question is answered Yes, the copy page goes at once, Setup ends with exit
// code 0 within a bound (its copy page waited for the worker's thread, so no
// thread outlived it, and nothing crashed or hung), the finish page never
// shows, no install record and no product values are written, the top-level
// stage never ran, and every file that was copied is complete.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/wine/setup/SetupDriver.h"

using namespace setuptest;

namespace {

const char kInstall[] = "D:\\Cancel\\";
const char kQuestion[] =
    "安装没有完成。 如果现在退出安装程序，则不会安装或卸载您请求添加/删除的组件。\n\n"
    "可以稍后再运行安装程序来完成此操作。\n\n真要退出安装程序吗？";

// The medium: 300 + 1 (in a subfolder) + 200 + 200 + 200 + 3000 files. Temp is
// long, so that even the last cancel point leaves far more entries to copy
// than the worker can pass while the question is being answered.
Medium CancelMedium() {
  Medium m;
  m.folders = {{"Support", 300}, {"Controls", 200}, {"图框", 200}, {"Data", 200}, {"Temp", 3000}};
  return m;
}

// Plain files under the install folder whose bytes differ from the medium's.
int IncompleteFiles(const std::string& folder, const std::string& medium) {
  WIN32_FIND_DATAA fd;
  HANDLE h = ::FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return 0;
  int bad = 0;
  do {
    const std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      bad += IncompleteFiles(folder + "\\" + name, medium + "\\" + name);
      continue;
    }
    // The medium's files hold "payload <n>\r\n": the size tells a torn copy.
    WIN32_FILE_ATTRIBUTE_DATA source{};
    if (!::GetFileAttributesExA((medium + "\\" + name).c_str(), GetFileExInfoStandard, &source) ||
        source.nFileSizeLow != fd.nFileSizeLow)
      ++bad;
  } while (::FindNextFileA(h, &fd));
  ::FindClose(h);
  return bad;
}

struct Outcome {
  int threshold = 0;
  int copiedAtClick = 0;
  int copiedAtEnd = 0;
};

class CancelPoints : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { BuildMedium(CancelMedium()); }
  void TearDown() override { run.Kill(); }
  SetupRun run;
};

TEST_F(CancelPoints, CancelConfirmedAtTwentyPointsOfTheCopyEndsSetupCleanly) {
  const int total = CountFilesUnder("E:\\Support") + CountFilesUnder("E:\\Controls") + CountFilesUnder("E:\\图框") +
                    CountFilesUnder("E:\\Data") + CountFilesUnder("E:\\Temp");
  ASSERT_EQ(total, 3901) << "files of the five folders";
  // Files copied when the cancel is clicked: in Support (1 ... 290),
  // Controls (from 302 on), 图框 (502), Data (702), and Temp (902 on).
  const int thresholds[] = {1, 3, 10, 50, 150, 290, 310, 400, 480, 510, 600, 690, 710, 800, 890, 910, 1000, 1200, 1500, 2000};
  std::vector<Outcome> outcomes;
  for (const int threshold : thresholds) {
    SCOPED_TRACE("cancel after " + std::to_string(threshold) + " files");
    DeleteProductKey();
    RemoveTree("D:\\Cancel");
    ASSERT_TRUE(run.Start());
    HWND path = run.GoToPathPage();
    ASSERT_NE(path, nullptr) << "the install path page";
    ASSERT_TRUE(ui::SetEditText(path, kPath, kInstall));
    ASSERT_TRUE(ui::Click(path, kNext));
    HWND copy = run.WaitPage(Page::Copy);
    ASSERT_NE(copy, nullptr) << "the copy page";

    Outcome o;
    o.threshold = threshold;
    ASSERT_TRUE(ui::WaitUntil([&] { return (o.copiedAtClick = CountFilesUnder("D:\\Cancel")) >= threshold; }, 60000))
        << "the copy reached the point";
    ASSERT_TRUE(ui::Click(copy, IDCANCEL));
    const ui::MessageBoxInfo box = run.WaitBox();
    ASSERT_NE(box.window, nullptr) << "the cancel question";
    ASSERT_EQ(box.text, kQuestion);
    ASSERT_TRUE(ui::Answer(box, IDYES));
    EXPECT_TRUE(ui::WaitUntil([&] { return !::IsWindowVisible(copy); }, 5000)) << "the page goes at once";
    bool finishSeen = false;
    ui::WaitUntil([&] {
      finishSeen = finishSeen || run.FindPage(Page::Finish) != nullptr;
      return !run.Running();
    }, 30000);
    EXPECT_FALSE(finishSeen) << "no finish page";
    EXPECT_EQ(run.WaitExit(1000), 2u) << "Setup ended by itself, nothing installed (exit code 2)";
    o.copiedAtEnd = CountFilesUnder("D:\\Cancel");
    outcomes.push_back(o);

    EXPECT_FALSE(FileExists("D:\\Cancel\\Uninstall.log")) << "no install record";
    EXPECT_FALSE(FileExists("D:\\Cancel\\Uninstall.exe")) << "the top-level stage never ran";
    EXPECT_LE(ProductKeyValueCount(), 0) << "no product values (reading at start may leave the key empty)";
    EXPECT_GE(o.copiedAtEnd, threshold);
    EXPECT_LT(o.copiedAtEnd, total) << "the worker stopped early";
    EXPECT_EQ(IncompleteFiles("D:\\Cancel", "E:"), 0) << "every copied file is whole";
    EXPECT_EQ(ui::FindTopWindow("#32770", nullptr, run.Id()), nullptr) << "no window left";
  }
  // The runs stopped in every one of the five folders.
  const int folderEnds[] = {301, 501, 701, 901, 3901};
  for (int f = 0, begin = 1; f < 5; begin = folderEnds[f++] + 1) {
    int stops = 0;
    for (const Outcome& o : outcomes) stops += o.copiedAtEnd >= begin && o.copiedAtEnd <= folderEnds[f];
    EXPECT_GE(stops, 2) << "runs stopped in folder " << f + 1;
  }
  // For the account of faults tried: where each run was cancelled and stopped.
  std::string account;
  for (const Outcome& o : outcomes)
    account += std::to_string(o.copiedAtClick) + "->" + std::to_string(o.copiedAtEnd) + " ";
  std::printf("cancel points (files copied at the click -> when Setup had ended): %s\n", account.c_str());
}

}  // namespace
