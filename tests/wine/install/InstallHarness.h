#pragma once
// Test bench for the install worker under Wine: a real hidden window standing
// in for the copy page, which records every WM_SETUP_* message with the paths
// it carried; a driver thread that answers the worker's message boxes; and
// helpers for the distribution trees the tests build on real drives.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/Wnd.h"
#include "install/SetupThread.h"
#include "tests/ui/UiTest.h"

namespace installtest {

// Wine adds ARCHIVE to every regular file; attributes are compared with it masked.
DWORD Attributes(const std::string& path);
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
// Makes the folder and its parents.
void MakeFolders(const std::string& path);
// Writes a file (binary), making its folder first.
void Put(const std::string& path, const std::string& content = "x");
std::string Slurp(const std::string& path);
// Text as the record holds it: every line ends with CR LF.
std::string CrLf(const std::string& text);

// The sample distribution tree under root (which ends with a backslash):
// setup program, five top-level files (readme.txt read-only, the icon as
// "TerrasumV8.0.ICO"), the picture folder, and the five folders with
// read-only files, a subfolder, an empty subfolder and an empty Temp.
void MakeMedium(const std::string& root);

// The record lines the folder stage writes for source -> target, in the
// order the source's enumeration delivers its entries.
std::string ExpectedFolderRecord(const std::string& source, const std::string& target);
// The lines of the top-level stage: every plain file but setup.exe.
std::string ExpectedTopRecord(const std::string& sourceFolder, const std::string& installFolder);
// The lines the control and registry stages add for an install folder: one
// per *.ocx of its Controls folder, then the two product keys.
std::string ExpectedRegistrationRecord(const std::string& installFolder);
// Files and subfolders of the five folders: the WM_SETUP_FILE count.
int CountFolderEntries(const std::string& sourceFolder);

// A WM_SETUP_* message as the page saw it.
struct Seen {
  UINT msg;
  std::string source, target;  // WM_SETUP_FILE only
};

// The stand-in for the copy page: a hidden top-level window.
class TestPage : public CWnd {
 public:
  TestPage();
  ~TestPage() override;
  LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  std::vector<Seen> seen;
  // Called while a WM_SETUP_FILE is handled (the worker waits meanwhile).
  std::function<void(const Seen&)> onFile;

  int Count(UINT msg) const;
  std::vector<UINT> Kinds() const;  // the message numbers in order
};

// A message box as the driver met it.
struct Box {
  std::string text, caption;
  std::vector<int> buttons;
  HWND owner = nullptr;
  bool ownerDisabled = false;
  bool question = false;  // shows the question icon (checked when asked for)
};

// Answers message boxes of this process in order, one step per box; boxes
// beyond the steps are recorded as extra and closed, so a test never hangs.
class PromptDriver {
 public:
  struct Step {
    Step(int answer, std::function<void()> run = {}, bool icon = false, std::string shot = {})
        : button(answer), before(std::move(run)), checkIcon(icon), screenshot(std::move(shot)) {}
    int button;
    std::function<void()> before;  // run while the box is still open
    bool checkIcon = false;
    std::string screenshot;  // file name in the screenshot folder, or empty
  };
  explicit PromptDriver(std::vector<Step> steps);
  ~PromptDriver();
  void Stop();

  std::vector<Box> boxes;  // answered by the steps
  std::vector<Box> extra;  // not expected

 private:
  void Drive();
  std::vector<Step> steps_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

using Steps = std::vector<PromptDriver::Step>;

struct RunResult {
  DWORD exitCode = STILL_ACTIVE;
};

// Sets the worker's folders and main window, starts it, runs beforePumping
// (the page's thread does not serve messages during it), then waits for the
// thread while serving messages, and finally takes whatever was still posted.
RunResult RunWorker(CSetupThread& worker, TestPage& page, const std::string& source, const std::string& install,
                    const std::function<void()>& beforePumping = {});

// The message boxes' caption.
std::string AppName();
// The prompts as the worker formats them.
std::string MissingSourcePrompt(DWORD error, const std::string& source);
std::string FolderPrompt(DWORD error, const std::string& folder);

}  // namespace installtest
