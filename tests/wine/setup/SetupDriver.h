#pragma once
// Drives the real Setup.exe from outside: builds a distribution medium on
// drive E:, starts Setup from there and finds its background and its pages.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/ui/UiTest.h"

namespace setuptest {

extern const char kCaption[];      // "Terrasum V8.0 安装向导"
extern const char kProductKey[];   // under HKEY_LOCAL_MACHINE
extern const char kDefaultFolder[];
constexpr const char* kMedium = "E:\\";

// Control IDs of the pages.
enum : int {
  kNext = 1000, kBack = 1001, kTitle = 1002, kWelcomeText = 1003, kAgreementText = 1005, kBrowse = 1008,
  kPath = 1009, kProgress = 1010, kReadme = 1012, kCopyFrame = 1013, kConfiguring = 1014, kStatus = 1015,
  kDisagree = 1016, kAgree = 1017,
};
// The control only that page has.
enum class Page : int { Welcome = kWelcomeText, Agreement = kAgreementText, Path = kPath, Copy = kProgress,
                        Finish = kReadme };

struct Medium {
  // Files per distribution folder ("Support", "Controls", "图框", "Data",
  // "Temp"); a folder missing from the list is not made.
  std::vector<std::pair<std::string, int>> folders{{"Support", 2}, {"Controls", 2}, {"图框", 2}, {"Data", 2},
                                                    {"Temp", 1}};
  // A subfolder "sub" with one file inside "Support".
  bool supportSubfolder = true;
  // Top-level files besides setup.exe.
  std::vector<std::string> topFiles{"readme.txt", "Uninstall.exe", "Terrasum.exe", "TerrasumV8.0.ICO",
                                    "Kelvarin.url"};
  // Picture files copied from the build tree into "安装界面" (names there);
  // no folder at all when the list is empty and pictureFolder is false.
  std::vector<std::string> pictures;
  bool pictureFolder = false;
};

// Empties E:\ and builds the medium there, with Y:\bin\Setup.exe as setup.exe.
void BuildMedium(const Medium& medium);
// Plain files (at any depth) under a folder.
int CountFilesUnder(const std::string& folder);
void RemoveTree(const std::string& path);
void WriteTextFile(const std::string& path, const std::string& text);
bool FileExists(const std::string& path);
// Folder of the JPEG test pictures made at build time, inside the build tree.
std::string PictureSource();

// The product key and its values.
void DeleteProductKey();
bool ProductKeyExists();
int ProductKeyValueCount();
void SetInstallPath(const std::string& value);

// One run of E:\setup.exe with E:\ as current folder.
class SetupRun {
 public:
  bool Start();
  DWORD Id() const { return process_.Id(); }
  HANDLE Handle() const { return process_.Handle(); }
  // Exit code once ended, STILL_ACTIVE after the timeout.
  DWORD WaitExit(DWORD timeoutMs = 20000) { return process_.Wait(timeoutMs); }
  bool Running() const { return process_.Running(); }
  // The visible page, waited for.
  HWND WaitPage(Page page, DWORD timeoutMs = ui::kDefaultTimeout);
  // The visible page at once, or null.
  HWND FindPage(Page page) const;
  // The full-screen background window (no caption), waited for.
  HWND WaitBackground(DWORD timeoutMs = ui::kDefaultTimeout);
  ui::MessageBoxInfo WaitBox(DWORD timeoutMs = ui::kDefaultTimeout) { return ui::WaitForMessageBox(Id(), timeoutMs); }
  // Cancel on a page, then answers the exit question.
  bool CancelAndAnswer(HWND page, int answer);
  // Welcome -> agreement (agreeing) -> install path page.
  HWND GoToPathPage();
  void Kill() { process_.Kill(); }

 private:
  ui::Process process_;
};

// The window that has the keyboard focus in the thread of a window.
HWND FocusOf(HWND window);
// Saves a screenshot (whole screen with window null) as name.png.
void Shot(HWND window, const std::string& name);

}  // namespace setuptest
