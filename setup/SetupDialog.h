#pragma once
// Setup's full-screen background (dialog 102): a picture slide show behind
// the wizard. Its initialisation checks for an earlier installation, then
// runs the whole wizard, five modal pages chosen by the previous page's end
// code, and closes the dialog when the wizard is over.
#include <string>
#include <vector>

#include "framework/ActionLog.h"
#include "framework/CommandLine.h"
#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/InUse.h"

class CSetupDialog : public CDialog {
 public:
  static constexpr UINT_PTR PICTURE_TIMER_ID = 356;
  static constexpr const char* kProductKey = "SOFTWARE\\Kelvarin\\Terrasum\\V8";
  static constexpr const char* kInstallPathValue = "installPath";
  static constexpr const char* kDefaultInstallFolder = "C:\\Program Files\\Kelvarin\\Terrasum\\";

  explicit CSetupDialog(CWnd* parent = nullptr);

  BOOL OnInitDialog() override;
  bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
  // The window goes (the modal run is over): the slide show stops.
  void OnDestroy() override;

  // Reads a value of a key under HKEY_LOCAL_MACHINE; the key is opened with
  // create semantics, so an absent key is left behind empty.
  static bool ReadInstallPath(const char* keyPath, const char* valueName, std::string& text);

  // Fills list with folder + name of every file (not folder) in folder that
  // matches pattern, in the order the file system gives them.
  static void CollectPictures(const std::string& folder, const std::string& pattern,
                              std::vector<std::string>& list);
  // The picture fitted without distortion onto a white 1024 x 768 canvas
  // with a light-grey frame; none when the file is no picture.
  ScopedBitmap LoadPictureCanvas(const std::string& path) const;

  // Set before the dialog runs: the log of /LOG= (null for none), and the
  // folder of /D=, which replaces the default on the folder page.
  const CActionLog* m_log = nullptr;
  std::string m_presetFolder;
  // After the run: the program's exit code. 2 (not installed) unless the
  // install worker ran; then the worker's.
  int ExitCode() const { return exitCode_; }

 private:
  // Start-up steps up to the wizard; false when the user declined to install
  // over an earlier installation.
  bool RunStartupChecks();
  void RunWizard();
  bool ConfirmExit();

  // Refuses every show once Setup ends before the background was shown.
  void OnWindowPosChanging(WINDOWPOS& pos);
  BOOL OnEraseBackground(HDC dc);
  void OnTimer(UINT_PTR id);
  bool OnPaintIcon();

  int agreed_ = 0;
  std::string sourceFolder_;
  std::string installFolder_;
  RestartList restart_;
  int pictureInterval_ = 5000;
  int pictureIndex_ = 0;
  std::vector<std::string> pictures_;
  HICON icon_ = nullptr;
  bool endingUnshown_ = false;
  int exitCode_ = cmdline::exitNotDone;
};
